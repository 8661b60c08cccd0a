"""A designer's afternoon, installed: own files kept; the editor asks, paints, saves, checks (V), fails; then play."""
import os
import subprocess
import tempfile
import unittest

from e2e import BINARY, DATA, Game, level, picture
from test_player import RED, dog_at, on_menu

# With the shipped levels and the one drawn here, 60 on disk: the chooser scrolls to the last.
OWN = {"levels/%d.lvl" % n: level("My own %d" % n, (9, 1), (9, 12))
       for n in [1] + list(range(len(os.listdir(DATA + "/levels")) + 1, 60))}
OWN["highscores.dat"] = b"1 5\r\n"
# Down eight cells onto the rock, then ten to the right onto the bone.
DRAWN = level("Dug by hand", dog=(2, 1), bone=(12, 9), rocks=[(2, 10)])


def unlike(game, a, b, stone=True):
    """The share of pixels that differ between board cells a and b on screen: of those where rock.pcx
    has its stone, or (stone False) of those round it."""
    pw, ph, rock = picture("rock.pcx")
    sw, _, shot = game.screen()
    at = lambda cell, i: shot[3 * ((32 * cell[1] + i // pw) * sw + 32 * cell[0] + i % pw):][:3]
    pixels = [i for i in range(pw * ph) if (rock[3 * i:3 * i + 3] != b"\xff\x00\xff") == stone]
    return sum(at(a, i) != at(b, i) for i in pixels) / len(pixels)


class DesignerStory(unittest.TestCase):
    def test_afternoon(self):
        prefix = self.enterContext(tempfile.TemporaryDirectory(prefix="tunnelwick-install-"))
        subprocess.run(["cmake", "--install", os.path.dirname(BINARY), "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL, timeout=300)
        with open(prefix + "/share/applications/tunnelwick.desktop") as entry:
            self.assertIn("Exec=%s/games/tunnelwick\n" % prefix, entry.read())
        game = Game(self, files=OWN, launcher=prefix + "/games/tunnelwick")
        game.until("the menu", lambda: on_menu(game, 0))
        self.assertEqual(game.read("levels/1.lvl"), OWN["levels/1.lvl"])
        number = next(n for n in range(1, 100) if game.read("levels/%d.lvl" % n) is None)
        saved = "levels/%d.lvl" % number

        # The editor's random board, under level 1's number: S asks first.
        game.step("l s", "the question", game.saying("Replace levels/1.lvl? (Y/N)", colour=RED, y=240))
        game.step("n", "the editor again", game.saying("New level #1", colour=(255, 255, 255)))
        self.assertEqual(game.read("levels/1.lvl"), OWN["levels/1.lvl"])
        game.press("e")  # a blank board, the dog as brush; the brushes: ... rock, black rock, dog, bone ...
        for keys, column, row in (("Right Right", 2, 10), ("Left Left", 2, 1), ("Left", 12, 9)):
            game.press(*keys.split())
            game.click(32 * column + 16, 32 * row + 16)
        for key, text, end in (("n", str(number), "Escape"), ("t", "Dug by hand", "Return")):
            game.step(key, "the prompt", lambda: game.extent((255, 255, 0), (0, 224, 640, 8)))
            game.type(text)
            game.until("the text typed", lambda: game.extent((255, 255, 255), (0, 240, 640, 8)) > 8 * len(text) - 6)
            game.press(end)
            if key == "n":
                game.until("the caption after N", game.saying('New level #%d - brush' % number, colour=(255, 255, 255)))
        game.step("s", "the level saved", lambda: game.read(saved) == DRAWN)
        game.message("v", "Can be won in 2 moves: Down Right")
        game.press("Right", "Right", "Right")  # the rock brush, and a rock on the bone
        game.click(32 * 12 + 16, 32 * 9 + 16)
        game.x("mousemove", "--window", game.window, 620, 400)  # the brush, the editor's pointer, off the cells compared
        # Against the plain rock painted at (2, 10): the bone's edge alone differs.
        game.until("the buried bone's outline over its rock", lambda: 0.02 < unlike(game, (12, 9), (2, 10)) < 0.3)
        game.click(32 * 5 + 16, 32 * 1 + 16)  # a rock on the grass row stands on the grass
        game.x("mousemove", "--window", game.window, 620, 400)
        game.until("the rock on the grass", lambda: unlike(game, (5, 1), (2, 10)) == 0 == unlike(game, (5, 1), (6, 1), False))
        game.message("v", "Cannot be won: the bone is buried under a rock")
        os.chmod(os.path.join(game.dir, saved), 0o444)  # refused by the game even to root, unlike a read-only directory
        os.chmod(os.path.join(game.dir, "levels"), 0o555)
        game.step("s", "the question", game.saying("Replace %s? (Y/N)" % saved, colour=RED, y=240))  # painted since
        game.step("y", "the note", game.saying("Could not save %s: " % saved, colour=(255, 230, 140), y=448))
        os.chmod(os.path.join(game.dir, "levels"), 0o755)
        self.assertEqual(game.read(saved), DRAWN)
        keys = game.saying("E clear  N number  T title  V check  S save  L load  Esc menu", colour=(230, 220, 200), y=468)
        game.step("F1", "the key line hidden", lambda: not keys())
        game.step("F1", "the key line back", keys)

        game.step("Escape Return s", "the chooser marking the level being played",
                  lambda: game.saying("Level %d" % number, colour=(255, 214, 64), y=None)()
                  and game.saying("Dug by hand", colour=(230, 220, 200), y=None)())
        game.step("Return", "the saved level", lambda: dog_at(game, 2, 1))
        game.step("Down", "the dog on the rock", lambda: dog_at(game, 2, 9))
        game.step("Right", "the record", lambda: game.read("highscores.dat") == b"1 5\r\n%d 2\r\n" % number)
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
