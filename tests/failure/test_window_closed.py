"""Closing the window ends the game cleanly, with status 0, whatever it is doing: in the middle
of a round, of the pause after a miss, of a sound."""
import unittest

import player
from desktop import SOUND_SECONDS, Desktop, run_tests, wait_for
from game_under_test import PROGRAM


class WindowClosed(unittest.TestCase):
    def setUp(self):
        self.desktop = self.enterContext(Desktop())
        self.game = self.desktop.launch(PROGRAM)

    def assertEndsCleanly(self):
        self.assertEqual(self.game.wait(), 0, self.game.stderr())
        self.assertEqual(self.game.stderr(), "")
        self.assertEqual(self.game.written_files(), [])

    def test_closed_while_a_target_falls(self):
        player.press(self.game, player.NEW_GAME)
        wait_for(lambda: player.shows(self.game, player.FALLING_TARGET),
                 player.SHOWN_WITHIN_SECONDS, "a falling target")
        self.game.close_window()
        self.assertEndsCleanly()

    def test_closed_while_a_missed_target_waits_for_its_respawn(self):
        player.press(self.game, player.NEW_GAME)
        # The respawn comes half a second after the target turns red.
        wait_for(lambda: player.shows(self.game, player.MISSED_TARGET, player.GROUND),
                 player.NORMAL_FALL_SECONDS + player.SHOWN_WITHIN_SECONDS, "a missed target")
        self.assertEqual(self.desktop.sound_server.playing_streams(), 0,
                         "the respawn has come already")
        self.game.close_window()
        self.assertEndsCleanly()

    def test_closed_while_a_sound_plays(self):
        player.type_until_heard(self.game, SOUND_SECONDS, "the error sound to play")
        self.game.close_window()
        self.assertEndsCleanly()

    def test_quit_while_a_sound_plays(self):
        player.press(self.game, player.NEW_GAME)
        player.type_until_heard(self.game, SOUND_SECONDS, "the error sound to play")
        player.press(self.game, player.QUIT)
        self.assertEndsCleanly()


if __name__ == "__main__":
    run_tests()
