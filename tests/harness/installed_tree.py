"""Checks of an installed tree, whether laid by `cmake --install` or unpacked from the .deb."""
import glob
import configparser
import filecmp
import os
import re
import subprocess
import xml.etree.ElementTree as ElementTree

import file_trace
from session import PASSED_ON, Session, poll
from window import WINDOW_SECONDS, sound_files, traced_command

APP_ID = os.environ["KEYFALL_APP_ID"]
ASSETS_DIR = os.environ["KEYFALL_ASSETS_DIR"]
SOURCE_DIR = os.environ["KEYFALL_SOURCE_DIR"]
ICON_SIZES = (32, 64, 128, 256)
SOUND_DIR = os.path.join("share", "games", "keyfall")
NO_DISPLAY = {name: os.environ[name] for name in PASSED_ON if name in os.environ}
USAGE = "Usage: keyfall [-h | --help] [-v | --version] [Qt options]\n"
# The command line without a display: arguments, status, standard output, standard error.
COMMAND_LINES = (
    (["--help"], 0, re.escape(USAGE) + "(?s:.*)-v, --version", ""),
    (["--version"], 0, r"keyfall \d+\.\d+\.\d+\n", ""),
    (["-platform", "offscreen", "-v"], 0, r"keyfall \d", ""),
    (["--fast"], 2, "", r"keyfall: Unknown option 'fast'\.\n" + re.escape(USAGE)),
    (["level3"], 2, "", r"keyfall: Unexpected argument 'level3'\.\n" + re.escape(USAGE)),
)


def source_text(name):
    with open(os.path.join(SOURCE_DIR, name), encoding="utf-8") as source:
        return source.read()


def readme_screenshot():
    """The path of the picture that the README shows."""
    return re.search(r"!\[[^]]*\]\(([^)]+)\)", source_text("README.md")).group(1)


def section(text, start, end):
    """The text from the line that is start up to the next line that begins with end."""
    pattern = rf"^{re.escape(start)}\n(.*?)(?=^{re.escape(end)}|\Z)"
    return re.search(pattern, text, re.M | re.S).group(1)


def appstream_version():
    """The version of the installed appstreamcli, as a tuple of numbers."""
    said = subprocess.run(["appstreamcli", "--version"], capture_output=True, text=True).stdout
    return tuple(map(int, re.search(r"(\d+)\.(\d+)", said).groups()))


def words(text):
    return re.findall(r"\w+", text)


