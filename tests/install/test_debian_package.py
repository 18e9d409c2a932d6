"""debhelper builds a .deb, from a copy of the source, that depends on the libraries and fonts
and recommends a sound server; unpacked into a scratch root, it holds the installed tree in
Debian's layout for games. debian/tests runs the installed command and its sounds."""
import glob
import os
import shutil
import subprocess
import tempfile
import unittest

from installed_tree import SOURCE_DIR, InstalledTree

# (field, a package it names)
RELATIONS = (
    ("Depends", "libqt6widgets6"),
    ("Depends", "libpulse0"),
    ("Depends", "fonts-liberation"),
    ("Depends", "fonts-comic-neue"),
    ("Recommends", "pulseaudio"),
    ("Recommends", "qt6-wayland"),
)


def field(package, name):
    return subprocess.run(["dpkg-deb", "--field", package, name], check=True,
                          capture_output=True, text=True).stdout.strip()


def package_names(relations):
    """The package names of a Depends or Recommends field, alternatives included."""
    return {choice.split()[0] for relation in relations.split(",")
            for choice in relation.split("|")}


def source_files(folder, names):
    """What of the source a package is built from: not the builds, nor git's store."""
    return [name for name in names if folder == SOURCE_DIR and
            (name.startswith("build") or name == ".git")]


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        source = os.path.join(cls.scratch.name, "keyfall")
        shutil.copytree(SOURCE_DIR, source, ignore=source_files, symlinks=True)
        built = subprocess.run(["dpkg-buildpackage", "-us", "-uc", "-b"], cwd=source,
                               capture_output=True, text=True)
        if built.returncode:
            raise AssertionError("dpkg-buildpackage failed:\n" + built.stdout[-3000:] +
                                 built.stderr[-3000:])
        (cls.package,) = glob.glob(os.path.join(cls.scratch.name, "keyfall_*.deb"))
        cls.root = os.path.join(cls.scratch.name, "root")
        subprocess.run(["dpkg-deb", "-x", cls.package, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_names_the_libraries_fonts_and_sound_servers(self):
        for name, needed in RELATIONS:
            with self.subTest(field=name, package=needed):
                self.assertIn(needed, package_names(field(self.package, name)))
        self.assertNotIn("libqt6multimedia6", package_names(field(self.package, "Depends")))

    def test_unpacked_tree(self):
        InstalledTree(self, os.path.join(self.root, "usr"), command_dir="games",
                      packaged=True).check_all()
