"""`cmake --install` lays out the program with its sounds, the command, the desktop entry, the
icons and the metainfo, and the installed command runs and finds its sounds."""
import os
import subprocess
import tempfile
import unittest

from installed_tree import InstalledTree


class CMakeInstall(unittest.TestCase):
    def test_install_into_a_prefix(self):
        with tempfile.TemporaryDirectory() as scratch:
            prefix = os.path.join(scratch, "home", ".local")
            subprocess.run(["cmake", "--install", os.environ["KEYFALL_BUILD_DIR"],
                            "--prefix", prefix], check=True, capture_output=True)
            tree = InstalledTree(self, prefix)
            tree.check_all()
            tree.check_command_finds_its_sounds()


if __name__ == "__main__":
    unittest.main()
