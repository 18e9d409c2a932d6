"""`cmake --install` lays out the program with its sounds, the desktop entry, the icons and the
metainfo, the installed command runs and finds its sounds, and its uninstaller leaves the home
folder as it was."""
import os
import subprocess
import tempfile
import unittest

from installed_tree import SOUND_DIR, InstalledTree


def everything_under(folder):
    return sorted(os.path.join(parent, name) for parent, folders, files in os.walk(folder)
                  for name in folders + files)


class CMakeInstall(unittest.TestCase):
    def test_install_into_a_home_then_uninstall(self):
        with tempfile.TemporaryDirectory() as home:
            prefix = os.path.join(home, ".local")
            # Folders that were there before stay: the user's own programs, and an empty one.
            os.makedirs(os.path.join(prefix, "bin"))
            os.makedirs(os.path.join(prefix, "share", "applications"))
            open(os.path.join(prefix, "bin", "other-program"), "w").close()
            before = everything_under(home)
            # An install over an earlier one, as an upgrade does, with the prefix relative.
            for named_prefix in (prefix, ".local"):
                subprocess.run(["cmake", "--install", os.environ["KEYFALL_BUILD_DIR"],
                                "--prefix", named_prefix], cwd=home, check=True,
                               capture_output=True)
            tree = InstalledTree(self, prefix)
            tree.check_all()
            tree.check_command_finds_its_sounds()
            subprocess.run([os.path.join(prefix, SOUND_DIR, "uninstall")], check=True)
            self.assertEqual(everything_under(home), before)
