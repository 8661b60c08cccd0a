"""A friend's pack dropped into packs/: Tab turns the chooser to it, and a level won there is kept in its own table."""
import unittest

from e2e import Game, level

LIT, GOLD = (255, 214, 64), (255, 230, 120)
FOLDER = "packs/Ana's gärten"


class PackStory(unittest.TestCase):
    def test_a_shared_pack(self):
        game = Game(self, {1: level("Home", dog=(4, 1), bone=(12, 9))},
                    {"highscores.dat": b"1 9\r\n", FOLDER + "/1.lvl": level("Straight down", dog=(6, 1), bone=(6, 14)),
                     FOLDER + "/3.lvl": level("After a gap", dog=(2, 1), bone=(2, 14)),
                     FOLDER + "/pack.txt": b"Ana's tunnels\r\n"})
        said = game.saying
        game.until("the menu", lambda: game.shows("menu/playon.pcx", 432, 480 - 4 * 58))
        game.step("s", "the chooser on the shipped set", lambda: said("Tunnelwick (1 of 2)", colour=LIT, y=27)()
                  and said("Choose a level", colour=GOLD, y=14)())
        game.step("Tab", "the friend's pack", lambda: said("Ana's tunnels (2 of 2)", colour=LIT, y=27)()
                  and said("Level 3", colour=GOLD, y=None)())
        game.step("Return", "its first level", lambda: game.shows("zada.pcx", 6 * 32, 32))
        game.step("Down", "won", lambda: game.shows("zada_wins.pcx", 120, 60))
        game.until("the win in the pack's own table", lambda: game.read(FOLDER + "/highscores.dat") == b"1 1\r\n")
        self.assertEqual(game.read("highscores.dat"), b"1 9\r\n", "the main table untouched")
        # Level 2 is missing: the pack ends here, and the finale counts its two levels.
        game.step("Return", "the pack's finale", said("1 of 2 levels solved", colour=GOLD, y=None))
        game.step("Escape Escape", "the game ended", lambda: game.game.poll() is not None)
        self.assertEqual(game.game.returncode, 0)


if __name__ == "__main__":
    unittest.main()
