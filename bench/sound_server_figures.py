"""What the game's sound costs the sound server, and when its hit sound is rendered.

Server cost: the server's wake-ups and processor time while another program plays a stream at
200 ms latency, as a music player does, alone and with the game open and idle: before it has made
a sound (the real game), and a few seconds after one (its sound player alone). On PulseAudio and
on PipeWire, each installed.

Key to sound: a private PulseAudio whose only sink is module-pipe-sink, timed by the system clock,
writes what it renders into a pipe block by block, each when the clock reaches its first sample;
a thread reads the pipe and stamps each block as it arrives. The first sample of a sound is dated
on the sink's own clock, which the stamps fix, as a device reading the pipe would play it.

After a burst of load: hits a quarter of a second apart through the game's player, with every
core overbooked for five seconds in the middle, dated by the pipe sink and recorded from each
sound server installed; the figure is from a second after the burst on.
"""
import array
import contextlib
import fcntl
import glob
import os
import shutil
import subprocess
import sys
import threading
import time

import audio_analysis
import window
from figures import Row, delays_after, median, percentile, spread
from session import Session, stop, wait_for
from sound_server import SAMPLE_RATE, SOUND_SERVERS, Recorder

COST_SECONDS = 8
# Time for the player's stream to open, or for a clip to play out and the stream to cork.
SETTLE_SECONDS = 2
OTHER_STREAM_MS = 200
EXTRA_WAKEUPS_GOAL = 10
# The pipe sink writes blocks of PIPE_BUF bytes: 5.3 ms of two channels of floats at 96 kHz, in
# the machine's own byte order, which array reads.
PIPE_RATE = 96000
CHANNELS = 2
PIPE_BLOCK_BYTES = 4096
# Room in the pipe for a reader held up by a busy machine.
PIPE_BYTES = 1 << 20
# The reads that date a sound: those this close to its key.
DATING_SECONDS = 0.5
# How long before its key a sound is looked for, since the dating is not exact, and after it: a
# sound not begun by then was dropped.
EARLY_SECONDS = 0.002
SEARCH_SECONDS = 0.2
# The same in a recording, whose dating is coarser.
RECORDED_SEARCH_SECONDS = 0.3
# A round of the game at "Speed": seconds, and ms between hits.
QUICK_ROUND = (30, 250)
SOUNDS_AFTER_SILENCE = 20
# A burst of load as a build beside the game makes: hits every BURST_HIT_MS, and BURST_SECONDS in
# which every core runs BURST_LOOPS_PER_CORE busy loops, from BURST_AFTER_SECONDS after the first.
BURST_HITS = 80
BURST_HIT_MS = 250
BURST_AFTER_SECONDS = 5
BURST_SECONDS = 5
BURST_LOOPS_PER_CORE = 4
# Long past the cork, which comes on the underflow just after the clip (0.2 s), and past the time
# the other figures allow for it: each sound starts from a corked stream at the silent latency.
# The benchmark's sink never suspends, so a longer silence changes nothing on either side.
SILENCE_MS = 3000
HIT = "shooted.wav"
LEAD_IN = "boing.wav"


def server_load(processes):
    """(wake-ups, processor seconds) of every thread of the processes so far."""
    switches, nanoseconds = 0, 0
    for process in processes:
        for task in glob.glob(f"/proc/{process.pid}/task/*"):
            with open(os.path.join(task, "status")) as status:
                switches += sum(int(line.split()[1]) for line in status
                                if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))
            with open(os.path.join(task, "schedstat")) as schedstat:
                nanoseconds += int(schedstat.read().split()[0])
    return switches, nanoseconds / 1e9


def load_over(processes, seconds):
    """Wake-ups a second and percent of a core over the seconds."""
    switches, cpu = server_load(processes)
    time.sleep(seconds)
    switches_after, cpu_after = server_load(processes)
    return (switches_after - switches) / seconds, 100 * (cpu_after - cpu) / seconds


