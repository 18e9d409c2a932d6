#!/usr/bin/env python3
"""Plays a long run of quick sounds through the game's sound player into a private sound server
and checks from a recording that every one of them was heard, each cutting off the one before.

Usage: quick_sounds.py PLAY_SEQUENCE_PROGRAM SOUND_DIRECTORY SOUND_SIGNATURES_HEADER
"""
import os
import subprocess
import sys

import audio_analysis
from sandbox import SAMPLE_RATE, Recorder, Sandbox, start_sound_server

# Hits far quicker than the zap lasts, so each restarts it; then every sound once, each with
# time to play out.
QUICK_HITS = 40
QUICK_HIT_MS = 120
STEPS = [f"shooted.wav:{QUICK_HIT_MS}"] * QUICK_HITS + \
        ["shooted.wav:400", "wrong.wav:400", "boing.wav:600", "theend.wav:0"]
# How late a sound may begin and still count as the one that was asked for.
HEARD_WITHIN_SECONDS = 0.3


def main():
    program, sound_dir, signatures_header = sys.argv[1:4]
    signatures = audio_analysis.read_signatures(signatures_header)
    with Sandbox() as sandbox:
        server = start_sound_server(sandbox).address
        recorder = Recorder(sandbox, server)
        env = dict(os.environ, PULSE_SERVER=server, QT_QPA_PLATFORM="offscreen")
        played = subprocess.run([program, sound_dir, *STEPS], env=env, capture_output=True,
                                text=True, timeout=20)
        samples = recorder.stop()
        if played.returncode != 0:
            sys.exit(f"play_sequence failed: {played.stderr}")
        expected = []
        for line in played.stdout.split("\n"):
            if line:
                when, name = line.split()
                expected.append((recorder.seconds_into(float(when)), name, HEARD_WITHIN_SECONDS, "play"))
        heard = audio_analysis.heard_sounds(samples, SAMPLE_RATE, signatures)
        pairs = audio_analysis.match_expected(expected, heard)
        ok = audio_analysis.report(pairs, heard)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
