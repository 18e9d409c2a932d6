"""Reads the screen of an Xvfb started with -fbdir, which keeps it as an XWD image in a file."""
import struct

HEADER_FIELDS = 25  # 32-bit big-endian words before the window name


def read_region(screen_file, left, top, width, height):
    """The region's pixels as rows of (red, green, blue), for a 24-bit TrueColor screen."""
    with open(screen_file, "rb") as screen:
        header = struct.unpack(">25I", screen.read(4 * HEADER_FIELDS))
        (header_size, _version, _format, depth, screen_width, screen_height, _xoffset, byte_order,
         _unit, _bit_order, _pad, bits_per_pixel, bytes_per_line, _class, red_mask, _green_mask,
         blue_mask, _bits_per_rgb, _colormap_entries, colour_count) = header[:20]
        if depth != 24 or bits_per_pixel != 32 or byte_order != 0 or red_mask != 0xFF0000:
            raise AssertionError(f"unexpected screen format in {screen_file}: {header[:20]}")
        left, top = max(left, 0), max(top, 0)
        width, height = min(width, screen_width - left), min(height, screen_height - top)
        pixels_start = header_size + 12 * colour_count
        rows = []
        for y in range(top, top + height):
            screen.seek(pixels_start + y * bytes_per_line + 4 * left)
            line = screen.read(4 * width)
            rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, 4 * width, 4)])
        return rows


def count(rows, colour_test):
    return sum(1 for row in rows for pixel in row if colour_test(pixel))
