"""Plays the game through its window: where its controls are and what its play field shows."""
from desktop import wait_for

# Centres of the controls in the window's client area, in pixels.
SETTINGS = (330, 16)
NEW_GAME = (470, 16)
QUIT = (615, 16)
SPEED_OPTION = (395, 118)
ROUND_LENGTH_BOX = (320, 242)
OK = (404, 284)
# Areas of the window: (left, top, width, height). The starfield between the status bar and the
# input box, and its bottom, where a missed target turns red; a patch of the settings panel's
# plain background; the round indicator of the fastest speed's option, filled once chosen; the
# left edge of the round-length box, which its focus frame colours; and the box's text.
PLAY_FIELD = (0, 34, 657, 285)
GROUND = (0, 264, 657, 55)
PANEL_PATCH = (200, 52, 30, 12)
SPEED_INDICATOR = (390, 117, 3, 3)
ROUND_LENGTH_EDGE = (296, 234, 1, 17)
ROUND_LENGTH_TEXT = (298, 236, 46, 14)

# The round's clock, lbltime, with room for a wider number: (left, top, width, height).
CLOCK = (212, 4, 34, 24)
# Long enough for a target to fall and respawn at the fastest speed.
ROUND_SECONDS = 4
NORMAL_FALL_SECONDS = 3.6
# What the window shows in answer to a click or a key comes within a frame or two; this is a
# few times that on a loaded machine.
SHOWN_WITHIN_SECONDS = 2
# The starfield is greys and faintly tinted greys only; these colours on it are the game's.
FALLING_TARGET = (255, 255, 255)
MISSED_TARGET = (255, 0, 0)
TIME_OVER = (255, 255, 0)
PANEL_BACKGROUND = (132, 149, 181)


def shows(game, colour, area=PLAY_FIELD):
    """Whether the colour shows in the area; the smaller the area, the quicker the look."""
    return bool(game.pixels(*area).points(colour))


def panel_open(game):
    patch = game.pixels(*PANEL_PATCH)
    return len(patch.points(PANEL_BACKGROUND)) == patch.width * patch.height


def round_length_text(game):
    """The white pixels of the text in the round-length box; its caret is never that white."""
    return game.pixels(*ROUND_LENGTH_TEXT).points(lambda pixel: min(pixel) >= 200)


def clock(game):
    """What the round's clock shows, as its pixels."""
    return game.pixels(*CLOCK).rows


def press(game, control):
    """Clicks a control, then moves the pointer off the play field, where it would be seen."""
    game.click(*control)
    game.click_away()


def start_round(game, seconds):
    """Starts a round of the given length at the fastest speed, through the settings panel,
    waiting for the window to answer each click and key as a player watching it would."""
    press(game, SETTINGS)
    wait_for(lambda: panel_open(game), SHOWN_WITHIN_SECONDS,
             "the settings panel to open: has the game stopped answering?")
    press(game, SPEED_OPTION)
    wait_for(lambda: not game.pixels(*SPEED_INDICATOR).points(lambda pixel: max(pixel) > 128),
             SHOWN_WITHIN_SECONDS, "the fastest speed to be chosen")
    unfocused = game.pixels(*ROUND_LENGTH_EDGE).rows
    press(game, ROUND_LENGTH_BOX)
    wait_for(lambda: game.pixels(*ROUND_LENGTH_EDGE).rows != unfocused, SHOWN_WITHIN_SECONDS,
             "the round-length box to take the focus")
    game.key("End", *["BackSpace"] * 4)
    wait_for(lambda: not round_length_text(game), SHOWN_WITHIN_SECONDS,
             "the round-length box to empty")
    # Not a prefix of "100", "200" or "300", which the box would complete.
    game.type(str(seconds))
    wait_for(lambda: round_length_text(game), SHOWN_WITHIN_SECONDS,
             f"{seconds} to show in the round-length box")
    press(game, OK)
    wait_for(lambda: not panel_open(game), SHOWN_WITHIN_SECONDS, "the settings panel to close")


def type_until_heard(game, timeout, what):
    """Types wrong keys until the sound server plays the game's error sound. (The game reaches for
    its server once its window is up, and again after it has lost it.)"""
    def a_wrong_key_sounds():
        game.type("1")  # no target is a digit
        return game.desktop.sound_server.playing_streams()

    wait_for(a_wrong_key_sounds, timeout, what)


def play_round_with_every_sound(game):
    """Plays a round that sounds each of the four files once at least, to its end."""
    game.type("1")  # no target is a digit: "wrong.wav"
    game.type("G")  # the hidden target's caption before the first game: "shooted.wav"
    wait_for(lambda: shows(game, FALLING_TARGET), SHOWN_WITHIN_SECONDS,
             "the target the hit brings")
    # A target falls in 1.8 s at the fastest speed: its respawn sounds "boing.wav" at 2.3 s,
    # and the end of the round "theend.wav".
    start_round(game, ROUND_SECONDS)
    wait_for(lambda: shows(game, TIME_OVER), 3 * ROUND_SECONDS,
             f"the end of a {ROUND_SECONDS} s round: has the game stopped answering?")
