"""Without a window system the game says why in one line and ends with status 1: no abort, no
core dump."""
import os
import subprocess
import tempfile
import unittest

from game_under_test import PROGRAM

PREFIX = "keyfall: cannot open the game window: "


def free_display():
    """A display number no X server on this machine uses."""
    number = 900
    while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        number += 1
    return f":{number}"


class NoDisplay(unittest.TestCase):
    def start(self, **env):
        """Runs the game with only the given environment, in an empty folder."""
        env = {name: value for name, value in env.items() if value is not None}
        env.setdefault("PATH", os.environ.get("PATH", "/usr/bin:/bin"))
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        with tempfile.TemporaryDirectory() as folder:
            env.update(HOME=folder, XDG_RUNTIME_DIR=folder)
            result = subprocess.run([PROGRAM], env=env, cwd=folder, capture_output=True,
                                    text=True, timeout=60, stdin=subprocess.DEVNULL)
            self.assertEqual(os.listdir(folder), [], "the game left files behind")
        return result

    def assertGivesUp(self, result, reason):
        self.assertEqual(result.returncode, 1, f"status {result.returncode}: {result.stderr}")
        self.assertEqual(result.stdout, "")
        self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
        self.assertTrue(result.stderr.startswith(PREFIX), result.stderr)
        self.assertIn(reason, result.stderr)

    def test_display_not_set(self):
        self.assertGivesUp(self.start(), "no display (DISPLAY is not set)")

    def test_display_not_set_with_x11_platform_asked_for(self):
        self.assertGivesUp(self.start(QT_QPA_PLATFORM="xcb"), "no display (DISPLAY is not set)")

    def test_display_where_no_server_answers(self):
        display = free_display()
        self.assertGivesUp(self.start(DISPLAY=display), f"could not connect to display {display}")

    def test_platform_that_does_not_exist(self):
        self.assertGivesUp(self.start(DISPLAY=free_display(), QT_QPA_PLATFORM="nowhere"),
                           '"nowhere"')


if __name__ == "__main__":
    unittest.main()
