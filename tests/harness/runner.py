"""Runs a test script's unittest tests for ctest. A script whose every test was skipped, as where
the sound server, Orca or root it needs is missing, exits with SKIPPED, ctest's SKIP_RETURN_CODE."""
import importlib.util
import os
import sys
import unittest

SKIPPED = 77
# Debian's AT-SPI bindings serve Debian's own Python, which need not be the first on the PATH.
DEBIAN_PYTHON = "/usr/bin/python3"


class _Result(unittest.TextTestResult):
    """Counts the tests and subtests that ran to their end unskipped."""
    passed = 0

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passed += 1

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        self.passed += err is None


def main(accessibility_bindings=False):
    """Runs the tests of the __main__ module; accessibility_bindings: they use pyatspi, for which
    the script starts again under Debian's Python if this one lacks it."""
    if accessibility_bindings and not importlib.util.find_spec("pyatspi") and \
            sys.executable != DEBIAN_PYTHON:
        os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, *sys.argv])
    runner = unittest.TextTestRunner(resultclass=_Result, verbosity=2)
    result = unittest.main(testRunner=runner, exit=False).result
    if not result.wasSuccessful() or not (result.passed or result.skipped):
        sys.exit(1)
    sys.exit(0 if result.passed else SKIPPED)
