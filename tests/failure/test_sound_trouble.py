"""Sound that cannot be played never stops a round: no sound device, a sound server that stops
answering or goes away, sound files that are missing, empty, cut short or not sounds at all. A
sound server that comes back is heard again, under the game's name, but no stale sound; a sink slow
to wake plays the whole sound."""
import glob
import os
import shutil
import subprocess
import time
import unittest
import wave

import audio_analysis
import player
import window
from session import Session, wait_for
from sound_server import SAMPLE_RATE, SINK, Recorder, sound_server_kind
from window import SOUND_SECONDS, Game

# A server that comes back is tried again within a second; it must be heard within two.
HEARD_AGAIN_SECONDS = 2
# The clock ticks every second; a busy machine may hold a tick up a little, a stall much longer.
TICK_SECONDS = 2
PAUSED_TICKS = 5
ROUND_SECONDS = PAUSED_TICKS + 3
# What a sound the server took late may still let through before the game cuts it off.
CUT_OFF_SECONDS = 0.015
# Time for any sound a server that came back holds to play out whole.
PLAYED_OUT_SECONDS = 1.0
# Each kind of sound server runs the file once: without this one, it skips every test.
setUpModule = sound_server_kind


def sounding_seconds(samples):
    """How long the samples sound: the 5 ms frames whose peak rises above the analysis' floor."""
    size = int(SAMPLE_RATE * audio_analysis.FRAME_SECONDS)
    floor = 32768 * 10 ** (audio_analysis.FLOOR_DBFS / 20)
    return audio_analysis.FRAME_SECONDS * sum(
        1 for start in range(0, len(samples), size)
        if max(map(abs, samples[start:start + size])) > floor)


def sound_file_seconds(name):
    """How long one of the game's sound files sounds, measured as a recording is."""
    with wave.open(os.path.join(os.path.dirname(os.environ["KEYFALL_PROGRAM"]), name)) as sound:
        # wave hands over the samples in the machine's own byte order, as cast reads them.
        frames = memoryview(sound.readframes(sound.getnframes())).cast("h")
        return sounding_seconds(frames.tolist()[::sound.getnchannels()])


def stall_between_wrong_keys(game, server):
    """The server stops answering for 2.5 s, with two wrong keys 0.5 s apart."""
    server.pause()
    try:
        game.type("1")
        time.sleep(0.5)
        game.type("1")
        time.sleep(2)
    finally:
        server.resume()


def hit_while_the_sink_sleeps(game, server):
    """The sink is suspended, a hit, and the sink wakes half a second later, as a slow one does."""
    subprocess.run(["pactl", "suspend-sink", SINK, "1"], env=game.env, check=True)
    game.type("G")  # the hidden target's caption before the first game
    time.sleep(0.5)
    subprocess.run(["pactl", "suspend-sink", SINK, "0"], env=game.env, check=True)


def desktop_names():
    """The properties that name the game's stream to the desktop's mixer: those of its desktop
    entry, its version, and the role of a game's sounds."""
    entry, = glob.glob(os.path.join(os.path.dirname(__file__), "..", "..", "assets", "desktop",
                                    "*.desktop"))
    with open(entry, encoding="utf-8") as text:
        icon, = (line[5:].strip() for line in text if line.startswith("Icon="))
    version = subprocess.run([os.environ["KEYFALL_PROGRAM"], "--version"], capture_output=True, text=True,
                             check=True).stdout.split()[-1]
    return {"application.name": "Keyfall", "application.id": os.path.basename(entry)[:-8],
            "application.icon_name": icon, "application.version": version, "media.role": "game"}


def heard_again(game):
    """Starts a round, whose wrong keys are heard within the time a server that came back has."""
    game.press("lblNew")
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


intact = shutil.copyfile
SOUND_STATES = (intact, missing, empty, cut_in_header, cut_in_samples, not_a_sound)


