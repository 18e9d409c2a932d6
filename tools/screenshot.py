"""Makes the README's screenshot: starts the built game in a private desktop session, waits for
its window and saves the idle window's client area as a PNG file.

Usage (through scripts/screenshot, which finds the harness): screenshot.py OUTPUT_PNG
"""
import struct
import sys
import zlib

import window
from session import Session


def write_png(image, path):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + \
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(value for pixel in row for value in pixel) for row in image.rows)
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as png:
        png.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    output = sys.argv[1]
    # No sound server is needed: the idle window plays nothing.
    with Session() as session:
        game = window.Game(session)
        game.move_pointer_away()
        write_png(game.first_frame(), output)
    print(f"wrote {output}")


if __name__ == "__main__":
    main()
