"""Plays the game through its window: where its controls are and what its play field shows."""
from desktop import wait_for

# Centres of the controls in the window's client area, in pixels.
SETTINGS = (330, 16)
NEW_GAME = (470, 16)
QUIT = (615, 16)
SPEED_OPTION = (395, 118)
ROUND_LENGTH_BOX = (320, 242)
OK = (404, 284)
# The starfield between the status bar and the input box: (left, top, width, height).
PLAY_FIELD = (0, 34, 657, 285)

# The round's clock, lbltime, with room for a wider number: (left, top, width, height).
CLOCK = (212, 4, 34, 24)
# Long enough for a target to fall and respawn at the fastest speed.
ROUND_SECONDS = 4
# The starfield is greys and faintly tinted greys only; these colours on it are the game's.
FALLING_TARGET = (255, 255, 255)
MISSED_TARGET = (255, 0, 0)
TIME_OVER = (255, 255, 0)


def shows(game, colour):
    return bool(game.pixels(*PLAY_FIELD).points(colour))


def clock(game):
    """What the round's clock shows, as its pixels."""
    return game.pixels(*CLOCK).rows


def press(game, control):
    """Clicks a control, then moves the pointer off the play field, where it would be seen."""
    game.click(*control)
    game.click_away()


def start_round(game, seconds):
    """Starts a round of the given length at the fastest speed, through the settings panel."""
    press(game, SETTINGS)
    press(game, SPEED_OPTION)
    press(game, ROUND_LENGTH_BOX)
    game.key("End", *["BackSpace"] * 4)
    # Not a prefix of "100", "200" or "300", which the box would complete.
    game.type(str(seconds))
    press(game, OK)


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
    wait_for(lambda: shows(game, FALLING_TARGET), 10, "the target the hit brings")
    # A target falls in 1.8 s at the fastest speed: its respawn sounds "boing.wav" at 2.3 s,
    # and the end of the round "theend.wav".
    start_round(game, ROUND_SECONDS)
    wait_for(lambda: shows(game, TIME_OVER), 3 * ROUND_SECONDS,
             f"the end of a {ROUND_SECONDS} s round: has the game stopped answering?")
