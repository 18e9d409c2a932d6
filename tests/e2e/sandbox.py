"""A private X server and sound server for one test run, and the processes started in it.

Every process started here is stopped when the sandbox closes, whatever ends the run.

Tests run against either of two kinds of sound server, both reached through the PulseAudio
protocol: "pulseaudio", and "pipewire" (PipeWire with WirePlumber and pipewire-pulse, headless).
KEYFALL_SOUND_SERVER names the kind; without it, the first installed. A test whose kind is not
installed exits with SKIPPED, which ctest reports as skipped. Both kinds look the same to a test
(see SoundServer); Recorder records what a server plays.
"""
import bisect
import ctypes
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

SAMPLE_RATE = 44100
SINK = "keyfall_test"
# The programs each kind of sound server runs.
SOUND_SERVERS = {"pulseaudio": ("pulseaudio",),
                 "pipewire": ("pipewire", "wireplumber", "pipewire-pulse")}
# The exit status of a test that cannot run here; ctest's SKIP_RETURN_CODE.
SKIPPED = 77


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
    send(signal.SIGCONT)  # a stopped process acts on the signal only once it runs
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
        sys.exit(f"timed out after {timeout} s waiting for {what}")
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


# The PipeWire daemon's part: one null sink, at the rate the recorder reads, made the default.
_PIPEWIRE_CONF = f"""context.properties = {{ default.clock.rate = {SAMPLE_RATE} }}
context.objects = [
  {{ factory = adapter
    args = {{ factory.name = support.null-audio-sink node.name = {SINK} media.class = Audio/Sink
             object.linger = true audio.position = [ FL FR ] audio.rate = {SAMPLE_RATE} }} }}
]
"""
# WirePlumber's part, read after its defaults (50-*) and before they take effect (90-*): no
# devices to look for, and no Flatpak portal, which would need a D-Bus session.
_WIREPLUMBER_LUA = {
    "main.lua.d": "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n"
                  "libcamera_monitor.enabled = false\n"
                  'default_access.properties["enable-flatpak-portal"] = false\n',
    "bluetooth.lua.d": "bluez_monitor.enabled = false\n",
}


def sound_server_kind():
    """The kind of sound server to test against: KEYFALL_SOUND_SERVER, or else the first of
    SOUND_SERVERS installed. If it is not installed, says so and exits with SKIPPED."""
    installed = [kind for kind, programs in SOUND_SERVERS.items()
                 if all(shutil.which(program) for program in programs)]
    kind = os.environ.get("KEYFALL_SOUND_SERVER") or (installed or ["pulseaudio"])[0]
    if kind not in SOUND_SERVERS:
        sys.exit(f"unknown sound server {kind!r}: choose one of {', '.join(SOUND_SERVERS)}")
    if kind not in installed:
        print(f"skipped: the {kind} sound server is not installed "
              f"(needs {', '.join(SOUND_SERVERS[kind])})")
        sys.exit(SKIPPED)
    return kind


