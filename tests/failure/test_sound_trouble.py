"""Sound that cannot be played never stops a round: no sound device, a sound server that stops
answering or goes away, sound files that are missing, empty, cut short or not sounds at all. A
sound server that comes back is heard again."""
import os
import time
import unittest

import player
from desktop import SOUND_FILES, SOUND_SECONDS, Desktop, run_tests, wait_for
from game_under_test import PROGRAM, copy_program, intact

# A server that comes back is tried again within a second; it must be heard within two.
HEARD_AGAIN_SECONDS = 2
# The clock ticks every second; a busy machine may hold a tick up a little, a stall much longer.
TICK_SECONDS = 2
PAUSED_TICKS = 5
ROUND_SECONDS = PAUSED_TICKS + 3


def heard_again(game):
    """Starts a round, whose wrong keys are heard within the time a server that came back has."""
    player.press(game, player.NEW_GAME)
    player.type_until_heard(game, HEARD_AGAIN_SECONDS, "a sound through the new server")


def missing(_source, _target):
    pass


def empty(_source, target):
    open(target, "wb").close()


def cut_in_header(source, target):
    with open(source, "rb") as sound, open(target, "wb") as cut:
        cut.write(sound.read(22))


def cut_in_samples(source, target):
    with open(source, "rb") as sound:
        data = sound.read()
    with open(target, "wb") as cut:
        cut.write(data[:len(data) // 2 + 1])


def not_a_sound(_source, target):
    with open(target, "w", encoding="ascii") as text:
        text.write("RIFF? No: a text file that only bears a sound's name.\n" * 20)


SOUND_STATES = (intact, missing, empty, cut_in_header, cut_in_samples, not_a_sound)


class SoundTrouble(unittest.TestCase):
    def assertEndsCleanly(self, game):
        game.close_window()
        self.assertEqual(game.wait(), 0, game.stderr())
        if game.trace_prefix:
            self.assertEqual(game.written_files(), [])

    def test_no_sound_device(self):
        with Desktop(sound_server=False) as desktop:
            game = desktop.launch(PROGRAM,
                                  PULSE_SERVER="unix:" + os.path.join(desktop.dir, "no-server"))
            player.play_round_with_every_sound(game)
            self.assertEndsCleanly(game)

    def test_sound_server_gone_while_a_sound_plays_then_back(self):
        with Desktop() as desktop:
            game = desktop.launch(PROGRAM)
            player.type_until_heard(game, SOUND_SECONDS, "the error sound")
            desktop.sound_server.kill()
            player.play_round_with_every_sound(game)
            desktop.sound_server.start()
            heard_again(game)
            self.assertEndsCleanly(game)

    def test_sound_server_paused_mid_round(self):
        with Desktop() as desktop:
            game = desktop.launch(PROGRAM, traced=False)
            player.start_round(game, ROUND_SECONDS)
            round_started = time.monotonic()
            desktop.sound_server.pause()
            try:
                for _ in range(PAUSED_TICKS):
                    shown = player.clock(game)
                    game.type("1")  # a wrong key: its sound goes to the paused server
                    wait_for(lambda: player.clock(game) != shown, TICK_SECONDS,
                             "the clock to tick while the sound server is paused")
            finally:
                desktop.sound_server.resume()
            left = ROUND_SECONDS - (time.monotonic() - round_started)
            wait_for(lambda: player.shows(game, player.TIME_OVER), left + TICK_SECONDS,
                     "the end of the round on time")
            heard_again(game)
            self.assertEndsCleanly(game)

    def test_quits_at_once_with_a_paused_sound_server(self):
        with Desktop() as desktop:
            game = desktop.launch(PROGRAM, traced=False)
            player.type_until_heard(game, SOUND_SECONDS, "the error sound")
            desktop.sound_server.pause()
            try:
                game.type("1")
                player.press(game, player.QUIT)
                self.assertEqual(game.wait(1), 0, game.stderr())
            finally:
                desktop.sound_server.resume()

    def test_broken_sound_files(self):
        # Each run breaks the four files in four different ways, so that good and broken sounds
        # follow each other; over all runs each file is found in every state.
        for run in range(len(SOUND_STATES)):
            def state_of(name):
                return SOUND_STATES[(SOUND_FILES.index(name) + run) % len(SOUND_STATES)]

            states = {name: state_of(name).__name__ for name in SOUND_FILES}
            with self.subTest(**states), Desktop() as desktop:
                program = copy_program(
                    os.path.join(desktop.dir, "game"),
                    lambda source, target: state_of(os.path.basename(target))(source, target))
                game = desktop.launch(program)
                player.play_round_with_every_sound(game)
                self.assertEqual(game.stderr(), "")
                self.assertEndsCleanly(game)


if __name__ == "__main__":
    run_tests()
