"""Reads the screen of an Xvfb started with -fbdir, which keeps it as an XWD image in a file, and
pictures in binary PPM; python's standard library only."""
import re
import struct

_FIELDS = ("header_size file_version pixmap_format pixmap_depth width height xoffset byte_order "
           "bitmap_unit bitmap_bit_order bitmap_pad bits_per_pixel bytes_per_line visual_class "
           "red_mask green_mask blue_mask bits_per_rgb colormap_entries ncolors").split()
_XWD_COLOR_BYTES = 12


class Image:
    """An RGB picture as rows of (r, g, b) tuples."""

    def __init__(self, rows):
        self.rows = rows
        self.height = len(rows)
        self.width = len(rows[0]) if rows else 0

    def crop(self, x, y, width, height):
        return Image([row[x:x + width] for row in self.rows[y:y + height]])

    def doubled(self):
        """The picture twice as wide and high, each pixel made four."""
        return Image([[pixel for pixel in row for _ in "ab"] for row in self.rows for _ in "ab"])

    def points(self, wanted):
        """(x, y) of every pixel of exactly this colour, or for which this test holds."""
        test = wanted if callable(wanted) else wanted.__eq__
        return [(x, y) for y, row in enumerate(self.rows) for x, pixel in enumerate(row)
                if test(pixel)]


def _shift(mask):
    return (mask & -mask).bit_length() - 1


def read_xwd(path, x=0, y=0, width=None, height=None):
    """The part of a 24- or 32-bit XWD image that starts at (x, y)."""
    with open(path, "rb") as image:
        data = image.read()
    # The header is written big-endian; the pixels in the order the header names.
    header = dict(zip(_FIELDS, struct.unpack(">20I", data[:80])))
    if header["bits_per_pixel"] != 32:
        raise ValueError(f"{path}: {header['bits_per_pixel']} bits per pixel is not supported")
    width = width or header["width"] - x
    height = height or header["height"] - y
    start = header["header_size"] + header["ncolors"] * _XWD_COLOR_BYTES
    order = "<" if header["byte_order"] == 0 else ">"
    masks = [(header[m], _shift(header[m])) for m in ("red_mask", "green_mask", "blue_mask")]
    rows = []
    for row in range(y, y + height):
        offset = start + row * header["bytes_per_line"] + x * 4
        values = struct.unpack(f"{order}{width}I", data[offset:offset + width * 4])
        rows.append([tuple((v & mask) >> shift for mask, shift in masks) for v in values])
    return Image(rows)


def read_ppm(data):
    """A binary PPM picture (P6, 8 bits a colour), as Qt writes it: no comment in its header."""
    header = re.match(rb"P6\s(\d+)\s(\d+)\s255\s", data)
    if not header:
        raise ValueError("not a binary PPM picture of 8 bits a colour")
    width, height = map(int, header.groups())
    pixels = data[header.end():]
    return Image([[tuple(pixels[x:x + 3]) for x in range(row, row + width * 3, 3)]
                  for row in range(0, width * 3 * height, width * 3)])
