"""Closing the window ends the game cleanly, with status 0, whatever it is doing: in the middle
of a round, of the pause after a miss, of a sound."""
import unittest

import player
import window
from session import Session, wait_for


class WindowClosed(unittest.TestCase):
    def setUp(self):
        self.session = self.enterContext(Session(sound_server=True))
        self.game = window.Game(self.session, traced=True)

    def assertEndsCleanly(self):
        self.assertEqual(self.game.wait(), 0, self.game.stderr())
        self.assertEqual(self.game.stderr(), "")
        self.assertEqual(self.game.written_files(), [])

    def test_closed_while_a_target_falls(self):
        self.game.press("lblNew")
        wait_for(lambda: self.game.shows(window.colour("target")),
                 window.SHOWN_WITHIN_SECONDS, "a falling target")
        self.game.close_window()
        self.assertEndsCleanly()

    def test_closed_while_a_missed_target_waits_for_its_respawn(self):
        self.game.press("lblNew")
        # The respawn comes half a second after the target turns red.
        wait_for(lambda: self.game.shows(window.colour("missed"), window.ground()),
                 player.NORMAL_FALL_SECONDS + window.SHOWN_WITHIN_SECONDS, "a missed target")
        self.assertEqual(self.session.sound_server.playing_streams(), 0,
                         "the respawn has come already")
        self.game.close_window()
        self.assertEndsCleanly()

    def test_closed_while_a_sound_plays(self):
        player.type_until_heard(self.game, window.SOUND_SECONDS, "the error sound to play")
        self.game.close_window()
        self.assertEndsCleanly()

    def test_quit_while_a_sound_plays(self):
        self.game.press("lblNew")
        player.type_until_heard(self.game, window.SOUND_SECONDS, "the error sound to play")
        self.game.press("lblQuit")
        self.assertEndsCleanly()
