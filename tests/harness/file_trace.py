"""Reads the per-process logs of `strace -ff -o PREFIX`: the files a program opened or changed."""
import glob
import os
import re

TRACED_CALLS = ("open", "openat", "openat2", "creat", "mkdir", "mkdirat", "rename", "renameat",
                "renameat2", "unlink", "unlinkat", "rmdir", "truncate", "link", "linkat",
                "symlink", "symlinkat", "mknod", "mknodat")
OPEN_CALLS = ("open", "openat", "openat2")
WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC")
CALL = re.compile(r'^(?P<name>\w+)\((?P<args>.*)\)\s+=\s+(?P<result>-?\d+)')
PATH = re.compile(r'"((?:[^"\\]|\\.)*)"')


def decode(quoted):
    """Undoes strace's escapes: bytes outside ASCII come as octal escapes of UTF-8."""
    return quoted.encode().decode("unicode_escape").encode("latin-1").decode("utf-8", "replace")


def successful_calls(prefix):
    """(call name, its argument text, its paths) for every call of every traced process that
    succeeded."""
    for log in sorted(glob.glob(glob.escape(prefix) + ".*")):
        with open(log, encoding="utf-8", errors="replace") as lines:
            for line in lines:
                call = CALL.match(line)
                if call and int(call["result"]) >= 0:
                    paths = [decode(path) for path in PATH.findall(call["args"])]
                    yield call["name"], call["args"], paths


def writes(name, args):
    return name not in OPEN_CALLS or any(flag in args for flag in WRITE_FLAGS)


def written_by_the_system(path, home):
    """Whether the path is one that the system writes for any program that shows text or plays
    sound: devices, fontconfig's caches and libpulse's cookie, with the folders of the home made
    to hold them."""
    if path.startswith(("/dev/", "/proc/")):
        return True
    kept = ("/var/cache/fontconfig", os.path.join(home, ".cache", "fontconfig"),
            os.path.join(home, ".config", "pulse", "cookie"))
    return any(path == place or path.startswith(place + "/") or
               (place.startswith(path + "/") and path.startswith(home + "/")) for place in kept)


def files_written(prefix, home):
    """Every path the traced processes, whose home is the given folder, created, wrote, renamed
    or removed, but for those the system writes for them."""
    return [path for name, args, paths in successful_calls(prefix) if writes(name, args)
            for path in paths if not written_by_the_system(path, home)]


def files_read(prefix):
    """Every path the traced processes opened for reading only."""
    return {path for name, args, paths in successful_calls(prefix)
            if name in OPEN_CALLS and not writes(name, args) for path in paths}
