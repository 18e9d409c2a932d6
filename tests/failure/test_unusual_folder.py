"""The game finds its sounds beside it wherever it lies, in a folder whose name has spaces and
letters beyond ASCII, with no locale set."""
import os
import unittest

import player
from desktop import SOUND_FILES, SOUND_SECONDS, Desktop, run_tests
from game_under_test import copy_program

FOLDER = "Spiel mit Ümlauten ü"


class UnusualFolder(unittest.TestCase):
    def test_sounds_found_and_played_from_folder_with_spaces_and_umlauts(self):
        with Desktop() as desktop:
            folder = os.path.join(desktop.dir, "x", FOLDER)
            game = desktop.launch(copy_program(folder))
            player.type_until_heard(game, SOUND_SECONDS, "the error sound to play")
            game.close_window()
            self.assertEqual(game.wait(), 0, game.stderr())
            self.assertEqual(game.stderr(), "")
            read = game.files_read()
            unread = [name for name in SOUND_FILES if os.path.join(folder, name) not in read]
            self.assertEqual(unread, [], "sounds not read from " + folder)
            self.assertEqual(game.written_files(), [])


if __name__ == "__main__":
    run_tests()
