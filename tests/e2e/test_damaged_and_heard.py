"""A game with its pictures gone and levels that cannot be read; then the sounds that answer a player's moves."""
import os
import shutil
import time
import unittest

from e2e import Game, level

GOOD = level("Along the grass", dog=(4, 1), bone=(12, 9))
SKY = (20, 20, 20)  # dark letters over the sky
WHITE = (255, 255, 255)


class DamagedAndHeard(unittest.TestCase):
    def test_pictures_missing_and_levels_unreadable(self):
        levels = {1: GOOD.replace(b"4 1 12 9", b"4 1 25 9"), 2: GOOD}  # level 1's bone lies off the board
        game = Game(self, levels, {"highscores.dat": b"2 9\r\n", "levels/3.lvl/x": b""}, graphics=False)
        game.until("the missing pictures told in the window",
                   game.saying("These pictures could not be loaded:", "graphics/zada.pcx", colour=WHITE, y=None))
        game.until("and on standard error", lambda: "Could not load graphics/menu/play.pcx" in game.output())
        game.step("Return", "the menu in plain colours", game.saying("Play", colour=(255, 230, 120), y=None))
        game.step("Return", "level 1 said to be unreadable", game.saying("levels/1.lvl could not be read", colour=SKY, y=None))
        game.press("Right", "Down")
        self.assertEqual(game.read("highscores.dat"), b"2 9\r\n")
        game.step("Escape Escape", "the game ended", lambda: game.game.poll() is not None)
        self.assertEqual(game.game.returncode, 0)

    def test_moves_are_heard_unless_effects_are_off(self):
        # Ambient noise off: every sound is the player's.
        game = Game(self, {1: GOOD}, {"settings.ini": b"255\r\n0\r\n"}, audio=True)
        game.until("the menu", lambda: game.shows("menu/playon.pcx", 432, 480 - 4 * 58))
        game.step("Return", "level 1", lambda: game.shows("zada.pcx", 4 * 32, 32))
        time.sleep(1.5)
        idle = game.seconds()
        time.sleep(2)
        self.assertEqual(game.loudness(idle, game.seconds()), 0, "sound while the level stands idle")
        for key, what in (("Up", "a bump"), ("Down", "a dig")):
            at = game.seconds()
            game.press(key)
            game.until(what + " heard", lambda: game.seconds() > at + 0.5)
            # The dig sounds once the first cell is dug (80 ms of sliding), the bump at once.
            self.assertGreater(game.loudness(at, at + 0.2), 30, what)
        game.step("o Down Down Right Escape", "sound effects switched off",
                  lambda: b"sound-effects=off" in (game.read("preferences.ini") or b""))
        time.sleep(1)
        at = game.seconds()
        game.press("Up", "Right", "Left")
        game.until("a second more", lambda: game.seconds() > at + 1.5)
        self.assertEqual(game.loudness(at, game.seconds()), 0, "sound with effects off")


if __name__ == "__main__":
    unittest.main()
