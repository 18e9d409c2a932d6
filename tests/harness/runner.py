"""Runs the unittest tests of a test script for ctest: runner.py SCRIPT [unittest's options]. A
script whose every test was skipped, as where the sound server, Orca or root it needs is missing,
exits with SKIPPED, ctest's SKIP_RETURN_CODE."""
import importlib.util
import os
import sys
import unittest

SKIPPED = 77
# Debian's AT-SPI bindings serve Debian's own Python alone, which need not be the first on the
# PATH: without them, the tests run under it.
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


def main(script, *options):
    if not importlib.util.find_spec("pyatspi") and sys.executable != DEBIAN_PYTHON:
        os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, *sys.argv])
    name = os.path.splitext(os.path.basename(script))[0]
    found = importlib.util.spec_from_file_location(name, script)
    module = sys.modules[name] = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    runner = unittest.TextTestRunner(resultclass=_Result, verbosity=2)
    result = unittest.main(module, argv=[script, *options], testRunner=runner, exit=False).result
    if not result.wasSuccessful() or not (result.passed or result.skipped):
        sys.exit(1)
    sys.exit(0 if result.passed else SKIPPED)


if __name__ == "__main__":
    main(*sys.argv[1:])
