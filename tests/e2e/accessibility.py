"""Plays the game as a screen reader does, on the session's own accessibility bus."""
import os
import unittest

import window
from session import Session, wait_for

# The AT-SPI roles of Qt's roles (whose names AT-SPI's versions spell differently).
ROLES = {"StaticText": "LABEL", "Button": "PUSH_BUTTON", "RadioButton": "RADIO_BUTTON",
         "ComboBox": "COMBO_BOX", "Client": "FILLER"}
TOLD_WITHIN_SECONDS = 10  # from an action or a key to its events, on a loaded machine


class Accessibility(unittest.TestCase):
    def test_a_screen_reader_is_told_the_controls_and_their_changes(self):
        facts = window.facts()
        (first, _), (second, _) = facts["targets"][:2]
        session = self.enterContext(Session(accessibility=True))
        game = window.Game(session, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        # The bindings find their bus as they load: only the session's may be theirs.
        os.environ.clear()
        os.environ.update(session.env)
        import pyatspi
        from gi.repository import GLib
        events = []
        pyatspi.Registry.registerEventListener(
            events.append, "object:property-change:accessible-name", "object:state-changed")

        def wait(condition, what):  # delivers the events that came in until the condition holds
            def delivered():
                while GLib.MainContext.default().iteration(False):
                    pass
                return condition()
            return wait_for(delivered, TOLD_WITHIN_SECONDS, what)

        def nodes(node):  # [role, name, [left, top], shown, enabled, checked, focused], node
            states = node.getState()
            try:
                x, y = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[:2]
            except NotImplementedError:  # nowhere on the screen, as the window's news line
                x, y = None, None
            yield [node.getRole(), node.name, [x and x - game.x, y and y - game.y]] + [
                states.contains(s) for s in (pyatspi.STATE_SHOWING, pyatspi.STATE_SENSITIVE,
                                             pyatspi.STATE_CHECKED, pyatspi.STATE_FOCUSED)], node
            for child in node:
                yield from nodes(child)

        def tree():
            apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "keyfall"]
            return [n for w in (apps[0] if apps else []) for n in nodes(w)]

        def role(name):
            return getattr(pyatspi, "ROLE_" + name)

        def find(role_name, name):
            return next((n for n in tree() if n[0][:2] == [role(role_name), name]), None)

        def node(role, name):
            return wait(lambda: find(role, name), f"{role} {name!r}")[1]

        def press(node, action="Press"):  # returns once the game has run the action
            actions = node.queryAction()
            actions.doAction([actions.getName(i) for i in range(actions.nActions)].index(action))

        def told(kind, role_name, name):
            return wait(lambda: [e for e in events if e.type == kind and e.source.name == name
                                 and e.source.getRole() == role(role_name)], f"{kind} of {name!r}")

        def check(expected_controls):  # a hidden control has no place on the screen to compare
            found = [row for row, _ in tree()]
            for qt_role, name, at, *states in expected_controls:
                want = [role(ROLES[qt_role]), name, at, *states]
                self.assertTrue(any(row[:6] == want or not want[3] and
                                    row[:2] + row[3:6] == want[:2] + want[3:] for row in found),
                                f"{want} not in the tree")

        box = wait(lambda: find("TEXT", "Type the falling letters here"), "the window's tree")
        self.assertTrue(box[0][6], "the input box has the keyboard")
        check(facts["accessibleAtStart"])
        new_game, pause = node("PUSH_BUTTON", "NEW GAME"), node("PUSH_BUTTON", "PAUSE ")
        press(new_game)
        press(pause)  # typing scores while paused, and the target waits for the keys however slow
        told("object:state-changed:showing", "LABEL", first)
        events.clear()
        game.key(first)
        told("object:property-change:accessible-name", "LABEL", "1")
        told("object:property-change:accessible-name", "LABEL", second)
        print("The events of one hit:", *map(str, events), sep="\n")
        press(node("PUSH_BUTTON", "SETTINGS"))
        wait(lambda: find("RADIO_BUTTON", "Game Speed, Speed"), "the settings panel")
        check(facts["accessibleInPanel"])
        # Each control of the panel shows once, named with its group's caption and saying its
        # place; the round length is labelled by its caption and says its unit.
        for role_name, name, captions, about in (
                ("RADIO_BUTTON", "Game Speed, Normal", [], "2 of 3"),
                ("RADIO_BUTTON", "Game Level, 2", [], "2 of 3"),
                ("RADIO_BUTTON", "Letter case, CAPITALS", [], "1 of 3"),
                ("PUSH_BUTTON", "Ok", [], ""), ("COMBO_BOX", "100", ["Game Time"], "Seconds")):
            found = [n for row, n in tree() if row[:2] == [role(role_name), name] and row[3]]
            labels = [r.getTarget(0).name for r in found[0].getRelationSet()
                      if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
            told_as = (len(found), labels, found[0].description)
            self.assertEqual(told_as, (1, captions, about),
                             f"{name}: shown, labelled by, described")
        press(node("RADIO_BUTTON", "Game Speed, Speed"), "Toggle")
        told("object:state-changed:checked", "RADIO_BUTTON", "Game Speed, Speed")
        ticked = [find("RADIO_BUTTON", "Game Speed, " + name)[0][5]
                  for name in ("Slow", "Normal", "Speed")]
        self.assertEqual(ticked, [False, False, True], "Slow, Normal, Speed ticked")
