"""A private desktop session for one test: what a desktop gives a program, and nothing of the
caller's. It has an X server, a session bus, a home with its XDG folders, a runtime folder and,
if asked for, a sound server (see sound_server.py), all of its own. Its environment is built from
scratch: DISPLAY, WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS, PULSE_SERVER and XDG_* of the caller
never reach what runs in it.

Every process started in the session bears the session's mark in its environment, and so does
everything those start in turn. When the session closes, whatever ended the test, it stops what it
started; a marked process still running after that is killed and fails the test, named.
"""
import ctypes
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

# Of the caller's environment, only the search path and the sanitizers' options are passed on; no
# locale, so that nothing may depend on one.
PASSED_ON = ("PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")
MARK = "KEYFALL_TEST_SESSION"
START_SECONDS = 10
STOP_SECONDS = 3

# A bus that starts no service on demand: whatever it started would be one more process to end.
# A program that asks for one, as Qt does for the accessibility bus, is told at once that there
# is none.
_BUS_CONFIG = """<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


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
    """Ends a process and the group it leads, killed if it has not ended a while after being
    asked to."""
    if process.poll() is not None:
        return

    def send(signum):
        try:
            os.killpg(process.pid, signum)
        except ProcessLookupError:
            pass

    send(signal.SIGTERM)
    send(signal.SIGCONT)  # a stopped process acts on the signal only once it runs
    try:
        process.wait(timeout=STOP_SECONDS)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        process.wait()


def _marked_processes(mark):
    """(pid, command line) of every running process whose environment bears the mark."""
    wanted = f"{MARK}={mark}".encode()
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ:
                if wanted not in environ.read().split(b"\0"):
                    continue
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                command = cmdline.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:  # gone already, or not ours to read
            continue
        if int(pid) != os.getpid():
            found.append((int(pid), command))
    return found


class Session:
    def __init__(self, x_server=True, sound_server=False):
        self.with_x_server = x_server
        self.with_sound_server = sound_server
        self.processes = []
        self.sound_server = None

    def __enter__(self):
        self.dir = tempfile.mkdtemp(prefix="keyfall-test-")
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(signum, _raise_exit)
        self.home = self.folder("home")
        self.runtime = self.folder("runtime")
        self.env = {name: os.environ[name] for name in PASSED_ON if name in os.environ}
        self.env.update({
            MARK: self.dir, "HOME": self.home, "XDG_RUNTIME_DIR": self.runtime,
            # Made by whoever first writes there, as on a new account: the home starts empty.
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            # Where a sound server of the session listens; none does unless asked for.
            "PULSE_SERVER": "unix:" + os.path.join(self.runtime, "pulse", "native")})
        try:
            self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_bus()
            if self.with_x_server:
                self.env["DISPLAY"], self.screen_file = self._start_x_server()
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
        left = [] if poll(lambda: not _marked_processes(self.dir), STOP_SECONDS) else \
            _marked_processes(self.dir)
        for pid, _ in left:
            os.kill(pid, signal.SIGKILL)
        if os.environ.get("KEYFALL_TEST_KEEP"):
            print(f"kept {self.dir}")
        else:
            shutil.rmtree(self.dir, ignore_errors=True)
        if left:
            raise AssertionError("left running after the session closed: " +
                                 "; ".join(f"{pid} {command}" for pid, command in left))
        return False

    def path(self, name):
        return os.path.join(self.dir, name)

    def folder(self, name):
        path = self.path(name)
        os.makedirs(path, 0o700)
        return path

    def spawn(self, args, log_name=None, env=None, **kwargs):
        """Starts a process in the session, leading a group of its own, its output logged to a
        file of the session."""
        with open(self.path(log_name or os.path.basename(args[0]) + ".log"), "ab") as log:
            kwargs.setdefault("stdout", log)
            kwargs.setdefault("stderr", log)
            process = subprocess.Popen(args, stdin=subprocess.DEVNULL, env=env or self.env,
                                       preexec_fn=_die_with_parent, start_new_session=True,
                                       **kwargs)
        self.processes.append(process)
        return process

    def _spawn_and_read_line(self, args, what):
        """Starts a server that writes a line to the file descriptor {fd} of its arguments once
        it is ready, and returns the line."""
        read_end, write_end = os.pipe()
        self.spawn([arg.format(fd=write_end) for arg in args], pass_fds=(write_end,))
        os.close(write_end)
        line = b""
        try:
            while not line.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], START_SECONDS)
                chunk = os.read(read_end, 256) if ready else b""
                if not chunk:
                    raise AssertionError(f"{what} did not start")
                line += chunk
        finally:
            os.close(read_end)
        return line.decode().strip()

    def _start_bus(self):
        config = self.path("bus.conf")
        with open(config, "w", encoding="utf-8") as conf:
            conf.write(_BUS_CONFIG.format(socket=os.path.join(self.runtime, "bus")))
        return self._spawn_and_read_line(
            ["dbus-daemon", "--nofork", f"--config-file={config}", "--print-address={fd}"],
            "the session bus")

    def _start_x_server(self):
        """Starts Xvfb on a free display that it picks itself; returns (DISPLAY, screen file):
        Xvfb keeps the screen as an XWD image in that file, which serves as the screenshot."""
        screen_dir = self.folder("screen")
        number = self._spawn_and_read_line(
            ["Xvfb", "-screen", "0", "1024x768x24", "-fbdir", screen_dir, "-nolisten", "tcp",
             "-noreset", "-displayfd", "{fd}"], "Xvfb")
        return ":" + number, os.path.join(screen_dir, "Xvfb_screen0")
