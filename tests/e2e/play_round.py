"""Plays the first seconds of a round of the built game the way a player does, in a private
desktop session: clicks "NEW GAME", types a long run of targets quickly, types one wrong
letter and lets one target fall to a miss. Checks the screen after each step and, from a
recording of what the game played, that every sound was heard when it should be.
"""
import time
import unittest

import audio_analysis
import window
from session import Session, poll
from window import SHOWN_WITHIN_SECONDS
from sound_server import SAMPLE_RATE, Recorder

QUICK_HITS = 20
HIT_INTERVAL_SECONDS = 0.15
HEARD_WITHIN_SECONDS = 0.3
# A miss comes 18 fall ticks of 200 ms after the target appears, the respawn 500 ms later.
MISS_WITHIN_SECONDS = 5.0
RESPAWN_SECONDS = 0.5
BOING_SECONDS = 0.4  # how long the respawn's sound lasts

CLIENT_WIDTH, CLIENT_HEIGHT = 657, 337
TARGET_WIDTH = 50  # the widest 48-point letter, in pixels
WHITE = window.colour("target")
RED = window.colour("missed")


def coloured_in_field(image, colour):
    return image.crop(*window.play_field()).points(colour)


def in_column(points, left):
    return bool(points) and all(left - 2 <= x <= left + TARGET_WIDTH for x, _ in points)


def shown(game, condition):
    """The client area as it is now, if the condition holds for it."""
    image = game.pixels()
    return image if condition(image) else None


def counter(image, name):
    return image.crop(*window.area(name, 2)).rows


class PlayRound(unittest.TestCase):
    def expect(self, condition, what):
        """A check after which the round goes on, passed or failed."""
        with self.subTest(what):
            self.assertTrue(condition)

    def test_a_round_looks_and_sounds_as_played(self):
        sequence = window.facts()["targets"][:QUICK_HITS + 2]
        expected = []
        session = self.enterContext(Session(sound_server=True))
        recorder = Recorder(session)
        game = window.Game(session)
        self.expect((game.width, game.height) == (CLIENT_WIDTH, CLIENT_HEIGHT),
                    f"client area {game.width} x {game.height}")
        game.move_pointer_away()
        idle = game.first_frame()
        self.expect(not coloured_in_field(idle, WHITE), "no target before the first game")

        game.press("lblNew")
        first = poll(lambda: shown(game, lambda image: coloured_in_field(image, WHITE)),
                     SHOWN_WITHIN_SECONDS) or game.pixels()
        letter, left = sequence[0]
        self.expect(in_column(coloured_in_field(first, WHITE), left),
                    f"first target {letter!r} shows in its column at x = {left:.0f}")

        # Each key a hit interval after the one before was sent: a test held up by a busy
        # machine sends its keys later, never closer together than a player would.
        next_hit = time.time()
        for letter, _ in sequence[:QUICK_HITS]:
            time.sleep(max(0.0, next_hit - time.time()))
            sent = game.key(letter)
            expected.append((sent, "shooted.wav", HEARD_WITHIN_SECONDS, "key"))
            next_hit = sent + HIT_INTERVAL_SECONDS
        letter, left = sequence[QUICK_HITS]
        after_hits = poll(lambda: shown(game, lambda image: in_column(
            coloured_in_field(image, WHITE), left)), SHOWN_WITHIN_SECONDS) or game.pixels()
        self.expect(counter(after_hits, "lblShooted") != counter(first, "lblShooted"),
                    f"hit counter changed after {QUICK_HITS} hits")
        self.expect(in_column(coloured_in_field(after_hits, WHITE), left),
                    f"target {QUICK_HITS + 1} {letter!r} shows in its column at x = {left:.0f}")

        wrong = "z" if letter != "z" else "y"
        expected.append((game.key(wrong), "wrong.wav", HEARD_WITHIN_SECONDS, "key"))

        # The target stays red for half a second only: the look at the ground is kept small, so
        # that it is quick even on a loaded machine.
        deadline = time.time() + MISS_WITHIN_SECONDS
        missed = None
        while time.time() < deadline and not missed:
            seen = time.time()
            missed = game.pixels(*window.ground()).points(RED)
        self.expect(bool(missed), "the target turned red at the bottom")
        if missed:
            self.expect(in_column(missed, left), "the red target is in its column")
            image = game.pixels()
            # The wrong key, sent seconds before, has long been handled.
            self.expect(counter(image, "lblShooted") == counter(after_hits, "lblShooted"),
                        f"a wrong {wrong!r} scored no hit")
            self.expect(counter(image, "lblMissed") != counter(first, "lblMissed"),
                        "miss counter changed")
            expected.append((seen, "boing.wav",
                             RESPAWN_SECONDS + HEARD_WITHIN_SECONDS, "miss seen"))
            letter, left = sequence[QUICK_HITS + 1]
            respawned = poll(lambda: shown(game, lambda image: in_column(
                coloured_in_field(image, WHITE), left)),
                RESPAWN_SECONDS + SHOWN_WITHIN_SECONDS) or game.pixels()
            self.expect(not coloured_in_field(respawned, RED), "the red target is gone")
            self.expect(in_column(coloured_in_field(respawned, WHITE), left),
                        f"the next target {letter!r} shows in its column at x = {left:.0f}")
            recorder.wait_until_recorded(seen + RESPAWN_SECONDS + HEARD_WITHIN_SECONDS +
                                         BOING_SECONDS, 10)
        samples = recorder.stop()
        # Each sound is dated in the recording once it has been recorded well past it.
        expected = [(recorder.seconds_into(when), *rest) for when, *rest in expected]
        heard = audio_analysis.heard_sounds(samples, SAMPLE_RATE, window.facts()["sounds"])
        sounds_ok = audio_analysis.report(audio_analysis.match_expected(expected, heard), heard)
        self.expect(sounds_ok, "every sound heard when it should be, and nothing else")
        self.expect(game.process.poll() is None, "the game is still running")
