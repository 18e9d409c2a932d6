"""A private desktop session for one test: an X server, a session bus, a home with its XDG
folders, a runtime folder and, if asked for, a sound server (sound_server.py) or a Wayland desktop
(weston, with XWayland), all of its own. Its environment is built from scratch: the caller's
DISPLAY, WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS, PULSE_SERVER and XDG_* never reach what runs
in it.

Every process of the session, and whatever those start, bears the session's mark in its
environment. When the session closes, whatever ended the test, it stops what it started; a marked
process still running after that is killed and fails the test, named.
"""
import ctypes
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

# Of the caller's environment only these are passed on: not its locale, so nothing may depend on
# the caller's. A session has one of its own, in UTF-8 as a desktop session's, and the same on
# every machine.
PASSED_ON = ("PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")
MARK = "KEYFALL_TEST_SESSION"
STOP_SECONDS = 3
START_SECONDS = 20  # for a server to start on a loaded machine
WESTON_SCREEN = (1600, 1000)
# Weston's X11 back end, its window mapped under a pointer that is already inside it, at times
# never takes the pointer at all (no enter, no motion, no click reaches its clients), while a
# pointer that comes in from outside always is taken. The X screen has one row more, below
# weston's window, where the pointer waits as weston starts.
WAITING_POINTER = (0, WESTON_SCREEN[1])
LOG_TAIL_LINES = 10
# Xvfb writes its screen to a file with every frame: on a disk that other programs keep busy, such
# a write may wait a fifth of a second, and the game then gets two keys at once and plays one
# sound for both. The screen lies in memory where the system offers a place for it, as a
# desktop's screen does.
MEMORY_FOLDER = "/dev/shm" if os.access("/dev/shm", os.W_OK | os.X_OK) else None
# A bus that starts no service on demand, which would be one more process to end: a program that
# asks for one, as Qt does for the accessibility bus, is told at once that there is none.
_BUS_CONFIG = """<busconfig><type>session</type><listen>unix:path={socket}</listen>
<auth>EXTERNAL</auth><policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>"""


def poll(condition, timeout):
    """Calls condition until it returns something true, which is returned; None after timeout."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.02)
    return None


def wait_for(condition, timeout, what):
    """Polls condition until it returns something true, which is returned; fails after timeout."""
    result = poll(condition, timeout)
    if not result:
        raise AssertionError(f"timed out after {timeout} s waiting for {what}")
    return result


def _raise_exit(signum, _frame):
    raise SystemExit(128 + signum)


def _die_with_parent():
    # Even if the test itself is killed outright (as by a time-out), what it started goes too.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def stop(process):
    """Ends a process and the group it leads, killed if it has not ended a while after asked."""
    def send(signum):
        if process.poll() is None:
            try:
                os.killpg(process.pid, signum)
            except ProcessLookupError:  # ended just now
                pass

    send(signal.SIGTERM)
    send(signal.SIGCONT)  # a stopped process acts on the signal only once it runs
    try:
        process.wait(timeout=STOP_SECONDS)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        process.wait()


def _marked(mark):
    """(pid, command line) of every other process whose environment bears the mark."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ, \
                    open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                if f"{MARK}={mark}".encode() in environ.read().split(b"\0"):
                    found.append((int(pid), cmdline.read().replace(b"\0", b" ").decode().strip()))
        except OSError:  # gone already, or not ours to read
            pass
    return [(pid, command) for pid, command in found if pid != os.getpid()]


