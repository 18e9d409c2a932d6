"""CPack builds a .deb with the program's dependencies that Debian's checker passes, its program
hardened as Debian hardens its own; unpacked into a scratch root, it holds the installed tree in
Debian's layout for games, and its command runs and finds its sounds."""
import glob
import os
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

from installed_tree import APP_ID, InstalledTree


def field(package, name):
    return subprocess.run(["dpkg-deb", "--field", package, name], check=True,
                          capture_output=True, text=True).stdout.strip()


def package_names(relations):
    """The package names of a Depends or Recommends field, alternatives included."""
    return {choice.split()[0] for relation in relations.split(",")
            for choice in relation.split("|")}


def not_for_this_machine():
    """The options of hardening-check that leave out what this machine's processors lack: branch
    protection is arm64's (the checker of Debian 13 looks for it everywhere, that of Debian 12
    nowhere, and knows no such option)."""
    usage = subprocess.run(["hardening-check", "--help"], capture_output=True, text=True).stdout
    arm64 = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                           text=True).stdout.strip() == "arm64"
    return ["--nobranchprotection"] if "--nobranchprotection" in usage and not arm64 else []


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        build = os.environ["KEYFALL_BUILD_DIR"]
        subprocess.run(["cpack", "-G", "DEB", "-B", cls.scratch.name,
                        "--config", os.path.join(build, "CPackConfig.cmake")],
                       check=True, capture_output=True)
        (cls.package,) = glob.glob(os.path.join(cls.scratch.name, "keyfall_*.deb"))
        cls.root = os.path.join(cls.scratch.name, "root")
        subprocess.run(["dpkg-deb", "-x", cls.package, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_depends_on_the_libraries_and_fonts(self):
        depends = package_names(field(self.package, "Depends"))
        for needed in ("libqt6widgets6", "libpulse0", "fonts-liberation", "fonts-comic-neue"):
            self.assertIn(needed, depends)
        self.assertNotIn("libqt6multimedia6", depends)

    def test_recommends_a_sound_server_and_the_wayland_platform(self):
        recommends = package_names(field(self.package, "Recommends"))
        self.assertIn("pulseaudio", recommends)
        self.assertIn("qt6-wayland", recommends)

    def test_description_lines_fit_a_terminal(self):
        description = field(self.package, "Description").splitlines()
        self.assertGreater(len(description), 1)
        for line in description:
            self.assertLessEqual(len(line), 80, line)

    def test_homepage_is_the_metainfo_homepage(self):
        metainfo = os.path.join(self.root, "usr", "share", "metainfo", APP_ID + ".metainfo.xml")
        homepage = ElementTree.parse(metainfo).getroot().findtext("url[@type='homepage']")
        self.assertEqual(field(self.package, "Homepage"), homepage)

    def test_lintian_finds_no_error_warning_or_information(self):
        result = subprocess.run(["lintian", "--allow-root", "--info", "--fail-on",
                                 "error,warning,info", self.package], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertNotRegex(result.stdout, r"(?m)^[EWI]: ")

    def test_program_passes_every_hardening_check(self):
        result = subprocess.run(["hardening-check", *not_for_this_machine(),
                                 self.tree().path("games", "keyfall")],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_unpacked_tree(self):
        self.tree().check_all()

    def test_unpacked_command_in_games_finds_its_sounds(self):
        self.tree().check_command_finds_its_sounds()

    def tree(self):
        return InstalledTree(self, os.path.join(self.root, "usr"), command_dir="games")


if __name__ == "__main__":
    unittest.main()
