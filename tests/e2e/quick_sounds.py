"""Plays a long run of quick sounds through the game's sound player into the sound server of a
private desktop session and checks from a recording that every one of them was heard, each
cutting off the one before. KEYFALL_PLAY_SEQUENCE names the player, KEYFALL_ASSETS_DIR the
folder of the sounds."""
import os
import subprocess
import unittest

import audio_analysis
import window
from session import Session, wait_for
from sound_server import SAMPLE_RATE, Recorder

# Hits far quicker than the zap lasts, so each restarts it; then every sound once, each with
# time to play out.
QUICK_HITS = 40
QUICK_HIT_MS = 120
STEPS = [f"shooted.wav:{QUICK_HIT_MS}"] * QUICK_HITS + \
        ["shooted.wav:400", "wrong.wav:400", "boing.wav:600", "theend.wav:0"]
# How late a sound may begin and still count as the one that was asked for.
HEARD_WITHIN_SECONDS = 0.3


class QuickSounds(unittest.TestCase):
    def test_every_quick_sound_is_heard_on_time(self):
        session = self.enterContext(Session(x_server=False, sound_server=True))
        recorder = Recorder(session)
        played = session.spawn([os.environ["KEYFALL_PLAY_SEQUENCE"],
                                os.environ["KEYFALL_ASSETS_DIR"], *STEPS],
                               env=dict(session.env, QT_QPA_PLATFORM="offscreen"),
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
        wait_for(session.sound_server.open_streams, 10, "the player's stream to open")
        out, errors = played.communicate(input="\n", timeout=20)
        samples = recorder.stop()
        self.assertEqual(played.returncode, 0, f"play_sequence failed: {errors}")
        expected = []
        for line in out.split("\n"):
            if line:
                when, name = line.split()
                expected.append((recorder.seconds_into(float(when)), name, HEARD_WITHIN_SECONDS,
                                 "play"))
        heard = audio_analysis.heard_sounds(samples, SAMPLE_RATE, window.facts()["sounds"])
        pairs = audio_analysis.match_expected(expected, heard)
        self.assertTrue(audio_analysis.report(pairs, heard),
                        "every sound heard when it should be, and nothing else")
