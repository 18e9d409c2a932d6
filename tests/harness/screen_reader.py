"""Orca in a session (session.py), key echo and braille off, speaking through speech-dispatcher
and espeak-ng into the session's sound server. Orca writes its debug log line by line only to a
terminal, so it writes to one, read as it comes: what it speaks there is all a listener hears."""
import json
import os
import pty
import re
import shutil
import subprocess
import threading
import tty
import unittest

from session import MARK, wait_for

# Orca 43 writes "SPEECH OUTPUT: 'words'{voice}", Orca 48 "SPEECH OUTPUT: 'words' {voice}".
_SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)?(?: ?\{.*\})?$")
START_SECONDS = 60  # to Orca's greeting, on a loaded machine


class ScreenReader:
    def __init__(self, session, heard=True, speech_sink=None):
        """Orca speaking in the session. Heard, it writes its debug log, which the test reads;
        not heard, it runs as a player runs it, for a benchmark, and is only known to listen.
        Its speech plays into the named sink of the session's sound server, or the default."""
        if not shutil.which("orca"):
            raise unittest.SkipTest("Orca is not installed")
        prefs = session.folder("orca")
        with open(os.path.join(prefs, "user-settings.conf"), "w", encoding="utf-8") as conf:
            json.dump({"general": {}, "pronunciations": {}, "keybindings": {}, "profiles": {
                "default": {"profile": ["Default", "default"], "enableKeyEcho": False,
                            "enableBraille": False}}}, conf)
        self.utterances, self.heard = [], 0
        speech_env = dict(session.env, PULSE_SINK=speech_sink) if speech_sink else session.env
        session.spawn(["speech-dispatcher", "--run-single", "--timeout", "0"], env=speech_env)
        # Orca starts one of its own, outside the session, if it finds none listening.
        socket = os.path.join(session.runtime, "speech-dispatcher", "speechd.sock")
        wait_for(lambda: os.path.exists(socket), START_SECONDS, "speech-dispatcher")
        # Orca will not start beside another Orca of its user, found with pgrep: it is shown the
        # session's own processes alone.
        shown = session.folder("shown")
        with open(os.path.join(shown, "pgrep"), "w", encoding="utf-8") as pgrep:
            pgrep.write(f"#!/bin/sh\nfor p in $({shutil.which('pgrep')} \"$@\"); do grep -qzx "
                        f"'{MARK}={session.dir}' /proc/$p/environ 2>/dev/null && echo $p; done\n")
        os.chmod(pgrep.name, 0o755)
        command = ["orca", "--user-prefs", prefs]
        if heard:
            self._reading, self._terminal = pty.openpty()  # both open while the test lives
            tty.setraw(self._terminal)
            command += ["--debug-file", os.ttyname(self._terminal)]
        session.spawn(command, env=dict(session.env, PATH=shown + os.pathsep + session.env["PATH"]))
        if heard:
            # Orca waits for the terminal with each line of its log, and so for a copy that the
            # disk holds up, which would make every word and key late: the log is copied only for
            # a session kept to look into.
            copy_path = session.path("orca-debug.log") if session.keep else os.devnull
            threading.Thread(target=self._read, args=(copy_path,), daemon=True).start()
            self.hear(bool, START_SECONDS, "Orca's greeting")
        else:
            wait_for(lambda: _listens(session.env), START_SECONDS, "Orca listening")

    def _read(self, copy_path):
        # Each line is read once as it is completed: the log grows by megabytes a round, and the
        # test must not take a core from the game to read it.
        unfinished = b""
        with open(copy_path, "wb", buffering=0) as copy:
            while chunk := os.read(self._reading, 65536):
                copy.write(chunk)
                *lines, unfinished = (unfinished + chunk).split(b"\n")
                for line in lines:
                    if said := _SPOKEN.search(line.decode(errors="replace")):
                        self.utterances.append(said[1])

    def spoken(self):
        """What Orca has spoken so far, one utterance an item."""
        return list(self.utterances)

    def hear(self, condition, timeout, what):
        """Waits for the first utterance after those heard for which condition holds."""
        def found():
            said = self.spoken()[self.heard:]
            return next(((i, words) for i, words in enumerate(said) if condition(words)), None)
        index, words = wait_for(found, timeout, what)
        self.heard += index + 1
        return words


def _listens(env):
    """Whether a screen reader has asked the accessibility registry for the events of programs."""
    def ask(*args):
        return subprocess.run(["dbus-send", "--print-reply=literal", *args], env=env,
                              capture_output=True, text=True).stdout
    bus = ask("--session", "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress")
    return "Object:" in ask(f"--bus={bus.strip()}", "--dest=org.a11y.atspi.Registry",
                            "/org/a11y/atspi/registry",
                            "org.a11y.atspi.Registry.GetRegisteredEvents")


def heard_letters(utterance):
    """What a listener types on hearing letters alone, each a word, each capital said to be one
    ("capital T, capital U, b": "TUb"), or the input box named by them as the focus comes back to
    it ("b text."); None for any other utterance. A listener hears no case."""
    said = utterance.lower().rstrip(".").removesuffix(" text")
    words = [word.strip() for word in said.split(",")]
    if all(re.fullmatch(r"(capital )?[a-z]", word) for word in words):
        return "".join(word[-1].upper() if len(word) > 1 else word for word in words)
    return None
