"""A session's private sound server, which looks the same to a test whichever its kind, both
reached through the PulseAudio protocol: "pulseaudio", or "pipewire" (PipeWire with WirePlumber
and pipewire-pulse, headless); and a recorder of what it plays."""
import bisect
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import threading
import time
import unittest

from session import stop, wait_for

SAMPLE_RATE = 44100
SINK = "keyfall_test"
# The programs each kind of sound server runs.
SOUND_SERVERS = {"pulseaudio": ("pulseaudio",),
                 "pipewire": ("pipewire", "wireplumber", "pipewire-pulse")}

# The PipeWire daemon's part: one null sink, at the rate the recorder reads, made the default.
_PIPEWIRE_CONF = f"""context.properties = {{ default.clock.rate = {SAMPLE_RATE} }}
context.objects = [
  {{ factory = adapter
    args = {{ factory.name = support.null-audio-sink node.name = {SINK} media.class = Audio/Sink
             object.linger = true audio.position = [ FL FR ] audio.rate = {SAMPLE_RATE} }} }}
]
"""
# WirePlumber's part: no devices to look for, and no Flatpak portal to ask, in the form each
# version reads. 0.4 reads Lua, after its defaults (50-*) and before they take effect (90-*); 0.5
# reads SPA-JSON fragments, here switching off the features of its profile.
_WIREPLUMBER_OFF_SWITCHES = {
    (0, 4): {
        "main.lua.d/80-keyfall-test.lua":
            "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n"
            "libcamera_monitor.enabled = false\n"
            'default_access.properties["enable-flatpak-portal"] = false\n',
        "bluetooth.lua.d/80-keyfall-test.lua": "bluez_monitor.enabled = false\n",
    },
    (0, 5): {
        "wireplumber.conf.d/80-keyfall-test.conf": """wireplumber.profiles = {
  main = {
    monitor.alsa = disabled
    monitor.alsa-midi = disabled
    monitor.bluez = disabled
    monitor.bluez-midi = disabled
    monitor.v4l2 = disabled
    monitor.libcamera = disabled
    support.portal-permissionstore = disabled
    script.client.access-portal = disabled
  }
}
""",
    },
}


def sound_server_kind():
    """The kind of sound server to test against: KEYFALL_SOUND_SERVER, or else the first of
    SOUND_SERVERS installed. If it is not installed, the test is skipped."""
    installed = [kind for kind, programs in SOUND_SERVERS.items()
                 if all(shutil.which(program) for program in programs)]
    kind = os.environ.get("KEYFALL_SOUND_SERVER") or (installed or ["pulseaudio"])[0]
    if kind not in SOUND_SERVERS:
        sys.exit(f"unknown sound server {kind!r}: choose one of {', '.join(SOUND_SERVERS)}")
    if kind not in installed:
        raise unittest.SkipTest(f"the {kind} sound server is not installed "
                                f"(needs {', '.join(SOUND_SERVERS[kind])})")
    return kind


