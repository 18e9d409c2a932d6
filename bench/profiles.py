#!/usr/bin/env python3
"""Where the game's play and memory go, next to the yardsticks that do the same work the least
costly way. Prints two Markdown tables, as kept in BENCHMARKS.md:

- instructions (callgrind) over the same stretch of play as the benchmark's processor time: from
  just after the first hit to just after the last of a 20 s round at "Speed", a hit a second; the
  game against the playing yardstick, by the functions that do each part of the work;
- resident memory at the peak (/proc/PID/smaps), grouped by what the mappings hold: the game over
  the same round against the memory yardstick.

Instructions repeat from run to run on a busy machine, where times do not. callgrind counts the
program's own instructions only, not the kernel's work in its system calls.

Usage (through scripts/bench's set-up, which finds the harness): profiles.py BUILD_DIRECTORY
[KEEP_DIRECTORY] [--game=PROGRAM]. The callgrind dumps and the peak's smaps are kept in
KEEP_DIRECTORY for a closer look; --game profiles a game built elsewhere (its sound files beside
it), such as one from before a change.
"""
import os
import re
import subprocess
import sys
import threading
import time

ROUND = ("20", "1000")
SAMPLE_SECONDS = 0.02
# The rows of the instruction profile: the inclusive count of a function that does that part of
# the work in both programs. None of them runs inside another; the rest is the event loop, the
# reading of X events and the other threads.
PAINT = "QWidgetPrivate::drawWidget"
PAINT_AND_FLUSH = "QWidgetRepaintManager::paintAndFlush"
INSTRUCTION_ROWS = [
    ("Painting the changed areas into the back buffer (paint events)", PAINT),
    ("Flushing them to the X server, and the repaint's own bookkeeping", None),
    ("Timers: the fall and clock ticks, up to the repaint they ask for",
     "QTimerInfoList::activateTimers"),
    ("Keys: each key into the input box and the hit it makes, up to the repaint",
     "QGuiApplicationPrivate::processKeyEvent"),
    ("Sound thread: libpulse's main loop and what it calls", "pa_mainloop_run"),
]
OWN_FUNCTIONS = 8
LIBRARY_GROUPS = [
    ("Qt's libraries", r"/libQt6"),
    ("Qt's plugins (platform, image formats, input)", r"/qt6/plugins/"),
    ("Sound library: libpulse and what it brings", r"/lib(pulse|sndfile|FLAC|vorbis|ogg|opus|"
                                                     r"mpg123|mp3lame|asyncns|X11-xcb)"),
    ("Fonts and their caches", r"\.(ttf|otf|pfb|cache-\d+)$|/fontconfig/"),
    ("Other libraries", r"\.so[.\d]*$"),
    ("The program itself", None),
    ("Heap and anonymous memory (malloc arenas, thread stacks)", r"^$|\[heap\]|\[stack|\[anon"),
    ("Shared memory with the X server (the back buffer)", r"SYSV|memfd|/dev/shm"),
]


def log(message):
    print(message, file=sys.stderr, flush=True)


def child_of(pid):
    """The first child of the process, once it has one."""
    path = f"/proc/{pid}/task/{pid}/children"
    while True:
        with open(path) as f:
            children = f.read().split()
        if children:
            return int(children[0])
        time.sleep(0.005)


def driver(build, env, measure, command, on_line=None, on_child=None):
    process = subprocess.Popen([os.path.join(build, "bench", "bench_driver"), *measure, "--",
                                *command], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    if on_child:
        on_child(child_of(process.pid))
    errors = []
    for line in process.stderr:
        errors.append(line)
        if on_line:
            on_line(line.split())
    out = process.stdout.read()
    if process.wait() != 0:
        sys.exit(f"bench_driver {' '.join(measure)} failed:\n{''.join(errors)}")
    return out


def play_measure(name):
    return (["round", *ROUND] if name == "game"
            else ["yardstick", *ROUND, "9,5,208040"])


def callgrind(build, env, name, command, out_prefix):
    """The dump of a callgrind run over the stretch of play the benchmark measures."""
    out = f"{out_prefix}.{name}"
    valgrind = ["valgrind", "--tool=callgrind", "--instr-atstart=no",
                f"--callgrind-out-file={out}"]

    def on_line(words):
        if words[:1] == ["played"]:
            switch = ["-i", "on"] if words[1] == "from" else ["-d"]
            subprocess.run(["callgrind_control", *switch, words[2]], capture_output=True,
                           check=True)

    driver(build, env, play_measure(name), valgrind + command, on_line=on_line)
    dumps = sorted(f for f in os.listdir(os.path.dirname(out))
                   if f.startswith(os.path.basename(out) + "."))
    return os.path.join(os.path.dirname(out), dumps[0])


def inclusive(dump):
    done = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--threshold=100", dump],
                          capture_output=True, text=True, check=True)
    return parse_annotation(done.stdout)


def parse_annotation(text):
    """{function: (inclusive instructions, object file)} and the total, from the listing of
    `callgrind_annotate --inclusive=yes`. A recursive call, which it lists apart, is already
    counted in the first."""
    counts, total = {}, 0
    for line in text.splitlines():
        match = re.match(r"\s*([\d,]+) \([^)]*\)\s+[^:\s]*:(.*?)(?: \[(.*)\])?$", line)
        if match and not re.search(r"'\d+$", match.group(2)):
            counts[match.group(2)] = (int(match.group(1).replace(",", "")), match.group(3))
        elif "PROGRAM TOTALS" in line:
            total = int(line.split()[0].replace(",", ""))
    return counts, total


