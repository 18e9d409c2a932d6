"""Under the leak sanitizer, a run of the game that starts, plays a whole round with every sound
and is closed while the last sound plays leaks nothing and shows no memory error."""
import os
import unittest

import player
from session import Session, wait_for
from window import SOUND_SECONDS, Game

SUPPRESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "leak_suppressions.txt")


class NoLeak(unittest.TestCase):
    def test_round_then_close(self):
        with Session(sound_server=True) as session:
            # The sanitizer stops the program's threads to look for leaks, which it cannot do
            # under strace.
            game = Game(session, ASAN_OPTIONS="detect_leaks=1:abort_on_error=0",
                        LSAN_OPTIONS=f"suppressions={SUPPRESSIONS}:print_suppressions=0")
            player.play_round_with_every_sound(game)
            wait_for(session.sound_server.playing_streams, SOUND_SECONDS, "the end sound to play")
            game.close_window()
            status = game.wait()
            self.assertNotIn("Sanitizer", game.stderr())
            self.assertEqual(status, 0, game.stderr())
