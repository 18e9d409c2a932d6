"""The game finds its sounds beside it wherever it lies, in a folder whose name has spaces and
letters beyond ASCII, with no locale set."""
import os
import unittest

import player
import window
from session import Session
from sound_server import run_tests

FOLDER = "Spiel mit Ümlauten ü"


class UnusualFolder(unittest.TestCase):
    def test_sounds_found_and_played_from_folder_with_spaces_and_umlauts(self):
        with Session(sound_server=True) as session:
            folder = os.path.join(session.dir, "x", FOLDER)
            game = window.Game(session, window.copy_program(folder), traced=True)
            player.type_until_heard(game, window.SOUND_SECONDS, "the error sound to play")
            game.close_window()
            self.assertEqual(game.wait(), 0, game.stderr())
            self.assertEqual(game.stderr(), "")
            read = game.files_read()
            unread = [name for name in window.sound_files()
                      if os.path.join(folder, name) not in read]
            self.assertEqual(unread, [], "sounds not read from " + folder)
            self.assertEqual(game.written_files(), [])


if __name__ == "__main__":
    run_tests()
