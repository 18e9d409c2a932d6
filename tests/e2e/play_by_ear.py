#!/usr/bin/env python3
"""Plays by ear with Orca, as a person does: the player hears only what Orca says, waits for the
letters to be spoken and reacts 0.3 to 0.8 s later, then types them with real keys, and scores
nine of ten at each level and case at Slow, and at level 1 at Speed. Nothing is said before the
first letters after Ok, F2 or a resume; Orca says nothing in play but the targets, and its own
commands work over the game. The score is read from the accessibility tree, never by
the player."""
import os
import random
import re
import time
import unittest

import window
from screen_reader import ScreenReader, heard_letters
from session import Session

# (speed option, level button, case label, letters a target, cases heard: capital or not,
# hits of 10 at least). At Slow a target falls for 7.2 s; at Speed for 1.8 s, of which the
# listener spends up to 1.5 s hearing a capital and reacting, so only one letter is asked there.
ROUNDS = [("Option1", "Command1", "lblMixed", 1, {True, False}, 9),
          ("Option1", "Command3", "lblMixed", 3, {True, False}, 9),
          ("Option1", "Command2", "lblCaps", 2, {True}, 9),
          ("Option3", "Command1", "lblMixed", 1, {True, False}, 9)]
# Orca's own commands over the game's input box, keys to what Orca says; the game gets none of
# them, though it takes plain letters at once.
ORCA_COMMANDS = [("Insert+t", r"\d+:\d\d.*"), ("KP_Subtract", r"Entering flat review\."),
                 ("KP_Subtract", r"Leaving flat review\.")]
PAUSES_RIGHT_AFTER_A_HIT = 5
SAID_WITHIN_SECONDS = 20  # from a key, a click or a hit to its words, on a loaded machine
SECONDS_A_WORD = 0.35  # how long espeak-ng takes to say a letter or "capital"
REACTION_SECONDS = (0.3, 0.8)
SECONDS_BETWEEN_KEYS = (0.03, 0.06)


class Listener:
    """Hears a target's letters as Orca speaks them, then types them as a person would."""

    def __init__(self, orca, game, seed):
        self.orca, self.game, self.random = orca, game, random.Random(seed)

    def hear(self, condition, what):
        return self.orca.hear(condition, SAID_WITHIN_SECONDS, what)

    def target(self, first=False):
        """The next target's letters; first: nothing else may be said before them."""
        start = self.orca.heard
        letters = heard_letters(self.hear(heard_letters, "a target"))
        before = self.orca.spoken()[start:self.orca.heard - 1]
        assert not first or not before, f"said before the letters: {before}"
        return letters

    def play(self, first=False, since=None):
        """Hears a target and types it; since: when the key or click that brought it came, to
        print how long before landing its last letter was heard."""
        letters = self.target(first)
        # The last letter is heard once each letter and each "capital" has been said.
        words = len(letters) + sum(letter.isupper() for letter in letters)
        heard_at = time.time() + words * SECONDS_A_WORD
        if since:
            print(f"{letters!r} heard {heard_at - since:.2f} s after the key or click")
        time.sleep(heard_at - time.time() + self.random.uniform(*REACTION_SECONDS))
        self.game.type(letters, delay_ms=int(1000 * self.random.uniform(*SECONDS_BETWEEN_KEYS)))
        return letters


def main():
    window.facts()  # read while the environment names it
    with Session(accessibility=True, sound_server=True) as session:
        orca, game = ScreenReader(session), window.Game(session)
        os.environ.clear()  # the bindings find the session's bus as they load
        os.environ.update(session.env)
        try:
            play(Listener(orca, game, seed=36), game)
        finally:
            print("What Orca said:", *orca.spoken(), sep="\n  ")
    return 0


def play(listener, game):
    import pyatspi

    def controls():
        return next(app for app in pyatspi.Registry.getDesktop(0) if app.name == "keyfall")[0][0]

    def hits():
        names = [control.name for control in controls()]
        return int(names[names.index("Shooted :") + 1])

    for speed, level_button, case_label, letters, cases, least_hits in ROUNDS:
        game.key("F3")
        listener.hear(lambda words: "Game Speed, Slow" in words, "the panel's first control")
        listener.hear(lambda words: "1 of 3" in words, "the first control's place")
        for control in (speed, level_button, case_label):
            game.press(control)
        ok_at = time.time()
        game.press("Label9")  # Ok
        targets = [listener.play(first=True, since=ok_at)] + [listener.play() for _ in range(9)]
        listener.hear(heard_letters, "the target after the last")  # the hits are counted by then
        print(f"{speed}, level {letters}, {case_label}: {hits()} hits of 10, heard {targets}")
        assert {len(target) for target in targets} == {letters}
        assert {letter.isupper() for letter in "".join(targets)} == cases, "cases heard"
        assert hits() >= least_hits, f"{hits()} hits of 10"
    listener.play(first=True, since=game.key("F2"))
    game.key("Escape")
    listener.hear(lambda words: "Paused" in words, "Paused")
    for keys, said in ORCA_COMMANDS:
        game.key(keys)
        listener.hear(lambda words: re.fullmatch(said, words), keys)
    box = next(control for control in controls() if control.getRoleName() == "text")
    assert not box.queryText().getText(0, -1), "Orca's commands reach Orca alone"
    # Escape pressed as the last letter of a hit goes keeps its place after the letters, however
    # late the screen reader lets them through: the pause is said each time.
    for _ in range(PAUSES_RIGHT_AFTER_A_HIT):
        game.key("Escape")
        said = listener.hear(bool, "the target again")
        letters = heard_letters(said.split(". ")[0])
        assert letters and "Resumed" in said, said
        game.type(letters)
        game.key("Escape")
        listener.hear(lambda words: "Paused" in words, "Paused right after a hit")


class PlayByEar(unittest.TestCase):
    def test_plays_by_ear(self):
        main()
