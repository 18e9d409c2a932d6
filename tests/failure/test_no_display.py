"""Without a window system the game says why in one line and ends with status 1: no abort, no
core dump. Where a Wayland desktop is named but none answers it takes the X server."""
import os
import re
import struct
import subprocess
import unittest

from session import Session
from window import WINDOW_SECONDS, Game

PROGRAM = os.environ["KEYFALL_PROGRAM"]

PREFIX = "keyfall: cannot open the game window: "


def free_display():
    """A display number no X server on this machine uses."""
    number = 900
    while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        number += 1
    return f":{number}"


ICON_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets",
                         "icon.bmp")


def icon_file_pixels():
    """The 16-colour icon file as 0xAARRGGBB values, opaque, row by row from the top."""
    with open(ICON_FILE, "rb") as bmp:
        data = bmp.read()
    pixels_at, = struct.unpack_from("<I", data, 10)
    header_size, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    assert bits == 4 and height > 0, "a 4-bit picture stored bottom-up"
    palette = [0xFF000000 | struct.unpack_from("<I", data, 14 + header_size + 4 * i)[0]
               for i in range(16)]
    row_bytes = (width * bits + 31) // 32 * 4
    rows = [data[pixels_at + row * row_bytes:][:width // 2] for row in reversed(range(height))]
    return [palette[byte >> shift & 15] for row in rows for byte in row for shift in (4, 0)]


def x_client(game, *command):
    """What an X client run on the game's display prints."""
    return subprocess.run(command, env=game.env, capture_output=True, text=True).stdout


class NoDisplay(unittest.TestCase):
    def start(self, **env):
        """Runs the game in a session without an X server, with the given environment added, in
        its empty home."""
        with Session(x_server=False) as session:
            result = subprocess.run([PROGRAM], env=dict(session.env, **env), cwd=session.home,
                                    capture_output=True, text=True, timeout=WINDOW_SECONDS,
                                    stdin=subprocess.DEVNULL)
            left = os.listdir(session.home) + [name for name in os.listdir(session.runtime)
                                               if name != "bus"]
            self.assertEqual(left, [], "the game left files behind")
        return result

    def assertGivesUp(self, result, reason):
        self.assertEqual(result.returncode, 1, f"status {result.returncode}: {result.stderr}")
        self.assertEqual(result.stdout, "")
        self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
        self.assertTrue(result.stderr.startswith(PREFIX), result.stderr)
        self.assertIn(reason, result.stderr)

    def test_display_not_set(self):
        self.assertGivesUp(self.start(), "no display (DISPLAY is not set)")

    def test_display_not_set_with_x11_platform_asked_for(self):
        self.assertGivesUp(self.start(QT_QPA_PLATFORM="xcb"), "no display (DISPLAY is not set)")

    def test_display_where_no_server_answers(self):
        display = free_display()
        self.assertGivesUp(self.start(DISPLAY=display), f"could not connect to display {display}")

    def test_platform_that_does_not_exist(self):
        self.assertGivesUp(self.start(DISPLAY=free_display(), QT_QPA_PLATFORM="nowhere"),
                           '"nowhere"')

    def test_x_server_serves_where_no_compositor_answers(self):
        """As where a Wayland desktop is named but none listens, the name left over in the
        environment: the game opens its window on the X server, centred, with the generated
        icon."""
        with Session() as session:
            game = Game(session, WAYLAND_DISPLAY="wayland-0")
            icon = x_client(game, "xprop", "-id", str(game.window), "-notype", "32c",
                            "_NET_WM_ICON").partition("=")[2]
            self.assertEqual([int(value) for value in re.findall(r"\d+", icon)],
                             [32, 32, *icon_file_pixels()])
            width, height = map(int, x_client(game, "xdotool", "getdisplaygeometry").split())
            self.assertLessEqual(abs(game.x - (width - 657) / 2), 1, "the window is not centred")
            self.assertLessEqual(abs(game.y - (height - 337) / 2), 1, "the window is not centred")
            game.close_window()
            self.assertEqual(game.wait(), 0, game.stderr())
