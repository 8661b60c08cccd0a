"""A game with its pictures gone and levels that cannot be read; then the sounds that answer a player's moves, and the mix heard through
a collapse of rocks and forty seconds of the garden, at the default volumes and at full volume after a restart."""
import array
import math
import os
import pathlib
import re
import shutil
import time
import unittest

from e2e import DATA, Game, level

GOOD = level("Along the grass", dog=(4, 1), bone=(12, 9))
SKY = (20, 20, 20)  # dark letters over the sky
WHITE = (255, 255, 255)
MINUS_ONE_DB = 32768 * 10 ** (-1 / 20)


def heard(game, start, end):
    """The capture from start to end (seconds): its peak, its samples at full scale, its longest stretch of digital silence (seconds)."""
    data = pathlib.Path(game.audio).read_bytes()[int(start * 44100) * 4:int(end * 44100) * 4]
    samples = array.array("h", data[:len(data) // 4 * 4])
    silent = max((len(m.group()) for m in re.finditer(rb"\x00{4,}", data)), default=0) / 4 / 44100
    return max(samples, default=0), max(-min(samples, default=0), 0), samples.count(32767) + samples.count(-32768), silent


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
            game.until(what + " heard", lambda: game.seconds() > at + 0.6)
            # The dig sounds once the first cell is dug (80 ms of sliding), the bump at once; a loaded machine may pass the key late.
            self.assertGreater(game.loudness(at, at + 0.4), 30, what)
        game.step("o Up Up Right Escape", "sound effects switched off",
                  lambda: b"sound-effects=off" in (game.read("preferences.ini") or b""))
        time.sleep(1)
        at = game.seconds()
        game.press("Up", "Right", "Left")
        game.until("a second more", lambda: game.seconds() > at + 1.5)
        self.assertEqual(game.loudness(at, game.seconds()), 0, "sound with effects off")

    def test_a_collapse_never_clips_the_garden_never_falls_silent_and_the_volumes_are_kept(self):
        collapse = pathlib.Path(DATA, "levels", "10.lvl").read_bytes()  # Down, then Left: the rocks come down together
        game = Game(self, {1: collapse}, audio=True)
        lit = ["menu/%s.pcx" % name for name in ("playon", "optionson", "helpon", "quiton")]
        for volumes in ("default", "full"):
            item = game.until("the menu", lambda: next((i + 1 for i, p in enumerate(lit) if game.shows(p, 432, 480 - (4 - i) * 58)), None)) - 1
            if item:  # the menu lights the item last left: up to Play
                game.step(" ".join(["Up"] * item), "Play lit", lambda: game.shows(lit[0], 432, 480 - 4 * 58))
            game.step("Return", "the compost heap", lambda: game.shows("zada.pcx", 15 * 32, 32))
            start = game.seconds()
            game.press("Down")
            time.sleep(2)
            game.press("Left")
            stay = 40 if volumes == "default" else 10
            game.until("%d seconds of the level" % stay, lambda: game.seconds() > start + stay, timeout=stay * 3 + 60)
            high, low, clipped, silent = heard(game, start + 0.5, start + stay)
            print("%s volumes: peak %.2f dBFS, %d samples at full scale, longest digital silence %.3f s" %
                  (volumes, 20 * math.log10(max(high, low, 1) / 32768), clipped, silent))
            self.assertLessEqual(max(high, low), MINUS_ONE_DB, volumes)
            self.assertEqual(clipped, 0, volumes)
            self.assertLess(silent, 1.0, volumes)
            if volumes == "full":
                break
            # Effects and garden to the full, kept; the game closed and started again.
            game.step("o Down Right Right Right Right Down Right Right Right Right Escape", "the volumes kept",
                      lambda: b"effects-volume=100\ngarden-volume=100\n" in (game.read("preferences.ini") or b""))
            game.step("Escape Escape", "the game closed", lambda: game.game.poll() is not None)
            pathlib.Path(game.dir, "progress.txt").unlink(missing_ok=True)  # the heap afresh, not resumed as it fell
            game.start()
            game.until("the menu", lambda: game.shows("menu/playon.pcx", 432, 480 - 4 * 58))
            game.step("Down Return", "the options, showing the volumes as kept",
                      game.saying(" 100% ", colour=(230, 220, 200), y=150 + 32 - 4))
            self.assertTrue(game.saying(" 100% ", colour=(230, 220, 200), y=150 + 64 - 4)())
            game.press("Escape")


if __name__ == "__main__":
    unittest.main()
