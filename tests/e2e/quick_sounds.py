#!/usr/bin/env python3
"""Plays a long run of quick sounds through the game's sound player into the sound server of a
private desktop session and checks from a recording that every one of them was heard, each
cutting off the one before.

Usage: quick_sounds.py PLAY_SEQUENCE_PROGRAM SOUND_DIRECTORY
"""
import subprocess
import sys

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


def main():
    program, sound_dir = sys.argv[1:3]
    with Session(x_server=False, sound_server=True) as session:
        recorder = Recorder(session)
        played = session.spawn([program, sound_dir, *STEPS],
                               env=dict(session.env, QT_QPA_PLATFORM="offscreen"),
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
        wait_for(session.sound_server.open_streams, 10, "the player's stream to open")
        out, errors = played.communicate(input="\n", timeout=20)
        samples = recorder.stop()
        if played.returncode != 0:
            sys.exit(f"play_sequence failed: {errors}")
        expected = []
        for line in out.split("\n"):
            if line:
                when, name = line.split()
                expected.append((recorder.seconds_into(float(when)), name, HEARD_WITHIN_SECONDS, "play"))
        heard = audio_analysis.heard_sounds(samples, SAMPLE_RATE, window.facts()["sounds"])
        pairs = audio_analysis.match_expected(expected, heard)
        ok = audio_analysis.report(pairs, heard)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
