"""On a Wayland desktop scaled by two (weston, XWayland at hand), the game started as a player
starts it runs on Wayland itself: its status bar, captions and lines, is the picture painted at
scale 2, not the one at scale 1 enlarged. Minimized with its title bar's button, it pauses itself
at its next target, as the accessibility tree tells: the desktop shows it no more."""
import os
import subprocess
import unittest

import screen
import window
from session import Session, wait_for

SCALE = 2
# Qt's own title bar, drawn where the desktop draws none: its minimize button, 18 pixels square,
# lies 72 pixels left of the frame's right edge, which is 3 right of the client area, and 6 below
# the frame's top, 30 above the client area.
MINIMIZE_BUTTON = (657 + 3 - 72 + 9, 6 + 9 - 30)
PAUSED_WITHIN_SECONDS = 20  # a fall and a respawn at Normal speed, on a loaded machine


def picture(scale):
    """The window before the first game as the game paints it at that scale."""
    return screen.read_ppm(subprocess.run(
        [os.environ["KEYFALL_WINDOW_FACTS"], "--picture"], capture_output=True, check=True,
        env={"QT_QPA_PLATFORM": "offscreen", "QT_SCALE_FACTOR": str(scale)}).stdout)


def row_bytes(row):
    return bytes(value for pixel in row for value in pixel)


def main():
    _, _, width, bar_height = window.area("Shape1")
    sharp = picture(SCALE).crop(0, 0, width * SCALE, bar_height * SCALE)
    enlarged = picture(1).crop(0, 0, width, bar_height).doubled()
    assert sharp.rows != enlarged.rows, "the status bar at scale 2 is the one at 1 enlarged"
    with Session(wayland_scale=SCALE, accessibility=True) as session:
        env = dict(session.env)
        # No variable chooses the window system; the accessibility tree, which tells the pause
        # while the window is out of sight, is there as for a screen reader.
        session.spawn([os.environ["KEYFALL_PROGRAM"]], log_name="game.stderr",
                      env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        screen_env = dict(env, DISPLAY=env["X_SCREEN"])

        def shown_sharp():  # where the window's status bar is on the screen, drawn at scale 2
            shot, middle = screen.read_xwd(session.screen_file), sharp.height // 2
            for y, row in enumerate(shot.rows):
                x = row_bytes(row).find(row_bytes(sharp.rows[middle]))
                if x % 3 == 0 and shot.crop(x // 3, y - middle, sharp.width,
                                            sharp.height).rows == sharp.rows:
                    return x // 3, y - middle
            return None
        left, top = wait_for(shown_sharp, window.WINDOW_SECONDS, "the status bar drawn at scale 2")

        def click(x, y):  # at a point of the client area, in its own pixels
            subprocess.run(["xdotool", "mousemove", "--sync", str(left + x * SCALE),
                            str(top + y * SCALE), "click", "1"], env=screen_env, check=True)

        os.environ.clear()  # the bindings find their bus as they load: only the session's
        os.environ.update(env)
        import pyatspi

        def names():
            apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "keyfall"]
            found, todo = [], list(apps[:1])
            while todo:
                node = todo.pop(0)
                found.append(node.name)
                todo[:0] = list(node)
            return found

        def missed():  # the counter follows its caption in the tree
            told = names()
            return int(told[told.index("Missed :") + 1])

        def on_screen(x, y, width, height):  # a part of the client area, in its own pixels
            return screen.read_xwd(session.screen_file, left + x * SCALE, top + y * SCALE,
                                   width * SCALE, height * SCALE)

        click(*window.facts()["controls"]["lblNew"]["click"])
        wait_for(lambda: on_screen(*window.play_field()).points(window.colour("target")),
                 window.WINDOW_SECONDS, "the first target")
        missed_before = missed()
        click(*MINIMIZE_BUTTON)
        # The counter of hits, and so its cell, stays as it was while the game runs.
        cell = (0, 0, sum(window.area("lblShooted")[::2]), bar_height)
        wait_for(lambda: on_screen(*cell).rows != sharp.crop(*(side * SCALE for side in cell)).rows,
                 window.SHOWN_WITHIN_SECONDS, "the window to leave the screen")
        wait_for(lambda: "PAUSED" in names(), PAUSED_WITHIN_SECONDS, "the game to pause")
        assert missed() - missed_before <= 1, "the game did not pause at its next target"


class WaylandDesktop(unittest.TestCase):
    def test_sharp_and_paused_when_minimized(self):
        main()
