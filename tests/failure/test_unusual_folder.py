"""The game finds its sounds beside it wherever it lies, in a folder whose name has spaces and
letters beyond ASCII, and says nothing, whatever the locale: none set, one not in UTF-8 or not
installed, as in a shell without a desktop, or the desktop's own in UTF-8; nor where no runtime
folder is named, as after su, when it names one of the user's own."""
import os
import unittest

import player
import window
from session import Session

FOLDER = "Spiel mit Ümlauten ü"
LOCALES = ({"LANG": ""}, {"LANG": "C.UTF-8", "LC_ALL": "C"}, {"LANG": "POSIX"},
           {"LANG": "C.UTF-8"}, {"LANG": "xx_YY.UTF-8"}, {"LANG": "", "XDG_RUNTIME_DIR": ""})


class UnusualFolder(unittest.TestCase):
    def test_sounds_found_and_played_from_folder_with_spaces_and_umlauts(self):
        for locale in LOCALES:
            with self.subTest(**locale):
                self.check_sounds_found_and_played(locale)

    def check_sounds_found_and_played(self, locale):
        with Session(sound_server=True) as session:
            folder = os.path.join(session.dir, "x", FOLDER)
            game = window.Game(session, window.copy_program(folder), traced=True,
                               TMPDIR=session.dir, **locale)
            player.type_until_heard(game, window.SOUND_SECONDS, "the error sound to play")
            game.close_window()
            self.assertEqual(game.wait(), 0, game.stderr())
            self.assertEqual(game.stderr(), "")
            read = game.files_read()
            unread = [name for name in window.sound_files()
                      if os.path.join(folder, name) not in read]
            self.assertEqual(unread, [], "sounds not read from " + folder)
            runtime = (os.path.join(session.dir, "runtime-"), "/run/user/")
            self.assertEqual([p for p in game.written_files() if not p.startswith(runtime)], [])