def short_name(function):
    """The function's name without its arguments."""
    return function.replace("(anonymous namespace)::", "").split("(")[0]


def count_of(counts, name):
    """The inclusive count of the function of that name, whatever its arguments."""
    return sum(c for f, (c, _) in counts.items() if short_name(f) == name)


def instruction_rows(counts, total):
    rows = []
    for label, name in INSTRUCTION_ROWS:
        rows.append((label, count_of(counts, name) if name else
                     count_of(counts, PAINT_AND_FLUSH) - count_of(counts, PAINT)))
    rows.append(("The rest: the event loop, X events, other threads",
                 total - sum(c for _, c in rows)))
    return rows


def own_functions(counts, program):
    """The program's own functions that cost the most, inclusive, leaving out the wrappers of
    Qt's slots and of the standard library."""
    own = [(c, short_name(f)) for f, (c, obj) in counts.items()
           if obj == program and not f.startswith(("QtPrivate::", "std::"))]
    return sorted(own, reverse=True)[:OWN_FUNCTIONS]


def smaps_peak(pid, stop):
    """The mappings of the highest resident reading of the process until `stop` is set."""
    best, best_rss = [], 0
    while not stop.is_set():
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                rss = int(re.search(r"^Rss:\s+(\d+)", f.read(), re.M).group(1))
            if rss > best_rss:
                with open(f"/proc/{pid}/smaps") as f:
                    best, best_rss = f.read(), rss
        except (OSError, AttributeError):
            break
        time.sleep(SAMPLE_SECONDS)
    return best


def grouped(smaps, program):
    groups = {label: 0 for label, _ in LIBRARY_GROUPS}
    name = ""
    for line in smaps.splitlines():
        head = re.match(r"[0-9a-f]+-[0-9a-f]+ \S+ \S+ \S+ \S+\s*(.*)$", line)
        if head:
            name = head.group(1)
        elif line.startswith("Rss:"):
            kib = int(line.split()[1])
            for label, pattern in LIBRARY_GROUPS:
                if (name == program if pattern is None else re.search(pattern, name)):
                    groups[label] += kib
                    break
    return groups


def memory(build, env, name, command, measure, keep):
    stop, found = threading.Event(), {}

    def on_child(pid):
        def sample():
            found["smaps"] = smaps_peak(pid, stop)
        found["thread"] = threading.Thread(target=sample)
        found["thread"].start()

    driver(build, env, measure, command, on_child=on_child)
    stop.set()
    found["thread"].join()
    with open(os.path.join(keep, f"smaps.{name}"), "w") as f:
        f.write(found["smaps"])
    return grouped(found["smaps"], os.path.realpath(command[0]))


def markdown(headings, rows):
    lines = ["| " + " | ".join(headings) + " |", "|---|" + "---:|" * (len(headings) - 1)]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def main():
    from run_benchmarks import memory_yardstick
    from session import Session

    options = [a for a in sys.argv[1:] if a.startswith("--game=")]
    places = [a for a in sys.argv[1:] if a not in options]
    build = os.path.abspath(places[0])
    keep = places[1] if len(places) > 1 else None
    clip = os.path.join(build, "shooted.wav")
    game = [os.path.abspath(options[-1][len("--game="):]) if options
            else os.path.join(build, "keyfall")]
    play_yardstick = [os.path.join(build, "bench", "bench_play_yardstick"), clip]
    with Session(sound_server=True) as session:
        env = session.env
        keep = keep or session.path("profiles")
        os.makedirs(keep, exist_ok=True)
        log("instructions: a round of the game and of the playing yardstick under callgrind")
        profiles = {}
        for name, command in (("game", game), ("yardstick", play_yardstick)):
            profiles[name] = inclusive(callgrind(build, env, name, command,
                                                 os.path.join(keep, "callgrind")))
        log("memory: the game's round and the memory yardstick, smaps at the peak")
        game_memory = memory(build, env, "game", game, play_measure("game"), keep)
        held_memory = memory(build, env, "yardstick", memory_yardstick(build),
                             ["holding", "300,200,208040", "300,200,204080"], keep)
    (game_counts, game_total), (stick_counts, stick_total) = profiles["game"], profiles["yardstick"]
    rows = [(label, f"{g / 1e6:.1f}", f"{y / 1e6:.1f}") for (label, g), (_, y) in
            zip(instruction_rows(game_counts, game_total),
                instruction_rows(stick_counts, stick_total))]
    rows.append(("**All threads, and ratio**", f"**{game_total / 1e6:.1f}, "
                 f"{game_total / stick_total:.2f}x**", f"**{stick_total / 1e6:.1f}**"))
    print(markdown(("Million instructions over the measured play", "Game", "Playing yardstick"),
                   rows))
    print()
    for name, counts, command in (("game", game_counts, game),
                                  ("playing yardstick", stick_counts, play_yardstick)):
        rows = [(f"`{f}`", f"{c / 1e6:.2f}") for c, f in
                own_functions(counts, os.path.realpath(command[0]))]
        print(markdown((f"The {name}'s own functions, inclusive", "Million instructions"), rows))
        print()
    rows = [(label, f"{game_memory[label]:,}", f"{held_memory[label]:,}")
            for label, _ in LIBRARY_GROUPS]
    game_sum, held_sum = sum(game_memory.values()), sum(held_memory.values())
    rows.append(("**Total, and ratio**", f"**{game_sum:,}, {game_sum / held_sum:.2f}x**",
                 f"**{held_sum:,}**"))
    print(markdown(("Resident KiB at the peak", "Game", "Memory yardstick"), rows))


if __name__ == "__main__":
    main()