class SoundServer:
    """The session's sound server, of sound_server_kind(), whose only output is the null sink
    SINK, its default; clients reach it at address, the session's PULSE_SERVER. It keeps its
    configuration and state, and PulseAudio its cookie, in the session's home: a client of the
    session reads the cookie instead of writing one."""

    def __init__(self, session):
        self.session = session
        self.kind = sound_server_kind()
        self.address = session.env["PULSE_SERVER"]
        self.env = dict(session.env, PULSE_RUNTIME_PATH=os.path.dirname(self.address[5:]))
        self.env.pop("DISPLAY", None)
        os.makedirs(self.env["PULSE_RUNTIME_PATH"], 0o700)
        if self.kind == "pipewire":
            self._write_pipewire_config()
        self.processes = {}
        self.start()

    def _write_pipewire_config(self):
        files = {os.path.join("pipewire", "pipewire.conf.d", "keyfall-test.conf"): _PIPEWIRE_CONF}
        for switches in _WIREPLUMBER_OFF_SWITCHES.values():
            files.update({os.path.join("wireplumber", name): text
                          for name, text in switches.items()})
        for name, text in files.items():
            path = os.path.join(self.env["XDG_CONFIG_HOME"], name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as conf:
                conf.write(text)

    def wireplumber_off_switches(self):
        """The files of off switches that the installed WirePlumber reads."""
        said = subprocess.run(["wireplumber", "--version"], capture_output=True,
                              text=True).stdout
        version = tuple(map(int, re.search(r"libwireplumber (\d+)\.(\d+)", said).groups()))
        return [os.path.join(self.env["XDG_CONFIG_HOME"], "wireplumber", name)
                for name in _WIREPLUMBER_OFF_SWITCHES[(0, 4) if version < (0, 5) else (0, 5)]]

    def _spawn(self, *args):
        # WirePlumber's log names each file of configuration it reads.
        env = dict(self.env, WIREPLUMBER_DEBUG="I") if args[0] == "wireplumber" else self.env
        self.processes[args[0]] = self.session.spawn(list(args), env=env)

    def start(self):
        """Starts the server, at first or again after kill(), and waits until its sink is the
        default one."""
        if self.kind == "pipewire":
            self._spawn("pipewire")
            core = os.path.join(self.env["XDG_RUNTIME_DIR"], "pipewire-0")
            wait_for(lambda: _accepts(core), 10, "PipeWire")
            self._spawn("wireplumber")
            self._spawn("pipewire-pulse")
        else:
            self._spawn(
                "pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                "--use-pid-file=no", "--system=no", "-n", "--log-target=stderr",
                # Without rewinds the monitor records exactly what the sink plays, in order.
                f"--load=module-null-sink sink_name={SINK} rate={SAMPLE_RATE} norewinds=1",
                f"--load=module-native-protocol-unix socket={self.address[5:]} auth-anonymous=1")
        wait_for(lambda: f"Default Sink: {SINK}\n" in (self._pactl("info") or ""), 10,
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
            result = subprocess.run(["pactl", "--server", self.address, *args], env=self.env,
                                    capture_output=True, text=True, timeout=5)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the {self.kind} server did not answer pactl") from None
        return result.stdout if result.returncode == 0 else None

    def add_sink(self, name):
        """A second null sink, for a stream that is not to be recorded with the game's."""
        self._pactl("load-module", "module-null-sink", f"sink_name={name}", f"rate={SAMPLE_RATE}")
        wait_for(lambda: name in self.offered("sinks"), 10, f"the sink {name}")

    def offered(self, kind):
        """The names of the server's sinks or sources, as kind says."""
        return [line.split("\t")[1] for line in
                (self._pactl("list", "short", kind) or "").splitlines()]

    def client_properties(self, name):
        """The value of a property of each client that has it."""
        return re.findall(rf'^\s*{re.escape(name)} = "(.*)"$', self._pactl("list", "clients") or "",
                          re.M)

    def open_streams(self):
        """How many streams are open on the server, corked or not."""
        return len((self._pactl("list", "short", "sink-inputs") or "").splitlines())

    def stream_properties(self):
        """The properties of each open stream, as the desktop's mixer reads them."""
        streams = []
        for line in (self._pactl("list", "sink-inputs") or "").splitlines():
            if line.startswith("Sink Input #"):
                streams.append({})
            elif " = " in line and streams:
                key, value = line.strip().split(" = ", 1)
                streams[-1][key] = value.strip('"')
        return streams

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


class Recorder:
    """Records the null sink's monitor as 16-bit mono and maps wall-clock times to its samples.

    A busy machine can make a sound server drop or add a stretch of the recording, after which a
    mapping fixed at the start would misdate every later sample. So the file's growth is watched
    all through the recording, and each time is mapped by what was watched just after it."""

    # How far after a time the watches that date it reach: more than the longest stall between
    # two writes of the recording, less than the gap between two stretches dropped or added.
    DATING_SECONDS = 0.3

    def __init__(self, session):
        self.file = session.path("recording.raw")
        self.process = session.spawn(
            ["parec", "-d", SINK + ".monitor", "--raw", "--format=s16le",
             f"--rate={SAMPLE_RATE}", "--channels=1", "--latency-msec=5", self.file],
            log_name="parec.log")
        # (wall-clock time, seconds of sound in the file then), in the order they were taken.
        self._watches = []
        self._watching = threading.Event()
        self._watcher = threading.Thread(target=self._watch, daemon=True)
        self._watcher.start()
        wait_for(lambda: self._watches and self._watches[-1][1], 10, "the recording to start")

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
        wait_for(lambda: self._watches[-1][1] >= wall_time - self._start_near(wall_time),
                   timeout, "the recording to catch up")

    def stop(self):
        stop(self.process)
        self._watching.set()
        self._watcher.join()
        with open(self.file, "rb") as raw:
            data = raw.read()
        # parec writes little-endian samples, whatever the machine's own byte order.
        count = len(data) // 2
        return list(struct.unpack(f"<{count}h", data[:2 * count]))

    def seconds_into(self, wall_time):
        """Where in the recording the given wall-clock time falls; best asked once the recording
        has gone on a little past it."""
        return wall_time - self._start_near(wall_time)
