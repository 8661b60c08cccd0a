"""A player's evening, one story: the about box; the help screen by key and by
click; the chooser from the menu; a dead end, undo, a hint, taps and held arrows
counted on the score line, the restart question; a level won and its record
kept; the garden heard while playing, switched off in the options; the last
level won on a read-only table; the end of the set; the window's close button.
A new step is a press and the outcome to wait for, put where the player meets it."""
import os
import subprocess
import time
import unittest

from e2e import BINARY, HOLD, Game, level

# On the ground line (row 1) a move is one cell; below it the dog slides. Level 2's bone is walled in.
LEVELS = {1: level("Down and along", dog=(2, 1), bone=(12, 8), rocks=[(2, 9)]),
          2: level("Walled in", dog=(5, 1), bone=(5, 12), rocks=[(5, 11), (4, 12), (6, 12), (5, 13)]),
          3: level("Along the bottom", dog=(14, 1), bone=(4, 14))}
LOUD = 30  # RMS; the quietest ambient recording clears it
DARK, RED, BLUE = (20, 20, 20), (200, 10, 10), (50, 150, 200)  # the sky's text, the question, the chooser
DEAD_END = "The bone can't be reached any more: U takes back a move, R restarts"


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

    def says(self, game, text, colour=DARK, y=12):  # the caption's row, 26 the notice's, None anywhere
        game.until(repr(text), lambda: game.says(text, colour, (0, 0, 640, 480) if y is None else (0, y, 640, 8)))

    def win(self, game, highscores):
        game.until("the level-won screen", lambda: game.shows("zada_wins.pcx"))
        game.until("highscores.dat as %r" % highscores, lambda: game.read("highscores.dat") == highscores)

    def test_evening(self):
        away = subprocess.run([BINARY], env={k: v for k, v in os.environ.items() if k != "DISPLAY"}, cwd="/",
                              capture_output=True, timeout=60)  # no display: it says so, and ends with 0
        self.assertEqual((away.returncode, away.stderr.count(b"Could not initialize Allegro.")), (0, 1))
        game = Game(self, LEVELS, {"highscores.dat": b"1 9\r\n", "settings.ini": b"255\r\n1\r\n"}, audio=True)
        game.until("the menu", lambda: on_menu(game, 0))
        game.press("a")
        about = game.message()
        self.assertIn("Made using SDL2_mixer (for the mp3 playing) and Allegro (for graphics, v ", about)
        self.assertNotIn("FMOD", about)
        self.assertLessEqual(max(map(len, about.splitlines())), 100)
        game.press("Down", "Down", "Return")
        game.until("the help screen", lambda: game.shows("menu/help_bg.pcx", 0, 0))
        game.press("Return")
        game.until("the menu, Options marked", lambda: on_menu(game, 1))
        game.click(500, 390)  # the Help button
        game.until("the help screen", lambda: game.shows("menu/help_bg.pcx", 0, 0))
        game.press("Return")
        game.until("the menu", lambda: on_menu(game, 1))
        game.until("5 s of sound", lambda: game.seconds() > 5)  # the garden would have begun by now
        self.assertEqual(game.loudness(0, game.seconds()), 0, "sound on the menu")

        game.press("s")  # the chooser from the menu: records and fewest moves in its rows
        self.says(game, '---> Level: "Down and along" - #1   solved in 9, fewest 2', BLUE, None)
        self.says(game, ' Level: "Walled in" - #2   not solved, cannot be won', BLUE, None)
        game.press("Down", "Return")
        game.until("level 2", lambda: dog_at(game, 5, 1))
        self.move(game, "Down", 5, 10)
        self.says(game, DEAD_END, y=26)
        self.move(game, "u", 5, 1)  # undone; at the start a dead end is told only when asked
        game.until("no notice", lambda: not game.says(DEAD_END, DARK, (0, 26, 640, 8)))
        game.press("h")
        self.says(game, DEAD_END, y=26)
        game.press("s", "Up", "Return")
        game.until("level 1", lambda: dog_at(game, 2, 1))
        self.says(game, " Moves: 0 ")
        self.says(game, " Best: 9  Fewest: 2 ")
        game.press("h")
        self.says(game, "2 moves to the bone", y=26)
        game.until("the hint's arrow below the dog", lambda: game.extent((255, 214, 64), (64, 64, 32, 32)) > 16)
        game.press("Right", hold=0.03)  # a tap: one move, one cell along the ground line
        self.says(game, " Moves: 1 ")
        game.press("Up", hold=0.15)  # refused by the sky: one move all the same
        self.says(game, " Moves: 2 ")
        self.assertTrue(dog_at(game, 3, 1))
        start = time.monotonic()
        game.press("Right", hold=1.2)  # held: again every 250 ms at most
        most = 1 + int((time.monotonic() - start - HOLD) / 0.25)
        n = game.until("the held moves", lambda: next((n for n in range(2, most + 1) if dog_at(game, 3 + n, 1) and game.says(
            " Moves: %d " % (2 + n), DARK, (0, 12, 640, 8))), None))
        game.press("u")
        self.says(game, " Moves: %d " % (1 + n))
        self.assertTrue(dog_at(game, 2 + n, 1))
        game.press("r")  # the question over the board, dimmed
        self.says(game, "Really restart the level (Y/N)?", RED, 240)
        self.assertGreater(max(game.screen()[2][:3 * 640 * 32]), 40, "the sky above the question")
        game.press("y")
        game.until("level 1 afresh", lambda: dog_at(game, 2, 1) and game.says(" Moves: 0 ", DARK, (0, 12, 640, 8)))
        self.move(game, "Down", 2, 8)
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
        os.chmod(os.path.join(game.dir, "highscores.dat"), 0o444)  # refused by the game even to root
        game.press("Left")
        game.until("the note", lambda: game.says("The record could not be saved: ", (150, 150, 150), (0, 420, 640, 8)))
        self.win(game, b"1 2\r\n")  # unchanged
        game.press("Return")
        end = game.message()
        self.assertEqual(end.splitlines()[0], "Congratulations! You beat all the levels available in Tunnelwick!")
        self.assertRegex(end, r"levels\s+folder")
        self.assertNotIn("forums", end)
        game.until("the menu on level 1", lambda: on_menu(game, 0))
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
