"""Moves as data, on the shipped levels: presses made during a slide each played in turn; a level left in the middle
(Quit, the close button, SIGTERM) resumed with its undo history; a damaged progress.txt started afresh; a best way and
the solver's watched; level 10's heap hurried down with Space held."""
import os
import signal
import time
import unittest

from e2e import Game

LIT = ["menu/%s.pcx" % name for name in ("playon", "optionson", "helpon", "quiton")]
GOLD = (255, 230, 120)


def lit(game):  # the menu item lit (0 Play .. 3 Quit), or None off the menu
    return next((i for i, p in enumerate(LIT) if game.shows(p, 432, 480 - (4 - i) * 58)), None)


def dog_at(game, column, row):
    return game.shows("zada.pcx", 32 * column, 32 * row)


def board(game):  # the board's cells under the grass, above the notes at its foot
    width, _, shot = game.screen()
    return shot[3 * width * 64:3 * width * 416]


class Moves(unittest.TestCase):
    def play_on(self, game, column, row, moves):
        game.until("the menu", lambda: lit(game) is not None)
        game.step("Return", "the level as it was left", lambda: dog_at(game, column, row)
                  and game.saying(" Moves: %d " % moves)())

    def test_kept_presses_resumed_after_every_way_out(self):
        game = Game(self)
        table = game.read("highscores.dat")
        game.until("the menu", lambda: lit(game) == 0)
        game.step("s", "the chooser", game.saying("Choose a level", colour=GOLD, y=14))
        game.step("Down Return", "level 2 from its start", lambda: dog_at(game, 14, 1))
        # Down slides five cells to a rock; Left and Up, pressed while it slides, follow it in turn.
        game.x("windowfocus", "--sync", game.window, "keydown", "Down", "sleep", 0.05, "keyup", "Down", "keydown", "Left",
               "sleep", 0.05, "keyup", "Left", "keydown", "Up", "sleep", 0.05, "keyup", "Up")
        game.until("three moves", lambda: dog_at(game, 10, 1) and game.saying(" Moves: 3 ")())
        game.until("the moves kept", lambda: b"level 2\n" in (game.read("progress.txt") or b"")
                   and b"moves DLU\n" in game.read("progress.txt"))

        game.step("Escape", "the menu", lambda: lit(game) is not None)
        game.press(*["Down"] * (3 - lit(game)))  # to Quit
        game.step("Return", "the game ended", lambda: game.game.poll() is not None)
        self.assertEqual(game.game.returncode, 0)
        game.start()
        self.play_on(game, 10, 1, 3)
        game.step("Right", "a fourth move", lambda: dog_at(game, 11, 1) and game.saying(" Moves: 4 ")())
        self.assertEqual(game.close(), 0)  # the window's close button
        game.start()
        self.play_on(game, 11, 1, 4)
        game.step("Left", "a fifth move", lambda: dog_at(game, 10, 1) and game.saying(" Moves: 5 ")())
        game.game.send_signal(signal.SIGTERM)
        self.assertEqual(game.game.wait(90), 0)
        self.assertIn(b"moves DLURL\n", game.read("progress.txt"))
        game.start()
        self.play_on(game, 10, 1, 5)
        for column, row, moves in ((11, 1, 4), (10, 1, 3), (10, 6, 2)):  # the undo history came back too
            game.step("u", "move %d taken back" % (moves + 1), lambda: dog_at(game, column, row)
                      and game.saying(" Moves: %d " % moves)())
        game.until("the log shortened", lambda: b"moves DL\n" in game.read("progress.txt"))
        self.assertEqual(game.close(), 0)

        noise = bytes(range(256)) * 40 + b"pack levels\nlevel 2\nmoves DL\n"
        with open(os.path.join(game.dir, "progress.txt"), "wb") as f:
            f.write(noise)
        game.start()
        game.message("", "could not be read")
        game.until("the menu", lambda: lit(game) is not None)
        game.step("Return", "level 1 afresh", lambda: dog_at(game, 4, 1) and game.saying(" Moves: 0 ")())
        self.assertEqual(game.read("progress.txt"), noise, "rewritten before there was anything to keep")
        game.step("Down", "a move", game.saying(" Moves: 1 "))
        game.until("progress.txt rewritten whole", lambda: game.read("progress.txt").startswith(b"pack levels\nlevel 1\n")
                   and game.read("progress.txt").endswith(b"\nmoves D\n"))
        self.assertEqual(game.read("highscores.dat"), table)
        self.assertEqual(game.close(), 0)

    def test_best_ways_watched_and_the_heap_hurried(self):
        game = Game(self)
        game.until("the menu", lambda: lit(game) == 0)
        game.step("Return", "level 1", lambda: dog_at(game, 4, 1))
        game.press("Down")
        game.step("Right", "level 1 won, its way kept", lambda: b"\tDR\n" in (game.read("replays.txt") or b""))
        game.until("the way on", game.saying("Enter: next level", colour=(255, 214, 64), y=418))
        game.step("Return", "level 2", lambda: dog_at(game, 14, 1))
        game.step("s", "the chooser", game.saying("Choose a level", colour=GOLD, y=14))
        kept = {name: game.read(name) for name in ("highscores.dat", "replays.txt", "progress.txt")}
        for key, way in (("w", "Your best"), ("f", "The fewest moves")):
            game.step("Up " + key, way + " watched", lambda: game.saying("Watching")()
                      and game.saying(way + ": move ", y=26)())
            game.until("to its end", lambda: game.saying(way + ": move 2 of 2  -  Enter", y=26)())
            game.step("Escape", "the chooser again", game.saying("Choose a level", colour=GOLD, y=14))
            game.press("Down")  # the mark back on level 2
        self.assertEqual({name: game.read(name) for name in kept}, kept, "something watched was recorded")

        game.step("Down " * 8 + "Return", "level 10, the heap", lambda: dog_at(game, 15, 1))
        times = []
        for hurried in (False, True):
            game.step("Down", "the dog under the heap", lambda: dog_at(game, 15, 12))
            if hurried:
                game.x("windowfocus", "--sync", game.window, "keydown", "space")
            start, last, shot = time.monotonic(), None, None
            game.press("Left")  # the rocks come down together
            while True:  # until the board has not changed for a second and a half
                now, seen = time.monotonic(), board(game)
                if seen != shot:
                    shot, last = seen, now
                elif now - last > 1.5:
                    break
                self.assertLess(now - start, 90, "the heap still falling")
            times.append(last - start)
            if hurried:
                game.x("keyup", "space")
            else:
                game.step("r", "the question", game.saying("Really restart the level (Y/N)?", colour=(200, 10, 10), y=240))
                game.step("y", "the heap afresh", lambda: dog_at(game, 15, 1))
        print("the heap came down in %.2f s, in %.2f s with Space held" % tuple(times))
        self.assertLessEqual(times[1], times[0] / 2)
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
