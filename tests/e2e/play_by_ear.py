#!/usr/bin/env python3
"""Plays by ear with Orca: a player that hears only what Orca says and types it with real keys
scores nine of ten at each level and case, and Orca says nothing in play but the targets; the panel
and a pause are spoken, and Orca's own commands work over the game. The score is read from the
accessibility tree, never by the player."""
import importlib.util
import os
import re
import sys

if not importlib.util.find_spec("pyatspi") and sys.executable != "/usr/bin/python3":
    os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])

import window
from screen_reader import ScreenReader, heard_letters
from session import Session

# (level button, case label, letters a target, cases heard: capital or not)
ROUNDS = [("Command1", "lblMixed", 1, {True, False}), ("Command3", "lblMixed", 3, {True, False}),
          ("Command2", "lblCaps", 2, {True})]
# Orca's own commands over the game's input box, keys to what Orca says; the game gets none of
# them, though it takes plain letters at once.
ORCA_COMMANDS = [("Insert+t", r"\d+:\d\d.*"), ("KP_Subtract", r"Entering flat review\."),
                 ("KP_Subtract", r"Leaving flat review\.")]
SAID_WITHIN_SECONDS = 20  # from a key, a click or a hit to its words, on a loaded machine


def main():
    window.facts()  # read while the environment names it
    with Session(accessibility=True, sound_server=True) as session:
        orca, game = ScreenReader(session), window.Game(session)
        os.environ.clear()  # the bindings find the session's bus as they load
        os.environ.update(session.env)
        import pyatspi

        def controls():
            return next(app for app in pyatspi.Registry.getDesktop(0) if app.name == "keyfall")[0][0]

        def hear(condition, what="a target"):
            return orca.hear(condition, SAID_WITHIN_SECONDS, what)

        for level_button, case_label, letters, cases in ROUNDS:
            game.key("F3")
            assert "focus on" in hear(lambda words: "Settings open" in words, "the panel")
            for control in (level_button, case_label, "Label9"):  # Label9: Ok
                game.press(control)
            hear(lambda words: "Settings closed" in words, "the panel closing")
            start, targets = orca.heard, []
            for _ in range(10):
                targets.append(heard_letters(hear(heard_letters)))
                game.type(targets[-1])
            hear(heard_letters)  # the hit counter is told by then
            names = [control.name for control in controls()]
            hits = int(names[names.index("Shooted :") + 1])
            print(f"level {letters}, {case_label}: {hits} hits of 10, heard {targets}")
            assert all(map(heard_letters, orca.spoken()[start:orca.heard])), "only targets in play"
            assert {len(target) for target in targets} == {letters}
            assert {letter.isupper() for letter in "".join(targets)} == cases, "cases heard"
            assert hits >= 9, f"{hits} hits of 10"
        game.key("Escape")
        hear(lambda words: words.startswith("Paused"), "Paused")
        for keys, said in ORCA_COMMANDS:
            game.key(keys)
            hear(lambda words: re.fullmatch(said, words), keys)
        box = next(control for control in controls() if control.getRoleName() == "text")
        assert not box.queryText().getText(0, -1), "Orca's commands reach Orca alone"
        game.key("Escape")
        hear(lambda words: words.startswith("Resumed"), "Resumed")
        print("What Orca said:", *orca.spoken(), sep="\n  ")
    return 0


if __name__ == "__main__":
    sys.exit(main())
