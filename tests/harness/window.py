"""The driver of the real game window: starts the game in a session, finds its window, works it
with real mouse and key events as a player does and reads its pixels. Where the controls lie, the
colours the game paints, its first targets and its sounds are what window_facts
(KEYFALL_WINDOW_FACTS) reads from the game's own model."""
import ctypes
import functools
import json
import os
import shutil
import subprocess
import time

import file_trace
import screen
from session import wait_for

WINDOW_TITLE = "Keyfall-By Brannock"
# Time-outs: a few times the longest each event takes under strace and the sanitizers, with every
# processor core busy.
WINDOW_SECONDS = 20  # from the start to the window on the screen
SOUND_SECONDS = 5  # from a key to its sound playing
EXIT_SECONDS = 10  # from closing the window to the end of the program
# What the window shows in answer to a click or a key comes within a frame or two; this is a few
# times that on a loaded machine.
SHOWN_WITHIN_SECONDS = 2


@functools.cache
def facts():
    done = subprocess.run([os.environ["KEYFALL_WINDOW_FACTS"]], capture_output=True, text=True,
                          check=True, env={"QT_QPA_PLATFORM": "offscreen"})
    return json.loads(done.stdout)


def area(name, margin=0):
    """(left, top, width, height) of a control in the client area, grown by the margin."""
    left, top, width, height = facts()["controls"][name]["rect"]
    return left - margin, top - margin, width + 2 * margin, height + 2 * margin


def colour(name):
    """(red, green, blue) of a colour the game paints."""
    return tuple(facts()["colours"][name] >> shift & 0xFF for shift in (0, 8, 16))


def sound_files():
    return list(facts()["sounds"])


def play_field(top=None):
    """The starfield between the status bar and the input box; from the given top down, such as
    where a missed target stops and turns red."""
    _, bar_top, _, bar_height = area("Shape1")
    left, bottom, width, _ = area("Text1")
    top = top or bar_top + bar_height
    return left, top, width, bottom - top


def ground():
    return play_field(facts()["missTop"])


def traced_command(program, trace_prefix):
    """The command that runs the program under strace, logging the files it uses."""
    return ["strace", "-f", "-ff", "-qq", "-o", trace_prefix,
            "-e", "trace=" + ",".join(file_trace.TRACED_CALLS), program]


def copy_program(folder, sound_maker=None):
    """Copies the built program into a new folder; sound_maker(source, target) lays each sound
    beside it, a plain copy by default. Returns the copy's path."""
    program = os.environ["KEYFALL_PROGRAM"]
    os.makedirs(folder)
    copy = os.path.join(folder, os.path.basename(program))
    shutil.copy2(program, copy)
    for name in sound_files():
        (sound_maker or shutil.copyfile)(os.path.join(os.path.dirname(program), name),
                                         os.path.join(folder, name))
    return copy


def light(pixel):
    """The small white text of the counters, smoothed at its edges, over the darker status bar."""
    return min(pixel) >= 200


class Game:
    """The game in a session, optionally under strace, so that a test can ask afterwards which
    files it read and wrote; env adds to the session's environment."""

    def __init__(self, session, program=None, traced=False, **env):
        self.session, self.env = session, dict(session.env, **env)
        program = program or os.environ["KEYFALL_PROGRAM"]
        self.trace_prefix = session.path("trace") if traced else None
        command = traced_command(program, self.trace_prefix) if traced else [program]
        self.stderr_path = session.path("game.stderr")
        self.process = session.spawn(command, log_name="game.stderr", env=self.env,
                                     stdout=subprocess.DEVNULL)
        self.window = wait_for(self._find_window, WINDOW_SECONDS, "the game window")
        geometry = dict(line.split("=", 1) for line in
                        self._xdotool("getwindowgeometry", "--shell", self.window).split())
        self.x, self.y = int(geometry["X"]), int(geometry["Y"])
        self.width, self.height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        # No window manager runs, so nobody else gives the window the keyboard.
        self._xdotool("windowfocus", "--sync", self.window)

    def _xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              check=False).stdout.strip()

    def _find_window(self):
        if self.process.poll() is not None:
            raise AssertionError(f"the game ended at start-up: {self.stderr()}")
        ids = self._xdotool("search", "--onlyvisible", "--name", f"^{WINDOW_TITLE}$").split()
        return ids[0] if ids else None

    def click(self, x, y):
        """Clicks at a point of the client area, then moves the pointer off the window."""
        self._xdotool("mousemove", "--sync", str(self.x + x), str(self.y + y), "click", "1")
        self.move_pointer_away()

    def press(self, control):
        """Clicks a control, named as the game names it."""
        self.click(*facts()["controls"][control]["click"])

    def move_pointer_away(self):
        self._xdotool("mousemove", "--sync", "0", "0")

    def type(self, text, delay_ms=30):
        """Types on the keyboard, whose focus the game's window holds, delay_ms between keys."""
        self._xdotool("type", "--delay", str(delay_ms), text)

    def key(self, *keys):
        """Presses and releases keys, one after the other; returns the time just before."""
        sent = time.time()
        self._xdotool("key", "--clearmodifiers", *keys)
        return sent

    def pixels(self, left=0, top=0, width=None, height=None):
        """The client area, or the given part of it, as it is on the screen now."""
        return screen.read_xwd(self.session.screen_file, self.x + left, self.y + top,
                               width or self.width - left, height or self.height - top)

    def shows(self, wanted, where=None):
        """Whether a pixel of that colour, or for which that test holds, shows in the area (the
        play field unless given); the smaller the area, the quicker the look."""
        return bool(self.pixels(*(where or play_field())).points(wanted))

    def first_frame(self):
        """The client area once the window has drawn itself: both counters show a number."""
        def drawn():
            image = self.pixels()
            return image if all(image.crop(*area(counter, 2)).points(light)
                                for counter in ("lblShooted", "lblMissed")) else None

        return wait_for(drawn, 10, "the window's first frame")

    def close_window(self):
        """Asks the window to close, as a window manager does when the player clicks its X."""
        send_delete_window(self.env["DISPLAY"], int(self.window))

    def wait(self, timeout=EXIT_SECONDS):
        """Waits for the game to end; returns its exit status (negative: killed by a signal)."""
        return wait_for(lambda: self.process.poll() is not None, timeout,
                        "the game to end") and self.process.returncode

    def stderr(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as log:
            return log.read()

    def written_files(self):
        """The files the game created, wrote, renamed or removed, once it has ended."""
        return file_trace.files_written(self.trace_prefix, self.session.home)

    def files_read(self):
        return file_trace.files_read(self.trace_prefix)


def send_delete_window(display_name, window):
    """Sends the window a WM_DELETE_WINDOW message through Xlib."""
    xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.c_void_p]
    xlib.XFlush.argtypes = xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = xlib.XOpenDisplay(display_name.encode())
    if not connection:
        raise AssertionError(f"cannot open display {display_name}")
    try:
        # An XClientMessageEvent, 24 longs in all: type, serial, send_event, display, window,
        # message_type, format, then the data.
        event = (ctypes.c_long * 24)()
        event[0], event[4], event[6] = 33, window, 32  # ClientMessage, 32-bit data
        event[5] = xlib.XInternAtom(connection, b"WM_PROTOCOLS", False)
        event[7] = xlib.XInternAtom(connection, b"WM_DELETE_WINDOW", False)
        if not xlib.XSendEvent(connection, window, False, 0, event):
            raise AssertionError("XSendEvent failed")
        xlib.XFlush(connection)
    finally:
        xlib.XCloseDisplay(connection)