@contextlib.contextmanager
def session_with(kind):
    """A session with an X server and a sound server of the kind."""
    chosen = os.environ.get("KEYFALL_SOUND_SERVER")
    os.environ["KEYFALL_SOUND_SERVER"] = kind
    try:
        with Session(sound_server=True) as session:
            yield session
    finally:
        if chosen is None:
            os.environ.pop("KEYFALL_SOUND_SERVER")
        else:
            os.environ["KEYFALL_SOUND_SERVER"] = chosen


def server_cost(build, kind):
    """{case: (wake-ups/s, % of a core)} in a session with a sound server of the kind."""
    with session_with(kind) as session:
        server = session.sound_server
        processes = list(server.processes.values())
        session.spawn(["pacat", "--playback", "--raw", f"--latency-msec={OTHER_STREAM_MS}",
                       "/dev/zero"])
        wait_for(lambda: server.open_streams() == 1, 10, "the other program's stream")
        time.sleep(SETTLE_SECONDS)
        found = {"other stream alone": load_over(processes, COST_SECONDS)}
        game = session.spawn([os.path.join(build, "keyfall")])
        wait_for(lambda: server.open_streams() == 2, 10, "the game's stream")
        time.sleep(SETTLE_SECONDS)
        found["game open, no sound yet"] = load_over(processes, COST_SECONDS)
        stop(game)
        wait_for(lambda: server.open_streams() == 1, 10, "the game's stream to close")
        # A sound while the player connects, one a second later, and the next after the measure.
        idle_ms = (COST_SECONDS + 2 * SETTLE_SECONDS) * 1000
        player = session.spawn([os.path.join(build, "tests", "e2e", "play_sequence"), build,
                                f"{LEAD_IN}:1000", f"{HIT}:{idle_ms}", f"{HIT}:0"],
                               env=dict(session.env, QT_QPA_PLATFORM="offscreen"))
        wait_for(lambda: server.open_streams() == 2, 10, "the player's stream")
        time.sleep(1 + SETTLE_SECONDS)
        found["a sound played, then idle"] = load_over(processes, COST_SECONDS)
        stop(player)
    return found


def cost_rows(build):
    rows = []
    for kind, programs in SOUND_SERVERS.items():
        if not all(shutil.which(program) for program in programs):
            continue
        found = server_cost(build, kind)
        alone_wakeups, alone_cpu = found.pop("other stream alone")
        for case, (wakeups, cpu) in found.items():
            rows.append(Row(f"{kind} beside a {OTHER_STREAM_MS} ms stream, {case}",
                            f"{wakeups:.0f} wake-ups/s, {cpu:.2f} % of a core",
                            f"stream alone {alone_wakeups:.0f} wake-ups/s, {alone_cpu:.2f} %",
                            f"<= +{EXTRA_WAKEUPS_GOAL} wake-ups/s",
                            wakeups <= alone_wakeups + EXTRA_WAKEUPS_GOAL))
    return rows


