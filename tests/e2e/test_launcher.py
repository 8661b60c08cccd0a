"""The launcher: seeds the per-user game directory, keeps the player's files
on later runs, and starts the game there."""
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

import e2e

LAUNCHER = os.path.join(e2e.SOURCE_DIR, "tools", "tunnelwick-launcher.sh")

# Stands in for the game: notes where it ran and what it found there.
FAKE_GAME = b"""#!/bin/sh
pwd > "$RUN_LOG"
find . -type f | sort >> "$RUN_LOG"
exit ${FAKE_STATUS:-0}
"""


def write(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    pathlib.Path(path).write_bytes(content)


def read(path):
    return pathlib.Path(path).read_bytes()


class LauncherSeeding(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="tunnelwick-launcher-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.data = os.path.join(self.root, "shipped")
        self.shipped = {"graphics/rock.pcx": b"rock v1", "graphics/menu/play.pcx": b"play",
                        "sounds/bird1a.mp3": b"bird", "levels/1.lvl": b"level one\r\n",
                        "levels/2.lvl": b"level two\r\n", "highscores.dat": b""}
        for name, content in self.shipped.items():
            self.ship(name, content)
        self.fake = os.path.join(self.root, "fake-game")
        write(self.fake, FAKE_GAME)
        os.chmod(self.fake, 0o755)
        self.xdg = os.path.join(self.root, "xdg")
        self.game_dir = os.path.join(self.xdg, "tunnelwick")
        self.log = os.path.join(self.root, "run.log")

    def ship(self, name, content):
        write(os.path.join(self.data, name), content)

    def launch(self, **env):
        run_env = dict(os.environ, TUNNELWICK_DATA=self.data, TUNNELWICK_BIN=self.fake, XDG_DATA_HOME=self.xdg,
                       RUN_LOG=self.log)
        run_env.update(env)
        run_env = {k: v for k, v in run_env.items() if v is not None}
        return subprocess.run([LAUNCHER], env=run_env, capture_output=True, timeout=60, cwd=self.root)

    def game(self, name):
        return os.path.join(self.game_dir, name)

    def test_first_run_copies_everything_and_runs_there(self):
        result = self.launch()
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = read(self.log).decode().split("\n")
        self.assertEqual(lines[0], self.game_dir)
        self.assertEqual(sorted(l for l in lines[1:] if l), sorted("./" + name for name in self.shipped))
        self.assertEqual(read(self.game("levels/1.lvl")), b"level one\r\n")

    def test_later_runs_keep_the_players_files_and_add_new_ones(self):
        self.launch()
        players = {"highscores.dat": b"1 12\r\n", "settings.ini": b"100\r\n0\r\n",
                   "levels/1.lvl": b"my edited level one\r\n", "levels/42.lvl": b"my own level\r\n"}
        for name, content in players.items():
            write(self.game(name), content)
        os.remove(self.game("levels/2.lvl"))  # the player may delete one; it comes back
        # A new release: a new level, a changed level, better art.
        self.ship("levels/3.lvl", b"level three\r\n")
        self.ship("levels/1.lvl", b"level one, revised\r\n")
        self.ship("graphics/rock.pcx", b"rock v2")

        self.assertEqual(self.launch().returncode, 0)
        expected = dict(players, **{"levels/3.lvl": b"level three\r\n", "levels/2.lvl": b"level two\r\n",
                                    "graphics/rock.pcx": b"rock v2"})
        for name, content in expected.items():
            self.assertEqual(read(self.game(name)), content, name)
        leftovers = [f for _, _, files in os.walk(self.game_dir) for f in files if ".new." in f]
        self.assertEqual(leftovers, [])

    def test_default_place_is_under_home(self):
        home = os.path.join(self.root, "home")
        os.makedirs(home)
        for xdg in (None, "", "relative/path"):
            result = self.launch(XDG_DATA_HOME=xdg, HOME=home)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(read(self.log).decode().split("\n")[0], os.path.join(home, ".local/share/tunnelwick"))

    def test_missing_binary_or_data_is_said_plainly_and_the_exit_status_comes_through(self):
        for var, text in (("TUNNELWICK_BIN", b"binary was not found"),
                          ("TUNNELWICK_DATA", b"data directory was not found")):
            result = self.launch(**{var: os.path.join(self.root, "nothing")})
            self.assertNotEqual(result.returncode, 0)
            self.assertIn(text, result.stderr)
        self.assertFalse(os.path.exists(self.game_dir))
        self.assertEqual(self.launch(FAKE_STATUS="1").returncode, 1)


class LauncherWithTheGame(e2e.GameTestCase):
    def test_starts_the_real_game_in_the_players_directory(self):
        home = self.make_dir(seed=False)
        shipped = e2e.DATA_DIR if os.path.isdir(e2e.DATA_DIR) else self.make_dir(seed=False).path
        game = self.start_game(game_dir=home, command=[LAUNCHER],
                               env={"XDG_DATA_HOME": home.path, "TUNNELWICK_BIN": e2e.BINARY,
                                    "TUNNELWICK_DATA": shipped})
        self.assertEqual(os.readlink("/proc/%d/cwd" % game.pid), home.file("tunnelwick"))
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
