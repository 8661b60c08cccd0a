"""The command line through the launcher, as a terminal or the desktop's menu starts it: options answered without a
window, a home found without HOME, and a game directory that cannot be made told in a window as well."""
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

from e2e import BINARY, DATA, SOURCE

LAUNCHER = os.path.join(SOURCE, "tools", "tunnelwick-launcher.sh")


class CommandLine(unittest.TestCase):
    def test_options_and_the_launchers_failures(self):
        root = tempfile.mkdtemp(prefix="tunnelwick-cli-")
        self.addCleanup(shutil.rmtree, root, True)
        bin_dir, told = os.path.join(root, "bin"), os.path.join(root, "told")
        os.makedirs(bin_dir)
        fakes = {"xmessage": 'echo "$*" >> %s' % told,  # the window a menu's player sees
                 "getent": '[ "$1" = passwd ] && [ -n "${FAKE_HOME:-}" ] && echo "me:x:$2:$2::$FAKE_HOME:/bin/sh"'}
        for name, body in fakes.items():
            path = pathlib.Path(bin_dir, name)
            path.write_text("#!/bin/sh\n%s\n" % body)
            path.chmod(0o755)
        pathlib.Path(root, "a-file").write_text("")
        home = os.path.join(root, "home")
        usage = "Usage: tunnelwick [OPTION]"
        # Arguments, environment changes (None: unset), then the status, the start of standard output, a text in standard
        # error, whether a window told it, and the game directory made (None: none).
        cases = [
            (["--help"], {}, 0, usage, "", False, None),
            (["-h"], {}, 0, usage, "", False, None),
            (["--version"], {}, 0, "Tunnelwick ", "", False, None),
            (["--bogus"], {}, 2, "", "unknown option '--bogus'\n" + usage, False, None),
            (["--help", "extra"], {}, 2, "", "unexpected argument 'extra'", False, None),
            # No display: the game says why once, and fails.
            ([], {"HOME": None, "FAKE_HOME": home}, 1, "", "Could not initialize Allegro.", False,
             home + "/.local/share/tunnelwick"),
            ([], {"HOME": None}, 1, "", "no home directory is known", True, None),
            ([], {"XDG_DATA_HOME": root + "/a-file"}, 1, "", "could not be made", True, None),
            ([], {"HOME": "/proc"}, 1, "", "could not be made", True, None),  # unwritable, even to root
        ]
        for args, changes, status, out, err, window, made in cases:
            with self.subTest(args=args, env=changes):
                shutil.rmtree(home, True)
                pathlib.Path(told).unlink(missing_ok=True)
                env = dict(os.environ, PATH=bin_dir + ":" + os.environ["PATH"], TUNNELWICK_BIN=BINARY,
                           TUNNELWICK_DATA=DATA, HOME=home, DISPLAY=":9999")
                env.pop("XDG_DATA_HOME", None)
                env.update({k: v for k, v in changes.items() if v is not None})
                for k in [k for k, v in changes.items() if v is None]:
                    env.pop(k)
                if not window:
                    env.pop("DISPLAY")  # the game finds none
                run = subprocess.run(["sh", LAUNCHER] + args, env=env, capture_output=True, text=True, timeout=120)
                self.assertEqual(run.returncode, status, run.stderr)
                self.assertTrue(run.stdout.startswith(out), run.stdout)
                self.assertIn(err, run.stderr)
                self.assertEqual(run.stderr.count(err.split("\n")[0]) if err else len(run.stderr), 1 if err else 0, run.stderr)
                self.assertEqual(os.path.exists(told), window)
                self.assertEqual(os.path.isdir(home), made is not None and os.path.isdir(made))


if __name__ == "__main__":
    unittest.main()
