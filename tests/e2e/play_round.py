#!/usr/bin/env python3
"""Plays the first seconds of a round of the built game the way a player does, on a private X
server and sound server: clicks "NEW GAME", types a long run of targets quickly, types one wrong
letter and lets one target fall to a miss. Checks the screen after each step and, from a
recording of what the game played, that every sound was heard when it should be.

Usage: play_round.py KEYFALL_PROGRAM SOUND_SIGNATURES_HEADER
"""
import os
import struct
import sys
import time

import audio_analysis
from game_window import CLIENT_HEIGHT, CLIENT_WIDTH, MISSED_COUNT, SHOOTED_COUNT, GameWindow
from sandbox import SAMPLE_RATE, Recorder, Sandbox, poll, start_sound_server, start_xvfb

QUICK_HITS = 20
HIT_INTERVAL_SECONDS = 0.15
HEARD_WITHIN_SECONDS = 0.3
# A miss comes 18 fall ticks of 200 ms after the target appears, the respawn 500 ms later.
MISS_WITHIN_SECONDS = 5.0
RESPAWN_SECONDS = 0.5
# What the window shows in answer to a click or a key comes within a frame or two; this is a
# few times that on a loaded machine.
SHOWN_WITHIN_SECONDS = 1.0
BOING_SECONDS = 0.4  # how long the respawn's sound lasts

NEW_GAME = (432 + 35, 8 + 8)
FIELD_TOP, FIELD_BOTTOM = 33, 320  # between the status bar and the input box
BOTTOM_LINE = 264  # a target at 3960 twips has missed
GROUND = (0, BOTTOM_LINE, CLIENT_WIDTH, FIELD_BOTTOM - BOTTOM_LINE)  # where it turns red
TARGET_WIDTH = 50  # the widest 48-point letter, in pixels
WHITE, RED = (255, 255, 255), (255, 0, 0)
TWIPS_PER_PIXEL = 15


def single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def targets(count):
    """(letter, left edge in pixels) of the first targets at level 1 in mixed case: the game's
    24-bit generator, four draws a target (column, then three letters of which the first shows)."""
    state = 327680

    def draw():
        nonlocal state
        state = (state * 1140671485 + 12820163) % 2 ** 24
        return state / 2 ** 24

    result = []
    for _ in range(count):
        column = single(draw() * 8500)
        if column > 8000:
            column = 5000
        elif 55 < column < 500:
            column -= 50
        index = int(single(draw() * 52)) + 1
        draw(), draw()
        letter = chr(ord("A") + index - 1) if index <= 26 else chr(ord("a") + index - 27)
        result.append((letter, column / TWIPS_PER_PIXEL))
    return result


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, condition, what):
        print(f"  {'ok  ' if condition else 'FAIL'} {what}")
        if not condition:
            self.failures.append(what)


def coloured_in_field(image, colour):
    return image.crop(0, FIELD_TOP, CLIENT_WIDTH, FIELD_BOTTOM - FIELD_TOP).points(colour)


def in_column(points, left):
    return bool(points) and all(left - 2 <= x <= left + TARGET_WIDTH for x, _ in points)


def shown(window, condition):
    """The client area as it is now, if the condition holds for it."""
    image = window.grab()
    return image if condition(image) else None


def counter(image, box):
    return image.crop(*box).rows


