"""scripts/test-on-debian stops within seconds on Ctrl+C and on SIGTERM, whether it installs on
this machine or runs in the system, and leaves no process, mount or tree behind. Slow, harmless
stand-ins take the place of the install and of the steps in the system; the real script runs
them, as root (the test is skipped otherwise)."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

from session import Session, wait_for

SOURCE_DIR = os.environ["KEYFALL_SOURCE_DIR"]
SKIPPED = 77
STOPPED_WITHIN_SECONDS = 10
# The stand-ins: each does what its step does to the machine where that matters to stopping (the
# system's step mounts in its tree and leaves a process behind it), says that it is under way,
# and then takes its time.
INSTALL = """#!/bin/sh
[ "$SLOW_STEP" != install ] || { touch "$UNDER_WAY"; exec sleep 600; }
"""
SYSTEM = """#!/bin/sh
mkdir -p "$3/root" && mount -t tmpfs stand-in "$3/root" && sleep 600 &
until mountpoint -q "$3/root"; do sleep 0.1; done
touch "$UNDER_WAY"
sleep 600
"""
# (step under way, how the stop is asked for, the status the script ends with)
STOPS = (
    ("install", "Ctrl+C", 130),
    ("install", "SIGTERM", 143),
    ("system", "Ctrl+C", 130),
    ("system", "SIGTERM", 143),
)


def checkout(folder):
    """A checkout holding the real script and the stand-ins of what it runs."""
    os.makedirs(os.path.join(folder, "scripts"))
    shutil.copy(os.path.join(SOURCE_DIR, "scripts", "test-on-debian"),
                os.path.join(folder, "scripts"))
    for name, text in (("install-deps", INSTALL), ("in-debian-system", SYSTEM)):
        path = os.path.join(folder, "scripts", name)
        with open(path, "w", encoding="utf-8") as script:
            script.write(text)
        os.chmod(path, 0o755)


def mounts_under(folder):
    targets = subprocess.run(["findmnt", "-rn", "-o", "TARGET"], capture_output=True,
                             text=True, check=True).stdout.splitlines()
    return [target for target in targets if (target + "/").startswith(folder + "/")]


class FreshSystemStops(unittest.TestCase):
    def test_stops_and_leaves_nothing(self):
        for step, stop, expected_status in STOPS:
            with self.subTest(step=step, stop=stop), tempfile.TemporaryDirectory() as folder:
                checkout(folder)
                work = os.path.join(folder, "build", "debian-13")
                under_way = os.path.join(folder, "under-way")
                # The session fails the test, naming it, if a process of the run outlives it.
                with Session(x_server=False) as session:
                    run = session.spawn([os.path.join(folder, "scripts", "test-on-debian"), "13"],
                                        env=dict(session.env, SLOW_STEP=step,
                                                 UNDER_WAY=under_way))
                    wait_for(lambda: os.path.exists(under_way), 60, step + " under way")
                    if stop == "Ctrl+C":
                        os.killpg(run.pid, signal.SIGINT)
                    else:
                        run.send_signal(signal.SIGTERM)
                    status = run.wait(STOPPED_WITHIN_SECONDS)
                self.assertEqual(status, expected_status)
                self.assertEqual(mounts_under(folder), [])
                self.assertFalse(os.path.exists(work), "the tree is left")


if __name__ == "__main__":
    if os.getuid() != 0:
        sys.exit(SKIPPED)
    unittest.main()
