"""A player's evening, one story: the menu and the help screen; a level won and
its record kept; the garden heard while playing, switched off in the options;
the chooser to the last level; the end of the set; the window's close button.
A new step is a press and the outcome to wait for, put where the player meets it."""
import os
import subprocess
import unittest

from e2e import BINARY, Game, level

# Every move slides seven cells or more: one press is one move whether a held
# arrow repeats or not.
LEVELS = {1: level("Down and along", dog=(2, 1), bone=(12, 8), rocks=[(2, 9)]),
          2: level("Straight down", dog=(5, 1), bone=(5, 12)),
          3: level("Along the bottom", dog=(14, 1), bone=(4, 14))}
LOUD = 30  # RMS; the quietest ambient recording clears it


# The screens, known by their pictures or by the colour of their text.
def on_menu(game, item):  # with the item highlighted: 0 Play, 1 Options, 2 Help, 3 Quit
    name = ("playon", "optionson", "helpon", "quiton")[item]
    return game.shows("menu/%s.pcx" % name, 640 - 208, 480 - (4 - item) * 58)


def dog_at(game, column, row):
    return game.shows("zada.pcx", 32 * column, 32 * row)


def in_chooser(game):
    return game.extent((50, 150, 200), (0, 0, 640, 20)) > 300


def in_options(game):
    return game.extent((10, 200, 150), (0, 120, 640, 8)) > 80


class PlayerStory(unittest.TestCase):
    def move(self, game, key, column, row):
        game.press(key)
        game.until("the dog at %d,%d" % (column, row), lambda: dog_at(game, column, row))

    def win(self, game, highscores):
        game.until("the level-won screen", lambda: game.shows("zada_wins.pcx"))
        game.until("highscores.dat as %r" % highscores, lambda: game.read("highscores.dat") == highscores)

    def test_evening(self):
        away = subprocess.run([BINARY], env={k: v for k, v in os.environ.items() if k != "DISPLAY"}, cwd="/",
                              capture_output=True, timeout=60)  # no display: it says so, and ends with 0
        self.assertEqual((away.returncode, away.stderr.count(b"Could not initialize Allegro.")), (0, 1))
        game = Game(self, LEVELS, {"highscores.dat": b"1 9\r\n", "settings.ini": b"255\r\n1\r\n"}, audio=True)
        game.until("the menu", lambda: on_menu(game, 0))
        game.press("Down", "Down", "Return")
        game.until("the help screen", lambda: game.shows("menu/help_bg.pcx", 0, 0))
        game.press("Return")
        game.until("the menu, Options marked", lambda: on_menu(game, 1))
        # >> Steps to come: the chooser by S from the menu, its progress rows.
        game.until("5 s of sound", lambda: game.seconds() > 5)  # the garden would have begun by now
        self.assertEqual(game.loudness(0, game.seconds()), 0, "sound on the menu")

        game.press("Up", "Return")
        game.until("level 1", lambda: dog_at(game, 2, 1))
        self.move(game, "Down", 2, 8)
        # >> Steps to come: undo with U, a hint with H, the move-count line.
        game.press("Right")
        self.win(game, b"1 2\r\n")

        game.press("Return")
        game.until("level 2", lambda: dog_at(game, 5, 1))
        game.until("the garden heard", lambda: game.loudness(game.seconds() - 0.5, game.seconds()) > LOUD)
        game.press("o")
        game.until("the options screen", lambda: in_options(game))
        game.press("Right", "Up", "Escape")  # the ambient noise item, switched off
        game.until("settings.ini", lambda: game.read("settings.ini") == b"255\r\n0\r\n")
        off = game.seconds()
        game.until("4 s more sound", lambda: game.seconds() > off + 4)
        self.assertEqual(game.loudness(off + 1.5, off + 4), 0, "sound once switched off")

        game.press("s")
        game.until("the chooser", lambda: in_chooser(game))
        game.press("Down", "Return")
        game.until("level 3", lambda: dog_at(game, 14, 1))
        self.move(game, "Down", 14, 14)
        game.press("Left")
        self.win(game, b"1 2\r\n3 2\r\n")
        game.press("Return")
        self.assertTrue(game.message().startswith("Congratulations! You beat all the levels"))
        game.until("the menu on level 1", lambda: on_menu(game, 0))
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
