"""Onsets in a long synthetic recording keep their times to its end; a tone's dropout is not one."""
import math
import unittest

import audio_analysis

RATE = 44100


def recording_with_tones_at(seconds, length, gap=()):
    samples = [0] * (RATE * length)
    for start in seconds:
        first = int(start * RATE)
        for k in (k for k in range(RATE // 10) if k not in gap):
            samples[first + k] = int(10000 * math.sin(2 * math.pi * 1000 * k / RATE))
    return samples


class OnsetTimes(unittest.TestCase):
    def test_onsets_late_in_a_minute_are_dated_as_early_ones(self):
        for starts, end, gap in (([1.0, 30.0, 59.0], 60, ()), ([1.0, 2.0], 3, range(2205, 2470))):
            found = audio_analysis.find_onsets(recording_with_tones_at(starts, end, gap), RATE)
            self.assertEqual(len(found), len(starts))
            for start, onset in zip(starts, found):
                # An onset is the start of its 5 ms frame: never late, at most one frame early.
                self.assertLessEqual(onset, start)
                self.assertGreater(onset, start - 0.006)
