"""Finds the game's window on a private X server and works it with real mouse and key events."""
import os
import subprocess
import time

from sandbox import wait_until
import screen

CLIENT_WIDTH, CLIENT_HEIGHT = 657, 337
SHOOTED_COUNT = (62, 4, 17, 22)  # x, y, width, height of the hit counter
MISSED_COUNT = (134, 4, 17, 22)


def light(pixel):
    """The small white text of the counters, smoothed at its edges, over the darker status bar."""
    return min(pixel) >= 200


class GameWindow:
    def __init__(self, display, framebuffer, pid):
        self.env = dict(os.environ, DISPLAY=display)
        self.framebuffer = framebuffer
        self.id = wait_until(lambda: self._xdotool("search", "--onlyvisible", "--pid", str(pid)),
                             20, "the game's window").split()[0]
        geometry = dict(line.split("=") for line in
                        self._xdotool("getwindowgeometry", "--shell", self.id).split())
        self.x, self.y = int(geometry["X"]), int(geometry["Y"])
        self.width, self.height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        # No window manager runs, so nobody else gives the window the keyboard.
        self._xdotool("windowfocus", "--sync", self.id)

    def _xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        return result.stdout.strip() if result.returncode == 0 else ""

    def click(self, x, y):
        """Clicks at a point of the client area, then moves the pointer off the window."""
        self._xdotool("mousemove", "--sync", str(self.x + x), str(self.y + y), "click", "1")
        self.move_pointer_away()

    def move_pointer_away(self):
        """The pointer is drawn into the screen image; this keeps it out of the window's."""
        self._xdotool("mousemove", "--sync", "0", "0")

    def key(self, keysym):
        """Presses and releases one key; returns the time just before it was sent."""
        sent = time.time()
        self._xdotool("key", "--clearmodifiers", keysym)
        return sent

    def grab(self, left=0, top=0, width=None, height=None):
        """The client area, or the given part of it, as it is on the screen now."""
        return screen.read_xwd(self.framebuffer, self.x + left, self.y + top,
                               width or self.width - left, height or self.height - top)

    def first_frame(self):
        """The client area once the window has drawn itself: both counters show a number."""
        def drawn():
            image = self.grab()
            counted = image.crop(*SHOOTED_COUNT).points(light) and \
                image.crop(*MISSED_COUNT).points(light)
            return image if counted else None

        return wait_until(drawn, 10, "the window's first frame")
