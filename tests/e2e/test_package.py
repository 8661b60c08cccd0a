"""A friend's copy: the Debian package built, its fields and lintian checked, unpacked anywhere and started."""
import glob
import os
import pathlib
import re
import subprocess
import tempfile
import unittest

from e2e import BINARY, SOURCE, Game
from test_player import on_menu


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, timeout=600).stdout


class PackageStory(unittest.TestCase):
    def test_friends_copy(self):
        out = self.enterContext(tempfile.TemporaryDirectory(prefix="tunnelwick-package-"))
        subprocess.run(["cpack", "-G", "DEB", "-B", out, "--config", os.path.dirname(BINARY) + "/CPackConfig.cmake"],
                       check=True, stdout=subprocess.DEVNULL, timeout=600)
        deb = os.path.join(out, next(n for n in os.listdir(out) if n.endswith(".deb")))
        fields = {f: run("dpkg-deb", "-f", deb, f).strip() for f in ("Package", "Version", "Architecture",
                                                                     "Depends", "Recommends")}
        version, arch = fields["Version"], run("dpkg", "--print-architecture").strip()
        self.assertRegex(version, r"^\d+\.\d+\.\d+$")
        self.assertEqual((fields["Package"], fields["Architecture"], fields["Recommends"], os.path.basename(deb)),
                         ("tunnelwick", arch, "x11-utils", "tunnelwick_%s_%s.deb" % (version, arch)))
        needs = re.findall(r"(?:^|, )([\w.+-]+)", fields["Depends"])
        for library in ("liballegro4.4", "libsdl2-mixer-2.0-0", "libsdl2-2.0-0", "libstdc++6", "libc6"):
            self.assertIn(library, needs)

        # No error; every warning is written down, with its reason, in docs/install.md.
        said = re.findall(r"^([EW]): tunnelwick: (\S+)", run("lintian", deb), re.M)
        self.assertEqual([tag for kind, tag in said if kind == "E"], [])
        with open(os.path.join(SOURCE, "docs", "install.md")) as notes:
            written = notes.read()
        self.assertEqual([tag for _, tag in said if tag not in written], [])

        unpacked = os.path.join(out, "anywhere")
        subprocess.run(["dpkg-deb", "-x", deb, unpacked], check=True, timeout=300)
        launcher = unpacked + "/usr/games/tunnelwick"
        self.assertEqual(run(launcher, "--version"), "Tunnelwick %s\n" % version)
        game = Game(self, launcher=launcher)
        game.until("the menu", lambda: on_menu(game, 0))
        with open(unpacked + "/usr/share/tunnelwick/data/levels/1.lvl", "rb") as shipped:
            self.assertEqual(game.read("levels/1.lvl"), shipped.read())
        # The second pack is copied in as the levels are.
        packs = sorted(glob.glob(unpacked + "/usr/share/tunnelwick/data/packs/*/*"))
        self.assertEqual(bool(packs), os.path.isdir(os.path.join(SOURCE, "data", "packs")))
        for shipped in packs:
            self.assertEqual(game.read(shipped.split("/data/", 1)[1]), pathlib.Path(shipped).read_bytes(), shipped)
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
