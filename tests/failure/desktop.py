"""A private desktop for one test: an X server, optionally a sound server, and the game in it.

The sound server is the sandbox's (see tests/e2e/sandbox.py): desktop.sound_server is a
SoundServer, None on a desktop without one. Test scripts that need it end with run_tests(), which
skips the whole script when the sound server asked for is not installed.

The game runs with a home and a runtime folder of its own, under strace unless told otherwise, so
that a test can ask afterwards which files it read and which it wrote. Everything started here is
stopped when the desktop closes.
"""
import ctypes
import os
import subprocess
import sys
import unittest

import file_trace

# The private servers, the stopping of processes and the reading of the screen are those of the
# end-to-end tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import sandbox  # noqa: E402
import screen  # noqa: E402
from sandbox import stop  # noqa: E402,F401  for the tests, to end processes of their own

# Time-outs: a few times the longest each event takes under strace and the sanitizers, with every
# processor core busy.
WINDOW_SECONDS = 20  # from the start to the window on the screen
SOUND_SECONDS = 5  # from a key to its sound playing
EXIT_SECONDS = 10  # from closing the window to the end of the program

WINDOW_TITLE = "Keyfall-By Brannock"
SOUND_FILES = ("shooted.wav", "wrong.wav", "boing.wav", "theend.wav")
PASSED_ON = ("PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")


def wait_for(condition, timeout, what):
    """Polls condition until it returns something true, which is returned; fails after timeout."""
    result = sandbox.poll(condition, timeout)
    if not result:
        raise AssertionError(f"timed out after {timeout} s waiting for {what}")
    return result


class Desktop(sandbox.Sandbox):
    def __init__(self, sound_server=True):
        super().__init__()
        self.with_sound_server = sound_server
        self.sound_server = None

    def __enter__(self):
        super().__enter__()
        self.home = self._make_dir("game-home")
        self.runtime = self._make_dir("game-runtime")
        self.display, self.screen_file = sandbox.start_xvfb(self)
        # The player's own sound server: it shares the game's home, where it keeps its cookie.
        if self.with_sound_server:
            self.sound_server = sandbox.start_sound_server(self, home=self.home)
        return self

    def _make_dir(self, name):
        path = self.path(name)
        os.mkdir(path, 0o700)
        return path

    def environment(self, **extra):
        """The game's environment: of the test's own, only the search path and the sanitizers'
        options; no locale, so file names must not depend on one."""
        env = {name: os.environ[name] for name in PASSED_ON if name in os.environ}
        env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime, DISPLAY=self.display)
        if self.sound_server:
            env["PULSE_SERVER"] = self.sound_server.address
        env.update(extra)
        return {name: value for name, value in env.items() if value is not None}

    def launch(self, program, traced=True, **env):
        """Starts the game, once per desktop, and waits for its window."""
        return Game(self, program, traced, self.environment(**env))


class Game:
    """The game running on the desktop, driven with the mouse and keyboard like a player does."""

    def __init__(self, desktop, program, traced, env):
        self.desktop = desktop
        self.env = env
        self.trace_prefix = desktop.path("trace") if traced else None
        command = traced_command(program, self.trace_prefix) if traced else [program]
        self.stderr_path = desktop.path("game.stderr")
        # A group of its own, so that stopping strace cannot leave the game running.
        self.process = desktop.spawn(command, log_name=os.path.basename(self.stderr_path),
                                     env=env, stdout=subprocess.DEVNULL, start_new_session=True)
        self.window = wait_for(self._find_window, WINDOW_SECONDS, "the game window")
        self.x, self.y = self._window_position()

    def _xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              check=False).stdout

    def _find_window(self):
        if self.process.poll() is not None:
            raise AssertionError(f"the game ended at start-up: {self.stderr()}")
        ids = self._xdotool("search", "--onlyvisible", "--name", "^" + WINDOW_TITLE + "$").split()
        return int(ids[0]) if ids else None

    def _window_position(self):
        fields = dict(line.split("=", 1) for line in
                      self._xdotool("getwindowgeometry", "--shell", str(self.window)).split())
        return int(fields["X"]), int(fields["Y"])

    def click(self, x, y):
        """Clicks at a point of the window's client area, in pixels."""
        self._xdotool("mousemove", "--sync", str(self.x + x), str(self.y + y), "click", "1")

    def click_away(self):
        """Parks the pointer at the window's top-left corner, on the status bar."""
        self._xdotool("mousemove", "--sync", str(self.x + 1), str(self.y + 1))

    def type(self, text):
        """Types on the keyboard, whose focus the game's window holds."""
        self._xdotool("type", "--delay", "30", text)

    def key(self, *keys):
        self._xdotool("key", *keys)

    def pixels(self, left, top, width, height):
        return screen.read_xwd(self.desktop.screen_file, self.x + left, self.y + top, width,
                               height)

    def close_window(self):
        """Asks the window to close, as a window manager does when the player clicks its X."""
        send_delete_window(self.desktop.display, self.window)

    def wait(self, timeout=EXIT_SECONDS):
        """Waits for the game to end; returns its exit status (negative: killed by a signal)."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the game did not end within {timeout} s") from None

    def stderr(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as log:
            return log.read()

    def written_files(self):
        """The files the game created, wrote, renamed or removed, once it has ended."""
        return file_trace.files_written(self.trace_prefix, self.desktop.home)

    def files_read(self):
        return file_trace.files_read(self.trace_prefix)


def run_tests():
    """Runs the script's tests against the sound server of the sandbox's choice; skips them all
    when it is not installed."""
    sandbox.sound_server_kind()
    unittest.main()


def traced_command(program, trace_prefix):
    return ["strace", "-f", "-ff", "-qq", "-o", trace_prefix,
            "-e", "trace=" + ",".join(file_trace.TRACED_CALLS), program]


def send_delete_window(display_name, window):
    """Sends the window a WM_DELETE_WINDOW message through Xlib."""
    xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.c_void_p]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("padding", ctypes.c_long * 12)]  # an XEvent is 24 longs in all

    connection = xlib.XOpenDisplay(display_name.encode())
    if not connection:
        raise AssertionError(f"cannot open display {display_name}")
    try:
        event = ClientMessage()
        event.type = 33  # ClientMessage
        event.window = window
        event.message_type = xlib.XInternAtom(connection, b"WM_PROTOCOLS", False)
        event.format = 32
        event.data[0] = xlib.XInternAtom(connection, b"WM_DELETE_WINDOW", False)
        event.data[1] = 0  # CurrentTime
        if not xlib.XSendEvent(connection, window, False, 0, ctypes.byref(event)):
            raise AssertionError("XSendEvent failed")
        xlib.XFlush(connection)
    finally:
        xlib.XCloseDisplay(connection)