def main():
    program, signatures_header = sys.argv[1:3]
    signatures = audio_analysis.read_signatures(signatures_header)
    sequence = targets(QUICK_HITS + 2)
    checks = Checks()
    expected = []
    with Sandbox() as sandbox:
        display, framebuffer = start_xvfb(sandbox)
        server = start_sound_server(sandbox).address
        recorder = Recorder(sandbox, server)
        game = sandbox.spawn([program], env=dict(os.environ, DISPLAY=display, PULSE_SERVER=server,
                                                 QT_QPA_PLATFORM="xcb"))
        window = GameWindow(display, framebuffer, game.pid)
        checks.expect((window.width, window.height) == (CLIENT_WIDTH, CLIENT_HEIGHT),
                      f"client area {window.width} x {window.height}")
        window.move_pointer_away()
        idle = window.first_frame()
        checks.expect(not coloured_in_field(idle, WHITE), "no target before the first game")

        window.click(*NEW_GAME)
        first = poll(lambda: shown(window, lambda image: coloured_in_field(image, WHITE)),
                     SHOWN_WITHIN_SECONDS) or window.grab()
        letter, left = sequence[0]
        checks.expect(in_column(coloured_in_field(first, WHITE), left),
                      f"first target {letter!r} shows in its column at x = {left:.0f}")

        # Each key a hit interval after the one before was sent: a test held up by a busy
        # machine sends its keys later, never closer together than a player would.
        next_hit = time.time()
        for letter, _ in sequence[:QUICK_HITS]:
            time.sleep(max(0.0, next_hit - time.time()))
            sent = window.key(letter)
            expected.append((sent, "shooted.wav", HEARD_WITHIN_SECONDS,
                             "key"))
            next_hit = sent + HIT_INTERVAL_SECONDS
        letter, left = sequence[QUICK_HITS]
        after_hits = poll(lambda: shown(window, lambda image: in_column(
            coloured_in_field(image, WHITE), left)), SHOWN_WITHIN_SECONDS) or window.grab()
        checks.expect(counter(after_hits, SHOOTED_COUNT) != counter(first, SHOOTED_COUNT),
                      f"hit counter changed after {QUICK_HITS} hits")
        checks.expect(in_column(coloured_in_field(after_hits, WHITE), left),
                      f"target {QUICK_HITS + 1} {letter!r} shows in its column at x = {left:.0f}")

        wrong = "z" if letter != "z" else "y"
        expected.append((window.key(wrong), "wrong.wav",
                         HEARD_WITHIN_SECONDS, "key"))

        # The target stays red for half a second only: the look at the ground is kept small, so
        # that it is quick even on a loaded machine.
        deadline = time.time() + MISS_WITHIN_SECONDS
        missed = None
        while time.time() < deadline and not missed:
            seen = time.time()
            missed = window.grab(*GROUND).points(RED)
        checks.expect(bool(missed), "the target turned red at the bottom")
        if missed:
            checks.expect(in_column(missed, left), "the red target is in its column")
            image = window.grab()
            # The wrong key, sent seconds before, has long been handled.
            checks.expect(counter(image, SHOOTED_COUNT) == counter(after_hits, SHOOTED_COUNT),
                          f"a wrong {wrong!r} scored no hit")
            checks.expect(counter(image, MISSED_COUNT) != counter(first, MISSED_COUNT),
                          "miss counter changed")
            expected.append((seen, "boing.wav",
                             RESPAWN_SECONDS + HEARD_WITHIN_SECONDS, "miss seen"))
            letter, left = sequence[QUICK_HITS + 1]
            respawned = poll(lambda: shown(window, lambda image: in_column(
                coloured_in_field(image, WHITE), left)),
                RESPAWN_SECONDS + SHOWN_WITHIN_SECONDS) or window.grab()
            checks.expect(not coloured_in_field(respawned, RED), "the red target is gone")
            checks.expect(in_column(coloured_in_field(respawned, WHITE), left),
                          f"the next target {letter!r} shows in its column at x = {left:.0f}")
            recorder.wait_until_recorded(seen + RESPAWN_SECONDS + HEARD_WITHIN_SECONDS +
                                         BOING_SECONDS, 10)
        samples = recorder.stop()
        # Each sound is dated in the recording once it has been recorded well past it.
        expected = [(recorder.seconds_into(when), *rest) for when, *rest in expected]
        heard = audio_analysis.heard_sounds(samples, SAMPLE_RATE, signatures)
        sounds_ok = audio_analysis.report(audio_analysis.match_expected(expected, heard), heard)
        checks.expect(sounds_ok, "every sound heard when it should be, and nothing else")
        checks.expect(game.poll() is None, "the game is still running")
    print(f"{len(checks.failures)} checks failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