class SoundServer:
    """A private sound server of the given kind whose only output is the null sink SINK, its
    default; clients reach it at address (PULSE_SERVER). It keeps its configuration and state,
    and PulseAudio its cookie, in home: a client that shares that home reads the cookie instead
    of writing one."""

    def __init__(self, sandbox, kind, home):
        self.sandbox = sandbox
        self.kind = kind
        runtime = sandbox.path("sound-runtime")
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"), PULSE_RUNTIME_PATH=runtime)
        self.env.pop("DISPLAY", None)
        # Where either kind puts its socket by default.
        self.address = "unix:" + os.path.join(runtime, "native")
        if kind == "pipewire":
            self._write_pipewire_config()
        self.processes = {}
        self.start()

    def _write_pipewire_config(self):
        files = {os.path.join("pipewire", "pipewire.conf.d", "keyfall-test.conf"): _PIPEWIRE_CONF}
        files.update({os.path.join("wireplumber", folder, "80-keyfall-test.lua"): text
                      for folder, text in _WIREPLUMBER_LUA.items()})
        for name, text in files.items():
            path = os.path.join(self.env["XDG_CONFIG_HOME"], name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as conf:
                conf.write(text)

    def _spawn(self, *args):
        self.processes[args[0]] = self.sandbox.spawn(list(args), env=self.env)

    def start(self):
        """Starts the server, at first or again after kill(), and waits until its sink is the
        default one."""
        if self.kind == "pipewire":
            self._spawn("pipewire")
            core = os.path.join(self.env["XDG_RUNTIME_DIR"], "pipewire-0")
            wait_until(lambda: _accepts(core), 10, "PipeWire")
            self._spawn("wireplumber")
            self._spawn("pipewire-pulse")
        else:
            self._spawn(
                "pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                "--use-pid-file=no", "--system=no", "-n", "--log-target=stderr",
                # Without rewinds the monitor records exactly what the sink plays, in order.
                f"--load=module-null-sink sink_name={SINK} rate={SAMPLE_RATE} norewinds=1",
                f"--load=module-native-protocol-unix socket={self.address[5:]} auth-anonymous=1")
        wait_until(lambda: f"Default Sink: {SINK}\n" in (self._pactl("info") or ""), 10,
                   f"{self.kind} to offer its sink")

    def _answering(self):
        """The processes that answer the PulseAudio protocol."""
        return [self.processes[name] for name in ("pulseaudio", "pipewire", "pipewire-pulse")
                if name in self.processes]

    def pause(self):
        """Stops the server where it is: it keeps its connections but answers nothing, not even
        playing_streams(), until resume()."""
        for process in self._answering():
            process.send_signal(signal.SIGSTOP)

    def resume(self):
        for process in self._answering():
            process.send_signal(signal.SIGCONT)

    def kill(self):
        """Kills the server outright, as a crash does: its clients' connections break."""
        for process in self.processes.values():
            if process.poll() is None:
                process.kill()
            process.wait()

    def _pactl(self, *args):
        try:
            result = subprocess.run(["pactl", "--server", self.address, *args],
                                    capture_output=True, text=True, timeout=5)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the {self.kind} server did not answer pactl") from None
        return result.stdout if result.returncode == 0 else None

    def open_streams(self):
        """How many streams are open on the server, corked or not."""
        return len((self._pactl("list", "short", "sink-inputs") or "").splitlines())

    def playing_streams(self):
        """How many streams play into the server now: those not corked. A client that keeps
        a stream open and corked while silent plays nothing."""
        return (self._pactl("list", "sink-inputs") or "").count("Corked: no")


def _accepts(socket_path):
    with socket.socket(socket.AF_UNIX) as client:
        try:
            client.connect(socket_path)
        except OSError:
            return False
    return True


def start_sound_server(sandbox, home=None):
    """Starts a private sound server of sound_server_kind(); its home is a new folder of the
    sandbox unless given."""
    if home is None:
        home = sandbox.path("home")
        os.mkdir(home)
    return SoundServer(sandbox, sound_server_kind(), home)


class Recorder:
    """Records the null sink's monitor as 16-bit mono and maps wall-clock times to its samples.

    A busy machine can make a sound server drop or add a stretch of the recording, after which a
    mapping fixed at the start would misdate every later sample. So the file's growth is watched
    all through the recording, and each time is mapped by what was watched just after it."""

    # How far after a time the watches that date it reach: more than the longest stall between
    # two writes of the recording, less than the gap between two stretches dropped or added.
    DATING_SECONDS = 0.3

    def __init__(self, sandbox, server):
        self.file = sandbox.path("recording.raw")
        self.sandbox = sandbox
        self.process = sandbox.spawn(
            ["parec", "--server", server, "-d", SINK + ".monitor", "--raw", "--format=s16le",
             f"--rate={SAMPLE_RATE}", "--channels=1", "--latency-msec=5", self.file],
            log_name="parec.log")
        # (wall-clock time, seconds of sound in the file then), in the order they were taken.
        self._watches = []
        self._watching = threading.Event()
        self._watcher = threading.Thread(target=self._watch, daemon=True)
        self._watcher.start()
        wait_until(lambda: self._watches and self._watches[-1][1], 10, "the recording to start")

    def _size(self):
        return os.path.getsize(self.file) if os.path.exists(self.file) else 0

    def _watch(self):
        while not self._watching.is_set():
            now = time.time()
            self._watches.append((now, self._size() / 2 / SAMPLE_RATE))
            time.sleep(0.001)

    def _start_near(self, wall_time):
        """When the recording would have begun, going by the watches just after wall_time: a
        sample reaches the file no sooner than it was captured, so each watch bounds that from
        above, and the tightest bound is taken. Without such watches yet, the latest serve."""
        watches = self._watches[bisect.bisect_left(self._watches, (wall_time,)):]
        near = [now - seconds for now, seconds in watches
                if seconds and now <= wall_time + self.DATING_SECONDS]
        return min(near or [now - seconds for now, seconds in self._watches[-100:] if seconds])

    def wait_until_recorded(self, wall_time, timeout):
        """Waits until the recording reaches the given wall-clock time."""
        wait_until(lambda: self._watches[-1][1] >= wall_time - self._start_near(wall_time),
                   timeout, "the recording to catch up")

    def stop(self):
        self.sandbox.stop(self.process)
        self._watching.set()
        self._watcher.join()
        with open(self.file, "rb") as raw:
            data = raw.read()
        return memoryview(data[:len(data) // 2 * 2]).cast("h").tolist()

    def seconds_into(self, wall_time):
        """Where in the recording the given wall-clock time falls; best asked once the recording
        has gone on a little past it."""
        return wall_time - self._start_near(wall_time)
