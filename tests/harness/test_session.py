"""A session passes nothing of the caller's desktop to what runs in it, and a process of its own
left running when it closes is ended and fails the session, named."""
import os
import subprocess
import sys
import unittest
from unittest import mock

from session import Session

# The caller's desktop, as a terminal of a desktop session has it.
CALLER = {"DISPLAY": "localhost:10.0", "WAYLAND_DISPLAY": "wayland-0",
          "PULSE_SERVER": "unix:/run/user/pulse",
          "DBUS_SESSION_BUS_ADDRESS": "unix:path=/run/user/bus",
          "XDG_RUNTIME_DIR": "/run/user", "XDG_CONFIG_HOME": "/home/user/.config",
          "XDG_DATA_DIRS": "/usr/share", "HOME": "/home/user", "LANG": "de_DE.UTF-8"}


class SessionTest(unittest.TestCase):
    @mock.patch.dict(os.environ, CALLER)
    def test_nothing_of_the_callers_desktop_reaches_a_process(self):
        with Session() as session:
            seen = subprocess.run(["env", "-0"], env=session.env, capture_output=True,
                                  text=True, check=True).stdout
            environment = dict(line.split("=", 1) for line in seen.split("\0") if line)
        for name, value in CALLER.items():
            with self.subTest(name):
                self.assertNotEqual(environment.get(name), value)
        for name in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SERVER", "XDG_RUNTIME_DIR"):
            self.assertTrue(environment[name].startswith(
                (":", "unix:path=" + session.dir, "unix:" + session.dir, session.dir)), name)

    def test_a_process_that_left_its_group_is_ended_and_named(self):
        stray = ("import os, time\nif os.fork() == 0:\n    os.setsid()\n"
                 "    print('away', flush=True)\n    time.sleep(300)")
        with self.assertRaisesRegex(AssertionError, r"left running .*: \d+ \S*python3 -c"):
            with Session(x_server=False) as session:
                started = session.spawn([sys.executable, "-c", stray], stdout=subprocess.PIPE)
                with started.stdout as out:
                    out.readline()


if __name__ == "__main__":
    unittest.main()
