"""The built program and the sounds beside it, as ctest names them, and copies of them."""
import os
import shutil

from desktop import SOUND_FILES

PROGRAM = os.environ["KEYFALL_PROGRAM"]
PROGRAM_DIR = os.path.dirname(PROGRAM)


def copy_program(folder, sound_maker=None):
    """Copies the program into a new folder; sound_maker(name, source, target) lays each sound
    beside it, a plain copy by default. Returns the copy's path."""
    os.makedirs(folder)
    copy = os.path.join(folder, os.path.basename(PROGRAM))
    shutil.copy2(PROGRAM, copy)
    for name in SOUND_FILES:
        (sound_maker or intact)(os.path.join(PROGRAM_DIR, name), os.path.join(folder, name))
    return copy


def intact(source, target):
    shutil.copyfile(source, target)