class SoundTrouble(unittest.TestCase):
    def assertEndsCleanly(self, game):
        game.close_window()
        self.assertEqual(game.wait(), 0, game.stderr())
        if game.trace_prefix:
            self.assertEqual(game.written_files(), [])

    def test_no_sound_device(self):
        with Session() as session:
            game = Game(session, traced=True,
                        PULSE_SERVER="unix:" + os.path.join(session.dir, "no-server"))
            player.play_round_with_every_sound(game)
            self.assertEndsCleanly(game)

    def test_sound_server_gone_while_a_sound_plays_then_back(self):
        with Session(sound_server=True) as session:
            game = Game(session, traced=True)
            player.type_until_heard(game, SOUND_SECONDS, "the error sound")
            session.sound_server.kill()
            player.play_round_with_every_sound(game)
            session.sound_server.start()
            heard_again(game)
            expected = desktop_names()
            self.assertEqual([{key: stream.get(key) for key in expected}
                              for stream in session.sound_server.stream_properties()], [expected])
            self.assertEndsCleanly(game)

    def test_sound_server_paused_mid_round(self):
        with Session(sound_server=True) as session:
            game = Game(session)
            player.start_round(game, ROUND_SECONDS)
            round_started = time.monotonic()
            session.sound_server.pause()
            try:
                for _ in range(PAUSED_TICKS):
                    shown = player.clock(game)
                    game.type("1")  # a wrong key: its sound goes to the paused server
                    wait_for(lambda: player.clock(game) != shown, TICK_SECONDS,
                             "the clock to tick while the sound server is paused")
            finally:
                session.sound_server.resume()
            left = ROUND_SECONDS - (time.monotonic() - round_started)
            wait_for(lambda: game.shows(window.colour("timeOver")), left + TICK_SECONDS,
                     "the end of the round on time")
            heard_again(game)
            self.assertEndsCleanly(game)

    def test_quits_at_once_with_a_paused_sound_server(self):
        with Session(sound_server=True) as session:
            game = Game(session)
            player.type_until_heard(game, SOUND_SECONDS, "the error sound")
            session.sound_server.pause()
            try:
                game.type("1")
                game.press("lblQuit")
                self.assertEqual(game.wait(1), 0, game.stderr())
            finally:
                session.sound_server.resume()

    def test_a_sound_is_heard_on_time_and_whole_or_not_at_all(self):
        # (what the server goes through, the servers where a client can do anything about it,
        # what is heard after it: at least, at most). PipeWire plays out a stream whose sink it
        # suspended at once, into nothing.
        whole, slack = sound_file_seconds("shooted.wav"), 2 * audio_analysis.FRAME_SECONDS
        rows = ((stall_between_wrong_keys, ("pulseaudio", "pipewire"), 0, CUT_OFF_SECONDS),
                (hit_while_the_sink_sleeps, ("pulseaudio",), whole - slack, whole + slack))
        for trouble, kinds, least, most in rows:
            with self.subTest(trouble.__name__), Session(sound_server=True) as session:
                server = session.sound_server
                if server.kind not in kinds:
                    self.skipTest(f"{server.kind} drops the sound itself")
                game = Game(session)
                player.type_until_heard(game, SOUND_SECONDS, "the error sound")
                wait_for(lambda: not server.playing_streams(), SOUND_SECONDS,
                         "the error sound to end")
                recorder = Recorder(session)
                trouble(game, server)
                recorder.wait_until_recorded(time.time() + PLAYED_OUT_SECONDS, SOUND_SECONDS)
                heard = sounding_seconds(recorder.stop())
                self.assertGreaterEqual(heard, least)
                self.assertLessEqual(heard, most)

    def test_broken_sound_files(self):
        # Each run breaks the four files in four different ways, so that good and broken sounds
        # follow each other; over all runs each file is found in every state.
        sounds = window.sound_files()
        for run in range(len(SOUND_STATES)):
            def state_of(name):
                return SOUND_STATES[(sounds.index(name) + run) % len(SOUND_STATES)]

            states = {name: state_of(name).__name__ for name in sounds}
            with self.subTest(**states), Session(sound_server=True) as session:
                program = window.copy_program(
                    os.path.join(session.dir, "game"),
                    lambda source, target: state_of(os.path.basename(target))(source, target))
                game = Game(session, program, traced=True)
                player.play_round_with_every_sound(game)
                self.assertEqual(game.stderr(), "")
                self.assertEndsCleanly(game)
