"""A private X server and sound server for one test run, and the processes started in it.

Every process started here is stopped when the sandbox closes, whatever ends the run.
"""
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SAMPLE_RATE = 44100
SINK = "keyfall_test"


def _raise_exit(signum, _frame):
    raise SystemExit(128 + signum)


def _die_with_parent():
    # Even if the test itself is killed outright (as by a timeout), its servers do not linger.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def stop(process):
    """Ends a process, killed if it has not ended 3 s after being asked to. One that leads a group
    of its own takes the group along: what it started, too."""
    if process.poll() is not None:
        return
    own_group = os.getpgid(process.pid) == process.pid

    def send(signum):
        if own_group:
            os.killpg(process.pid, signum)
        else:
            process.send_signal(signum)

    send(signal.SIGTERM)
    try:
        process.wait(timeout=3)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        process.wait()


class Sandbox:
    def __init__(self):
        self.processes = []
        self.dir = None

    def __enter__(self):
        self.dir = tempfile.mkdtemp(prefix="keyfall-e2e-")
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(signum, _raise_exit)
        return self

    def __exit__(self, *_exc):
        for process in reversed(self.processes):
            stop(process)
        if os.environ.get("KEYFALL_E2E_KEEP"):
            print(f"kept {self.dir}")
        else:
            shutil.rmtree(self.dir, ignore_errors=True)
        return False

    def path(self, name):
        return os.path.join(self.dir, name)

    def spawn(self, args, log_name=None, **kwargs):
        with open(self.path(log_name or os.path.basename(args[0]) + ".log"), "ab") as log:
            kwargs.setdefault("stdout", log)
            kwargs.setdefault("stderr", log)
            process = subprocess.Popen(args, stdin=subprocess.DEVNULL,
                                       preexec_fn=_die_with_parent, **kwargs)
        self.processes.append(process)
        return process

    def stop(self, process):
        process.terminate()
        process.wait(timeout=3)


def poll(condition, timeout):
    """Calls condition until it returns something true, which is returned; None after timeout."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.02)
    return None


def wait_until(condition, timeout, what):
    result = poll(condition, timeout)
    if not result:
        sys.exit(f"timed out waiting for {what}")
    return result


def start_xvfb(sandbox):
    """Starts Xvfb on a free display that it picks itself; returns (DISPLAY, framebuffer file).

    The screen is also kept as an XWD image in a file, which serves as the screenshot."""
    fbdir = sandbox.path("fb")
    os.mkdir(fbdir)
    read_end, write_end = os.pipe()
    sandbox.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                   "-fbdir", fbdir, "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], 10)
        chunk = os.read(read_end, 16) if ready else b""
        if not chunk:
            sys.exit("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return ":" + number.decode().strip(), os.path.join(fbdir, "Xvfb_screen0")


def start_pulse(sandbox):
    """Starts a PulseAudio server whose only output is a null sink; returns its PULSE_SERVER."""
    return spawn_pulse(sandbox)[1]


def spawn_pulse(sandbox, home=None):
    """Starts the server of start_pulse; returns its process, which a test may stop, and its
    PULSE_SERVER.

    The server keeps its cookie in home, a new folder of the sandbox unless given; a client that
    shares that home reads the cookie instead of writing one of its own."""
    if home is None:
        home = sandbox.path("home")
        os.mkdir(home)
    os.mkdir(sandbox.path("runtime"))
    socket = sandbox.path("pulse.sock")
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=sandbox.path("runtime"),
               PULSE_RUNTIME_PATH=sandbox.path("runtime"))
    env.pop("DISPLAY", None)
    process = sandbox.spawn(
        ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
         "--use-pid-file=no", "--system=no", "-n", "--log-target=stderr",
         # Without rewinds the monitor records exactly what the sink plays, in order.
         f"--load=module-null-sink sink_name={SINK} rate={SAMPLE_RATE} norewinds=1",
         f"--load=module-native-protocol-unix socket={socket} auth-anonymous=1"],
        env=env)
    server = "unix:" + socket
    wait_until(lambda: subprocess.run(["pactl", "--server", server, "info"],
                                      capture_output=True).returncode == 0, 10, "PulseAudio")
    subprocess.run(["pactl", "--server", server, "set-default-sink", SINK], check=True)
    return process, server


class Recorder:
    """Records the null sink's monitor as 16-bit mono and maps its samples to wall-clock time."""

    def __init__(self, sandbox, server):
        self.file = sandbox.path("recording.raw")
        self.sandbox = sandbox
        self.process = sandbox.spawn(
            ["parec", "--server", server, "-d", SINK + ".monitor", "--raw", "--format=s16le",
             f"--rate={SAMPLE_RATE}", "--channels=1", "--latency-msec=5", self.file],
            log_name="parec.log")
        self.start_time = self._measure_start()

    def _size(self):
        return os.path.getsize(self.file) if os.path.exists(self.file) else 0

    def _measure_start(self):
        # A sample reaches the file no sooner than it was captured, so each look at the file's
        # size bounds from above the time of its first sample; the tightest bound is kept.
        wait_until(self._size, 10, "the recording to start")
        best = float("inf")
        deadline = time.time() + 0.5
        while time.time() < deadline:
            now = time.time()
            best = min(best, now - self._size() / 2 / SAMPLE_RATE)
            time.sleep(0.001)
        return best

    def stop(self):
        self.sandbox.stop(self.process)
        with open(self.file, "rb") as raw:
            data = raw.read()
        return memoryview(data[:len(data) // 2 * 2]).cast("h").tolist()

    def seconds_into(self, wall_time):
        return wall_time - self.start_time