class Session:
    def __init__(self, x_server=True, sound_server=False, accessibility=False, wayland_scale=None):
        """wayland_scale: weston runs as the desktop, at that scale, in a window of the X server
        that fills its screen, which thus shows the desktop's pixels and takes the pointer's
        clicks for it; the programs of the session find weston and its XWayland, as on a Wayland
        desktop, and X_SCREEN names the X server below."""
        self.with_x_server = x_server or bool(wayland_scale)
        self.wayland_scale = wayland_scale
        self.with_sound_server = sound_server
        self.with_accessibility = accessibility
        self.processes = []
        self.sound_server = None
        self.screen_dir = None
        # Read now: a test may hand its own environment over to the session's.
        self.keep = bool(os.environ.get("KEYFALL_TEST_KEEP"))

    def __enter__(self):
        self.dir = tempfile.mkdtemp(prefix="keyfall-test-")
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(signum, _raise_exit)
        self.home, self.runtime = self.folder("home"), self.folder("runtime")
        self.env = {name: os.environ[name] for name in PASSED_ON if name in os.environ}
        # The XDG folders are made by whoever first writes there, as on a new account.
        self.env.update({MARK: self.dir, "LANG": "C.UTF-8", "HOME": self.home, "XDG_RUNTIME_DIR": self.runtime,
                         "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                         "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
                         "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
                         "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
                         # Desktop settings held by each program, as no settings service
                         # runs: a screen reader that switches accessibility on is heard.
                         "GSETTINGS_BACKEND": "memory",
                         # Where the session's sound server listens, if it has one.
                         "PULSE_SERVER": "unix:" + os.path.join(self.runtime, "pulse", "native")})
        try:
            with open(self.path("bus.conf"), "w", encoding="utf-8") as conf:
                conf.write(_BUS_CONFIG.format(socket=os.path.join(self.runtime, "bus")))
            self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_server(
                ["dbus-daemon", "--nofork", "--config-file=" + self.path("bus.conf"),
                 "--print-address={fd}"], "the session bus")
            if self.with_x_server:
                # Xvfb keeps the screen as an XWD image in a file, which serves as the screenshot.
                size = "x".join(map(str, (WESTON_SCREEN[0], WESTON_SCREEN[1] + 1)
                                    if self.wayland_scale else (1024, 768)))
                self.screen_dir = tempfile.mkdtemp(prefix="keyfall-screen-", dir=MEMORY_FOLDER)
                self.env["DISPLAY"] = ":" + self._start_server(
                    ["Xvfb", "-screen", "0", size + "x24", "-fbdir", self.screen_dir,
                     "-nolisten", "tcp", "-noreset", "-displayfd", "{fd}"], "Xvfb")
                self.screen_file = os.path.join(self.screen_dir, "Xvfb_screen0")
            if self.wayland_scale:
                self._start_weston()
            if self.with_accessibility:
                # An accessibility bus of the session's own, which its programs find through the
                # session bus; the bus starts its registry when the first program asks for it.
                self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
                wait_for(lambda: not subprocess.run(
                    ["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply",
                     "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=self.env,
                    capture_output=True).returncode, 10, "the accessibility bus")
            if self.with_sound_server:
                from sound_server import SoundServer
                self.sound_server = SoundServer(self)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *_exc):
        for process in reversed(self.processes):
            stop(process)
        left = [] if poll(lambda: not _marked(self.dir), STOP_SECONDS) else _marked(self.dir)
        for pid, _ in left:
            os.kill(pid, signal.SIGKILL)
        if not self.keep:  # kept with its logs, to look into
            for folder in filter(None, (self.dir, self.screen_dir)):
                shutil.rmtree(folder, ignore_errors=True)
        if left:
            raise AssertionError("left running after the session closed: " +
                                 "; ".join(f"{pid} {command}" for pid, command in left))

    def _start_weston(self):
        # No panel, whose clock would change the screen, and no lock screen.
        with open(self.path("weston.ini"), "w", encoding="utf-8") as ini:
            ini.write("[shell]\npanel-position=none\nlocking=false\n")
        subprocess.run(["xdotool", "mousemove", "--sync", *map(str, WAITING_POINTER)],
                       env=self.env, check=True)
        scale = self.wayland_scale
        width, height = (side // scale for side in WESTON_SCREEN)
        self.spawn(["weston", "--backend=x11-backend.so", "--use-pixman", f"--scale={scale}",
                    f"--width={width}", f"--height={height}", "--xwayland", "--idle-time=0",
                    "--socket=wayland-0", "--config=" + self.path("weston.ini")])
        # XWayland starts on a free display number, which weston names in its log.
        def x_display():
            with open(self.path("weston.log"), errors="replace") as log:
                said = re.search(r"xserver listening on display (:\d+)", log.read())
            return said and os.path.exists(os.path.join(self.runtime, "wayland-0")) and said[1]
        self.env["X_SCREEN"] = self.env["DISPLAY"]
        self.env["DISPLAY"] = wait_for(x_display, START_SECONDS, "weston and its XWayland")
        self.env["WAYLAND_DISPLAY"] = "wayland-0"

    def path(self, name):
        return os.path.join(self.dir, name)

    def folder(self, name):
        os.makedirs(self.path(name), 0o700)
        return self.path(name)

    def spawn(self, args, log_name=None, env=None, **kwargs):
        """Starts a process of the session, leading a group of its own, its output logged."""
        with open(self.path(log_name or os.path.basename(args[0]) + ".log"), "ab") as log:
            kwargs.setdefault("stdout", log)
            kwargs.setdefault("stderr", log)
            kwargs.setdefault("stdin", subprocess.DEVNULL)
            process = subprocess.Popen(args, env=env or self.env,
                                       preexec_fn=_die_with_parent, start_new_session=True,
                                       **kwargs)
        self.processes.append(process)
        return process

    def _start_server(self, args, what):
        """Starts a server that writes a line to the file descriptor {fd} of its arguments once
        it is ready; returns the line."""
        read_end, write_end = os.pipe()
        server = self.spawn([arg.format(fd=write_end) for arg in args], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as ready:
            line = ready.readline().strip()
        if not line:
            # Why is in the server's own words, in its log, which goes with the session.
            poll(lambda: server.poll() is not None, STOP_SECONDS)
            with open(self.path(os.path.basename(args[0]) + ".log"), errors="replace") as log:
                said = "".join(log.readlines()[-LOG_TAIL_LINES:])
            raise AssertionError(f"{what} did not start; the end of its log:\n{said}")
        return line
