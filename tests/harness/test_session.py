"""Nothing of the caller's desktop is given to a session's processes, and one of them left running
when it closes is ended and fails it, named."""
import os
import subprocess
import sys
import unittest
from unittest import mock

from session import Session

# The caller's desktop, as a terminal of a desktop session has it.
CALLER = {"DISPLAY": "localhost:10.0", "WAYLAND_DISPLAY": "wayland-0", "HOME": "/home/user",
          "PULSE_SERVER": "unix:/run/user/pulse", "XDG_RUNTIME_DIR": "/run/user",
          "DBUS_SESSION_BUS_ADDRESS": "unix:path=/run/user/bus", "LANG": "de_DE.UTF-8",
          "XDG_CONFIG_HOME": "/home/user/.config", "XDG_DATA_DIRS": "/usr/share"}
STRAY = "import os, time\nif os.fork() == 0:\n os.setsid()\n print(flush=True)\n time.sleep(300)"


class SessionTest(unittest.TestCase):
    @mock.patch.dict(os.environ, CALLER)
    def test_nothing_of_the_callers_desktop_reaches_a_process(self):
        with Session() as session:
            for name, value in CALLER.items():
                self.assertNotEqual(session.env.get(name), value, name)
            self.assertIn(session.dir, session.env["DBUS_SESSION_BUS_ADDRESS"])

    def test_a_process_that_left_its_group_is_ended_and_named(self):
        with self.assertRaisesRegex(AssertionError, r"left running .*: \d+ \S*python\S* -c"):
            with Session(x_server=False) as session:
                with session.spawn([sys.executable, "-c", STRAY], stdout=subprocess.PIPE).stdout \
                        as started:
                    started.readline()
