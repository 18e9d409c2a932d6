"""Plays the game through its window: a round set up through the settings panel, and the sounds
of a round."""
import window
from session import wait_for
from window import SHOWN_WITHIN_SECONDS

# Long enough for a target to fall and respawn at the fastest speed.
ROUND_SECONDS = 4
NORMAL_FALL_SECONDS = 3.6


def panel_open(game):
    """Whether a patch of the settings panel's plain background shows."""
    left, top, _, _ = window.area("Frame1")
    patch = game.pixels(left + 8, top + 4, 30, 12)
    return len(patch.points(window.colour("panel"))) == patch.width * patch.height


def round_length_text(game):
    """The white pixels of the text in the round-length box; its caret is never that white."""
    left, top, _, _ = window.area("Combo1")
    return game.pixels(left + 2, top + 4, 46, 14).points(window.light)


def clock(game):
    """What the round's clock shows, as its pixels, with room for a wider number."""
    return game.pixels(*window.area("lbltime", 4)).rows


def start_round(game, seconds):
    """Starts a round of the given length at the fastest speed, through the settings panel,
    waiting for the window to answer each click and key as a player watching it would."""
    game.press("lblSettings")
    wait_for(lambda: panel_open(game), SHOWN_WITHIN_SECONDS,
             "the settings panel to open: has the game stopped answering?")
    game.press("Option3")
    # The option's round indicator, at its left end, is filled once it is chosen.
    left, top, _, _ = window.area("Option3")
    wait_for(lambda: not game.pixels(left + 6, top + 5, 3, 3).points(lambda p: max(p) > 128),
             SHOWN_WITHIN_SECONDS, "the fastest speed to be chosen")
    # The focus frame colours the round-length box's left edge.
    left, top, _, _ = window.area("Combo1")
    edge = (left, top + 2, 1, 17)
    unfocused = game.pixels(*edge).rows
    game.press("Combo1")
    wait_for(lambda: game.pixels(*edge).rows != unfocused, SHOWN_WITHIN_SECONDS,
             "the round-length box to take the focus")
    game.key("End", *["BackSpace"] * 4)
    wait_for(lambda: not round_length_text(game), SHOWN_WITHIN_SECONDS,
             "the round-length box to empty")
    # Not a prefix of "100", "200" or "300", which the box would complete.
    game.type(str(seconds))
    wait_for(lambda: round_length_text(game), SHOWN_WITHIN_SECONDS,
             f"{seconds} to show in the round-length box")
    game.press("Label9")
    wait_for(lambda: not panel_open(game), SHOWN_WITHIN_SECONDS, "the settings panel to close")


def type_until_heard(game, timeout, what):
    """Types wrong keys until the sound server plays the game's error sound. (The game reaches for
    its server once its window is up, and again after it has lost it.)"""
    def a_wrong_key_sounds():
        game.type("1")  # no target is a digit
        return game.session.sound_server.playing_streams()

    wait_for(a_wrong_key_sounds, timeout, what)


def play_round_with_every_sound(game):
    """Plays a round that sounds each of the four files once at least, to its end."""
    game.type("1")  # no target is a digit: "wrong.wav"
    game.type("G")  # the hidden target's caption before the first game: "shooted.wav"
    wait_for(lambda: game.shows(window.colour("target")), SHOWN_WITHIN_SECONDS,
             "the target the hit brings")
    # A target falls in 1.8 s at the fastest speed: its respawn sounds "boing.wav" at 2.3 s,
    # and the end of the round "theend.wav".
    start_round(game, ROUND_SECONDS)
    wait_for(lambda: game.shows(window.colour("timeOver")), 3 * ROUND_SECONDS,
             f"the end of a {ROUND_SECONDS} s round: has the game stopped answering?")