class PipeReader:
    """Reads what the pipe sink renders, stamping each read with the wall clock (the clock of the
    player's own times) as it arrives."""

    def __init__(self, path):
        self.reads = []
        self.fd = os.open(path, os.O_RDONLY)
        fcntl.fcntl(self.fd, fcntl.F_SETPIPE_SZ, PIPE_BYTES)
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while data := os.read(self.fd, 1 << 16):
            self.reads.append((time.time(), data))

    def onsets_after(self, keys):
        """For each key time, the date of the first sample after it that is not silence.

        Timed by the system clock, the sink writes each block when the clock reaches the block's
        first sample, so a block can only arrive after that: around each key, the earliest of
        (arrival minus the place of the last block read) dates the samples there, which follow
        at the sink's rate. (Dating near the key keeps a stretch the sink dropped, as when the
        reader fell behind, from misdating later sounds.)"""
        samples = array.array("f")
        ends = []
        for stamp, data in self.reads:
            samples.frombytes(data)
            ends.append((stamp, len(samples) // CHANNELS))
        block_frames = PIPE_BLOCK_BYTES // 4 // CHANNELS
        found = []
        for key in keys:
            start = min(stamp - (end - block_frames) / PIPE_RATE for stamp, end in ends
                        if abs(stamp - key) < DATING_SECONDS)
            frame = int((key - EARLY_SECONDS - start) * PIPE_RATE)
            last = min(len(samples) // CHANNELS, frame + int(SEARCH_SECONDS * PIPE_RATE))
            while frame < last and not any(samples[frame * CHANNELS:(frame + 1) * CHANNELS]):
                frame += 1
            found.append(start + frame / PIPE_RATE - key if frame < last else None)
        return found


def key_to_sound(play):
    """The keys that play(session) returns, and the delay in ms from each to the first sample of
    its sound."""
    with Session() as session:
        fifo, address = session.path("sink.pipe"), session.env["PULSE_SERVER"]
        runtime = os.path.dirname(address[5:])
        os.makedirs(runtime, 0o700)
        session.spawn(["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                       "--use-pid-file=no", "--system=no", "-n", "--log-target=stderr",
                       f"--load=module-pipe-sink file={fifo} sink_name=keyfall_pipe "
                       f"format=float32ne rate={PIPE_RATE} channels={CHANNELS} "
                       "use_system_clock_for_timing=yes",
                       f"--load=module-native-protocol-unix socket={address[5:]} "
                       "auth-anonymous=1"], env=dict(session.env, PULSE_RUNTIME_PATH=runtime))
        wait_for(lambda: os.path.exists(fifo) and os.path.exists(address[5:]), 10,
                 "the pipe sink")
        reader = PipeReader(fifo)
        keys = play(session)
        return keys, [None if d is None else d * 1000 for d in reader.onsets_after(keys)]


def round_keys(build, session):
    """The keys of a round of quick hits in the real game, played by the benchmark driver."""
    done = subprocess.run([os.path.join(build, "bench", "bench_driver"), "round",
                           *map(str, QUICK_ROUND), "--", os.path.join(build, "keyfall")],
                          env=session.env, capture_output=True, text=True, timeout=300,
                          check=True)
    return [float(line.split()[1]) for line in done.stdout.splitlines()
            if line.startswith("hit ")]


def played_sequence(build, session, steps):
    """The times of the play() calls of the game's player, playing the steps (NAME:WAIT_MS) after
    a lead-in and SILENCE_MS of silence, which are not counted."""
    played = subprocess.run(
        [os.path.join(build, "tests", "e2e", "play_sequence"), build, f"{LEAD_IN}:{SILENCE_MS}",
         *steps], env=dict(session.env, QT_QPA_PLATFORM="offscreen"), input="",
        capture_output=True, text=True, timeout=300, check=True)
    return [float(line.split()[0]) for line in played.stdout.splitlines()][1:]


@contextlib.contextmanager
def busy_cores(session, per_core=1):
    """Every core kept busy by per_core loops, as scripts/test --repeat or a build beside keeps
    them."""
    loops = [session.spawn(["sh", "-c", "while :; do :; done"])
             for _ in range(per_core * os.cpu_count())]
    try:
        yield
    finally:
        for loop in loops:
            stop(loop)


def keys_after_silence(build, session, busy=False):
    """Sounds each after SILENCE_MS of silence, with every core busy if asked."""
    with busy_cores(session) if busy else contextlib.nullcontext():
        return played_sequence(build, session, [f"{HIT}:{SILENCE_MS}"] * SOUNDS_AFTER_SILENCE)


def keys_around_burst(build, session, burst):
    """The keys of a hit every BURST_HIT_MS, with BURST_SECONDS of every core overbooked
    (BURST_LOOPS_PER_CORE loops a core) from BURST_AFTER_SECONDS in; the burst's start and end go
    into burst."""

    def overbook():
        time.sleep(SILENCE_MS / 1000 + BURST_AFTER_SECONDS)
        with busy_cores(session, BURST_LOOPS_PER_CORE):
            burst.append(time.time())
            time.sleep(BURST_SECONDS)
        burst.append(time.time())

    thread = threading.Thread(target=overbook)
    thread.start()
    try:
        return played_sequence(build, session, [f"{HIT}:{BURST_HIT_MS}"] * BURST_HITS)
    finally:
        thread.join()


def recorded_delays(samples, recorder, keys):
    """Delays in ms from each key to the hit sound it started in the recording, or None."""
    heard = audio_analysis.heard_sounds(samples, SAMPLE_RATE, window.facts()["sounds"])
    onsets = [onset for onset, name, _hz in heard if name == HIT]
    delays = delays_after([recorder.seconds_into(key) for key in keys], onsets,
                          RECORDED_SEARCH_SECONDS, audio_analysis.ONSET_EARLY_SECONDS)
    return [None if d is None else d * 1000 for d in delays]


def burst_row(dated, keys, delays, burst):
    """Key to sound from a second after the burst on, against before it, during it and in the
    second after it; the goal is the latency before it, every hit heard."""
    start, end = burst
    phases = {"before": [], "during": [], "first second after": [], "after": []}
    for key, delay in zip(keys, delays):
        phase = ("before" if key < start else "during" if key < end else
                 "first second after" if key < end + 1 else "after")
        phases[phase].append(delay)

    def cell(found):
        heard = [d for d in found if d is not None]
        unheard = f", {len(found) - len(heard)} never heard" if len(heard) < len(found) else ""
        return f"median {median(heard):.1f}, p99 {percentile(heard, 0.99):.1f} ms{unheard}"

    before = median([d for d in phases["before"] if d is not None])
    after = phases["after"]
    return Row(f"Key to the first sample of the hit sound, {dated}, from a second after "
               f"{BURST_SECONDS} s of every core overbooked ({BURST_LOOPS_PER_CORE} busy loops a "
               "core)", cell(after), "; ".join(f"{phase}: {cell(found)}" for phase, found
                                               in phases.items() if phase != "after"),
               "median <= before's + 2 ms, all heard",
               None not in after and median(after) <= before + 2)


def burst_rows(build):
    """The burst dated by the pipe sink, then recorded from each sound server installed."""
    burst = []
    keys, delays = key_to_sound(lambda session: keys_around_burst(build, session, burst))
    rows = [burst_row("dated by the sink", keys, delays, burst)]
    for kind, programs in SOUND_SERVERS.items():
        if all(shutil.which(program) for program in programs):
            burst = []
            with session_with(kind) as session:
                recorder = Recorder(session)
                keys = keys_around_burst(build, session, burst)
                samples = recorder.stop()
            rows.append(burst_row(f"recorded from {kind}", keys,
                                  recorded_delays(samples, recorder, keys), burst))
    return rows


def latency_rows(build):
    rows = []
    after_silence = f"play() to the first sample, after {SILENCE_MS / 1000:g} s of silence"
    for what, play in (("Key to the first sample of the hit sound, dated by the sink",
                        lambda session: round_keys(build, session)),
                       (after_silence, lambda session: keys_after_silence(build, session)),
                       (after_silence + ", both cores busy",
                        lambda session: keys_after_silence(build, session, busy=True))):
        _, delays = key_to_sound(play)
        heard = [d for d in delays if d is not None]
        rows.append(Row(what, spread(heard, digits=1) if heard else "none heard",
                        f"{len(delays) - len(heard)} never heard", "median <= 6, p99 <= 12 ms",
                        len(heard) == len(delays) and median(heard) <= 6
                        and percentile(heard, 0.99) <= 12))
    return rows


if __name__ == "__main__":
    # Run alone: bench/sound_server_figures.py BUILD [cost|latency|burst...]: the figures of this
    # file only.
    from figures import table
    chosen = sys.argv[2:] or ["cost", "latency", "burst"]
    print(table((cost_rows(sys.argv[1]) if "cost" in chosen else [])
                + (latency_rows(sys.argv[1]) if "latency" in chosen else [])
                + (burst_rows(sys.argv[1]) if "burst" in chosen else [])))
