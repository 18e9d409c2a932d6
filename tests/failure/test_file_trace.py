"""The file-write check tells the game's writes from those the system makes for it."""
import os
import tempfile
import unittest

import file_trace

HOME = "/home/player"
SYSTEM_WRITES = (
    'mkdir("/home/player/.cache", 0700) = 0',
    'mkdir("/home/player/.cache/fontconfig", 0700) = 0',
    'openat(AT_FDCWD, "/home/player/.cache/fontconfig/a.cache-8.TMP-x", O_RDWR|O_CREAT) = 5',
    'rename("/var/cache/fontconfig/b.cache-8.TMP-y", "/var/cache/fontconfig/b.cache-8") = 0',
    'mkdir("/home/player/.config", 0700) = 0',
    'mkdir("/home/player/.config/pulse", 0700) = 0',
    'openat(AT_FDCWD, "/home/player/.config/pulse/cookie", O_RDWR|O_CREAT, 0600) = 13',
    'openat(AT_FDCWD, "/dev/null", O_RDWR) = 3',
)
GAME_WRITES = (
    'openat(AT_FDCWD, "/home/player/.config/pulse/client.conf", O_WRONLY|O_CREAT, 0644) = 6',
    'mkdir("/home/player/.config/keyfall", 0700) = 0',
    'openat(AT_FDCWD, "/home/player/.cache/keyfall.log", O_WRONLY|O_CREAT, 0644) = 7',
    'openat(AT_FDCWD, "/var/cache/fontconfig-not/x", O_WRONLY|O_CREAT, 0644) = 8',
    'unlink("/home/player/scores.txt") = 0',
)


class FileTrace(unittest.TestCase):
    def written(self, lines):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "trace.1"), "w", encoding="utf-8") as log:
                log.write("\n".join(lines) + "\n")
            return file_trace.files_written(os.path.join(folder, "trace"), HOME)

    def test_only_the_games_own_writes_are_reported(self):
        self.assertEqual(self.written(SYSTEM_WRITES + GAME_WRITES),
                         ["/home/player/.config/pulse/client.conf", "/home/player/.config/keyfall",
                          "/home/player/.cache/keyfall.log", "/var/cache/fontconfig-not/x",
                          "/home/player/scores.txt"])
