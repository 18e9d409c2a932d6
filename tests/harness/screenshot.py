"""Makes the README's screenshot: starts the built game in a private desktop session, waits for
its window and saves the idle window's client area as a PNG file.

Usage (through scripts/screenshot): screenshot.py OUTPUT_PNG
"""
import sys

import screen
import window
from session import Session


def main():
    output = sys.argv[1]
    # No sound server is needed: the idle window plays nothing.
    with Session() as session:
        game = window.Game(session)
        game.move_pointer_away()
        screen.write_png(game.first_frame(), output)
    print(f"wrote {output}")


if __name__ == "__main__":
    main()
