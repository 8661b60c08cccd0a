"""A level designer's afternoon, one story, in an installed game: the launcher
seeds the player's directory and keeps the player's own files; the editor asks
before it replaces a level, paints, numbers, titles and saves one (the file,
byte for byte), checks it (V) and tells of a save it could not make; the
chooser, 60 levels long, marks it and it is played to the bone. A new step is
a press and the outcome to wait for, put where the designer meets it."""
import os
import subprocess
import tempfile
import unittest

from e2e import BINARY, DATA, Game, level
from test_player import BLUE, RED, dog_at, on_menu

# With the shipped levels and the one drawn here, 60 on disk: the chooser scrolls to the last.
OWN = {"levels/%d.lvl" % n: level("My own %d" % n, (9, 1), (9, 12))
       for n in [1] + list(range(len(os.listdir(DATA + "/levels")) + 1, 60))}
OWN["highscores.dat"] = b"1 5\r\n"
# Down eight cells onto the rock, then ten to the right onto the bone.
DRAWN = level("Dug by hand", dog=(2, 1), bone=(12, 9), rocks=[(2, 10)])


class DesignerStory(unittest.TestCase):
    def prompt(self, game, key, text, end="Escape"):
        game.press(key)
        game.until("the prompt", lambda: game.extent((255, 255, 0), (0, 232, 640, 8)))
        game.type(text)
        game.until("the text typed", lambda: game.extent((255, 255, 255), (0, 240, 640, 8)) > 8 * len(text) - 6)
        game.press(end)

    def test_afternoon(self):
        prefix = self.enterContext(tempfile.TemporaryDirectory(prefix="tunnelwick-install-"))
        subprocess.run(["cmake", "--install", os.path.dirname(BINARY), "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL, timeout=300)
        with open(prefix + "/share/applications/tunnelwick.desktop") as entry:
            self.assertIn("Exec=%s/bin/tunnelwick\n" % prefix, entry.read())
        game = Game(self, files=OWN, launcher=prefix + "/bin/tunnelwick")
        game.until("the menu", lambda: on_menu(game, 0))
        self.assertEqual(game.read("levels/1.lvl"), OWN["levels/1.lvl"])
        number = next(n for n in range(1, 100) if game.read("levels/%d.lvl" % n) is None)

        game.press("l", "s")  # the editor's random board, under level 1's number: S asks first
        game.until("the question", lambda: game.says("Replace levels/1.lvl? (Y/N)", RED, (0, 240, 640, 8)))
        game.press("n")
        game.until("the editor again", lambda: game.says("Editing level #1", (255, 255, 255), (0, 12, 640, 8)))
        self.assertEqual(game.read("levels/1.lvl"), OWN["levels/1.lvl"])
        game.press("e")  # a blank board, the dog as brush
        for keys, (column, row) in ((["Right", "Right"], (2, 10)), (["Left", "Left"], (2, 1)), (["Left"], (12, 9))):
            game.press(*keys)  # the brushes: ... rock, black rock, dog, bone ...
            game.click(32 * column + 16, 32 * row + 16)
        self.prompt(game, "n", str(number))
        self.prompt(game, "t", "Dug by hand", "Return")
        game.press("s")
        game.until("the level saved", lambda: game.read("levels/%d.lvl" % number) == DRAWN)
        game.press("v")
        self.assertEqual(game.message(), "Can be won in 2 moves: Down Right")
        game.press("Right", "Right", "Right")  # the rock brush, and a rock on the bone
        game.click(32 * 12 + 16, 32 * 9 + 16)
        game.press("v")
        self.assertEqual(game.message(), "Cannot be won: the bone is buried under a rock")
        saved = os.path.join(game.dir, "levels/%d.lvl" % number)
        os.chmod(saved, 0o444)  # refused by the game even to root, unlike a read-only directory
        os.chmod(os.path.dirname(saved), 0o555)
        game.press("s")
        game.until("the note", lambda: game.says("Could not save levels/%d.lvl: " % number, (255, 230, 140),
                                                 (0, 468, 640, 8)))
        os.chmod(os.path.dirname(saved), 0o755)
        self.assertEqual(game.read("levels/%d.lvl" % number), DRAWN)

        game.press("Escape", "Return", "s")  # play; the chooser marks the level being played
        game.until("the marker on the last level", lambda: game.says('---> Level: "Dug by hand" - #%d' % number, BLUE))
        game.press("Return")
        game.until("the saved level", lambda: dog_at(game, 2, 1))
        game.press("Down")
        game.until("the dog on the rock", lambda: dog_at(game, 2, 9))
        game.press("Right")
        game.until("the record", lambda: game.read("highscores.dat") == b"1 5\r\n%d 2\r\n" % number)
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
