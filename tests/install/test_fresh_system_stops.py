"""scripts/test-on-debian, run as root with slow stand-ins for the install on this machine and for
mmdebstrap (which mounts in its tree and leaves a process behind), stops within seconds on Ctrl+C
and on SIGTERM and leaves no process, mount or tree behind."""
import os
import shutil
import signal
import subprocess
import tempfile
import unittest

from session import Session, wait_for

SOURCE_DIR = os.environ["KEYFALL_SOURCE_DIR"]
STAND_INS = {
    "scripts/install-deps": '[ "$SLOW" != install ] || { touch "$UNDER_WAY"; exec sleep 600; }\n',
    "bin/mmdebstrap": 'mkdir "$TMPDIR/root" && mount -t tmpfs stand-in "$TMPDIR/root" && sleep 600 &\n'
                      'until mountpoint -q "$TMPDIR/root"; do sleep 0.1; done\n'
                      'touch "$UNDER_WAY"; sleep 600\n',
}
# (step under way, signal, sent to the process group as Ctrl+C does or to the script alone)
STOPS = (("install", signal.SIGINT, True), ("install", signal.SIGTERM, False),
         ("system", signal.SIGINT, True), ("system", signal.SIGTERM, False))


def mounts_under(folder):
    targets = subprocess.run(["findmnt", "-rn", "-o", "TARGET"], capture_output=True,
                             text=True, check=True).stdout.splitlines()
    return [target for target in targets if (target + "/").startswith(folder + "/")]


@unittest.skipUnless(os.getuid() == 0, "only root makes the system's namespaces")
class FreshSystemStops(unittest.TestCase):
    def test_stops_and_leaves_nothing(self):
        for step, signum, to_group in STOPS:
            with self.subTest(step=step, signal=signum), tempfile.TemporaryDirectory() as folder:
                script = os.path.join(folder, "scripts", "test-on-debian")
                os.makedirs(os.path.dirname(script))
                shutil.copy(os.path.join(SOURCE_DIR, "scripts", "test-on-debian"), script)
                os.makedirs(os.path.join(folder, "bin"))
                for name, text in STAND_INS.items():
                    with open(os.path.join(folder, name), "w") as stand_in:
                        stand_in.write("#!/bin/sh\n" + text)
                    os.chmod(stand_in.name, 0o755)
                under_way = os.path.join(folder, "under-way")
                with Session(x_server=False) as session:  # fails on a process left running
                    run = session.spawn([script, "13"], env=dict(
                        session.env, SLOW=step, UNDER_WAY=under_way,
                        PATH=os.path.join(folder, "bin") + os.pathsep + session.env["PATH"]))
                    wait_for(lambda: os.path.exists(under_way), 60, step + " under way")
                    (os.killpg if to_group else os.kill)(run.pid, signum)
                    self.assertEqual(run.wait(10), 128 + signum)
                self.assertEqual(mounts_under(folder), [])
                self.assertEqual(os.listdir(os.path.join(folder, "build")), [])
