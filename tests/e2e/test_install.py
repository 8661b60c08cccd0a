"""Installing: `cmake --install` into a scratch prefix puts the game, its
data, the launcher, the menu entry and the icon in place; the installed
launcher seeds a fresh player's game directory, starts the game there, and
on a later run keeps what the player has."""
import os
import shutil
import struct
import subprocess
import tempfile

import e2e

BUILD_DIR = os.environ.get("TUNNELWICK_BUILD", os.path.dirname(e2e.BINARY))


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG: %s" % path
    return struct.unpack(">II", head[16:24])


class InstallTest(e2e.GameTestCase):
    def setUp(self):
        super().setUp()
        self.root = tempfile.mkdtemp(prefix="tunnelwick-install-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.prefix = os.path.join(self.root, "prefix")
        result = subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", self.prefix],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
        self.assertEqual(result.returncode, 0, result.stdout.decode(errors="replace"))

    def installed(self, relative):
        return os.path.join(self.prefix, relative)

    def test_installed_tree(self):
        launcher = self.installed("bin/tunnelwick")
        self.assertTrue(os.access(launcher, os.X_OK))
        self.assertTrue(os.access(self.installed("lib/tunnelwick/tunnelwick"), os.X_OK))
        data = self.installed("share/tunnelwick/data")
        for name in ("graphics/zada.pcx", "graphics/menu/menu_bg.pcx"):
            self.assertTrue(os.path.isfile(os.path.join(data, name)), name)
        shipped_levels = os.path.join(e2e.DATA_DIR, "levels")
        if os.path.isdir(shipped_levels):
            self.assertEqual(sorted(os.listdir(os.path.join(data, "levels"))),
                             sorted(os.listdir(shipped_levels)))

        with open(self.installed("share/applications/tunnelwick.desktop")) as f:
            entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name"], "Tunnelwick")
        self.assertEqual(entry["Exec"], launcher)
        self.assertEqual(entry["Icon"], "tunnelwick")
        self.assertIn("Game", entry["Categories"].split(";"))
        self.assertEqual(png_size(self.installed("share/icons/hicolor/32x32/apps/tunnelwick.png")),
                         (32, 32))

    def test_launcher_seeds_the_player_directory_and_keeps_it(self):
        home = os.path.join(self.root, "home")
        xdg = os.path.join(self.root, "xdg")
        os.makedirs(home)
        env = {"HOME": home, "XDG_DATA_HOME": xdg}
        # The launcher goes to the player's directory by itself; it is started
        # from an unrelated one.
        elsewhere = self.make_dir(seed=False)
        launcher = self.installed("bin/tunnelwick")

        game = self.start_game(game_dir=elsewhere, env=env, command=[launcher])
        game.wait_for_frame()
        gamedir = os.path.join(xdg, "tunnelwick")
        self.assertTrue(os.path.isfile(os.path.join(gamedir, "graphics/zada.pcx")))
        self.assertTrue(os.path.isdir(os.path.join(gamedir, "sounds")))
        self.assertEqual(os.listdir(elsewhere.path), [], "the launcher wrote where it was started")
        self.assertEqual(game.close(), 0)

        # The player's own files survive the next start.
        os.makedirs(os.path.join(gamedir, "levels"), exist_ok=True)
        own = {"highscores.dat": b"1 5\r\n", "settings.ini": b"77\r\n0\r\n",
               "levels/1.lvl": b"My own first level\r\n1 1 5 5\r\n"}
        for name, content in own.items():
            with open(os.path.join(gamedir, name), "wb") as f:
                f.write(content)
        game = self.start_game(game_dir=elsewhere, env=env, command=[launcher])
        game.wait_for_frame()
        self.assertEqual(game.close(), 0)
        for name, content in own.items():
            with open(os.path.join(gamedir, name), "rb") as f:
                self.assertEqual(f.read(), content, name)


if __name__ == "__main__":
    e2e.main()