class InstalledTree:
    """Assertions on the tree under a prefix, for a unittest.TestCase."""

    def __init__(self, test, prefix, command_dir="bin", packaged=False):
        self.test = test
        self.prefix = prefix
        self.command_dir = command_dir
        self.packaged = packaged

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def check_program_and_sounds(self):
        program = self.path(self.command_dir, "keyfall")
        self.test.assertFalse(os.path.islink(program), f"{program} is a link")
        self.test.assertTrue(os.access(program, os.X_OK), f"{program} is not executable")
        for name in sound_files():
            self.test.assertTrue(filecmp.cmp(self.path(SOUND_DIR, name),
                                             os.path.join(ASSETS_DIR, name), shallow=False), name)

    def check_command_line(self):
        for arguments, status, output, errors in COMMAND_LINES:
            with self.test.subTest(arguments=arguments):
                result = subprocess.run([self.path(self.command_dir, "keyfall"), *arguments],
                                        env=NO_DISPLAY, capture_output=True, text=True)
                self.test.assertEqual(result.returncode, status, result.stderr)
                self.test.assertRegex(result.stdout, "^" + output if output else "^$")
                self.test.assertRegex(result.stderr, "^" + errors + "$")

    def check_desktop_entry(self):
        entry_file = self.path("share", "applications", APP_ID + ".desktop")
        self.run_validator("desktop-file-validate", entry_file)
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(entry_file, encoding="utf-8")
        fields = entry["Desktop Entry"]
        self.test.assertEqual(fields["Name"], "Keyfall")
        self.test.assertEqual(fields["Exec"], "keyfall")  # the command on the PATH
        self.test.assertEqual(fields["Icon"], APP_ID)  # the icon theme's file name
        self.test.assertTrue({"Game", "Education"} <= set(fields["Categories"].split(";")))

    def check_metainfo(self):
        metainfo = self.path("share", "metainfo", APP_ID + ".metainfo.xml")
        report = self.run_validator("appstreamcli", "validate", "--pedantic", "--no-net", metainfo)
        said = re.findall(r"(?m)^[EWIP]: .*", report)
        # The developer's markup that AppStream 1.0 (Debian 13) asks for is one that 0.16 (Debian
        # 12) does not know yet, and notes.
        if appstream_version() < (1, 0):
            said = [line for line in said if not line.endswith(": unknown-tag developer")]
        self.test.assertEqual(said, [], "the validator has something to say")
        component = ElementTree.parse(metainfo).getroot()
        self.test.assertEqual(component.findtext("id"), APP_ID)
        self.test.assertEqual(component.findtext("developer/name"), "Keyfall developers")
        self.test.assertEqual(component.findtext("project_license"), "MIT")
        screenshot = component.findtext("screenshots/screenshot/image")
        self.test.assertTrue(screenshot.endswith("/" + readme_screenshot()), screenshot)
        self.test.assertEqual(component.findtext("launchable"), APP_ID + ".desktop")
        self.test.assertEqual(component.findtext("provides/binary"), "keyfall")

    def check_icons(self):
        for size in ICON_SIZES:
            icon = self.path("share", "icons", "hicolor", f"{size}x{size}", "apps", APP_ID + ".png")
            with open(icon, "rb") as png:
                header = png.read(24)
            self.test.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n", icon)
            width, height = int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")
            self.test.assertEqual((width, height), (size, size), icon)

    def check_manual_page(self):
        """The page passes mandoc's checker, and its HOW TO PLAY says what the README's does."""
        (manual,) = glob.glob(self.path("share", "man", "man6", "keyfall.6*"))
        self.test.assertEqual(self.run_validator("mandoc", "-T", "lint", "-W", "style", manual), "")
        page = subprocess.run(["mandoc", "-T", "utf8", manual], capture_output=True, text=True,
                              check=True).stdout
        how_to_play = section(re.sub(".\b", "", page), "HOW TO PLAY", "FILES")  # no overstrikes
        self.test.assertEqual(words(how_to_play),
                              words(section(source_text("README.md"), "## How to play", "## ")))

    def check_documents(self):
        """The package's copyright file carries the licence of LICENSE; another installation
        carries LICENSE and CHANGELOG.md themselves."""
        doc_dir = self.path("share", "doc", "keyfall")
        if not self.packaged:
            for name in ("LICENSE", "CHANGELOG.md"):
                self.test.assertTrue(filecmp.cmp(os.path.join(doc_dir, name),
                                                 os.path.join(SOURCE_DIR, name), shallow=False))
            return
        with open(os.path.join(doc_dir, "copyright"), encoding="utf-8") as copyright_file:
            copyright_lines = copyright_file.read().splitlines()
        licence = source_text("LICENSE").splitlines()
        self.test.assertEqual(licence[0], "MIT License")
        for line in licence[licence.index("Copyright (c) 2026 Keyfall developers") + 1:]:
            self.test.assertIn(" " + line if line else " .", copyright_lines)

    def check_all(self):
        self.check_program_and_sounds()
        self.check_command_line()
        self.check_desktop_entry()
        self.check_metainfo()
        self.check_icons()
        self.check_manual_page()
        self.check_documents()

    def run_validator(self, *command):
        result = subprocess.run(command, capture_output=True, text=True)
        self.test.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result.stdout + result.stderr

    def check_command_finds_its_sounds(self):
        """Starts the command offscreen under strace, in a session without sound: it must read
        the four sounds from their folder, and keep running."""
        with Session(x_server=False) as session:
            trace = session.path("trace")
            command = self.path(self.command_dir, "keyfall")
            game = session.spawn(traced_command(command, trace), log_name="game.stderr",
                                 env=dict(session.env, QT_QPA_PLATFORM="offscreen"))
            sound_dir = os.path.realpath(self.path(SOUND_DIR))

            def unread():
                read = file_trace.files_read(trace)
                return [name for name in sound_files()
                        if os.path.join(sound_dir, name) not in read]

            poll(lambda: not unread() or game.poll() is not None, WINDOW_SECONDS)
            with open(session.path("game.stderr"), encoding="utf-8", errors="replace") as log:
                self.test.assertIsNone(game.poll(), log.read())
            self.test.assertEqual(unread(), [], "sounds not read from " + sound_dir)
            self.test.assertEqual(file_trace.files_written(trace, session.home), [])
