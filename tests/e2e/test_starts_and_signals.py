"""Starting again and again on one display; being ended by a signal on any screen, or not when it was ignored; a record
won while another program holds the table, kept through the close and written once the table is free."""
import fcntl
import os
import signal
import subprocess
import time
import unittest

from e2e import DEADLINE, WM_CLOSE, Game, level

LEVELS = {1: level("Down and along", dog=(2, 1), bone=(12, 8), rocks=[(2, 9)])}
FILES = {"highscores.dat": b"1 9\r\n", "settings.ini": b"255\r\n1\r\n"}
GOLD = (255, 230, 120)  # the chooser's heading


def menu(game):
    return game.shows("menu/playon.pcx", 432, 480 - 4 * 58)


def ended(game, seconds=10):
    try:
        return game.game.wait(seconds)
    except Exception:
        return None


class StartsAndSignals(unittest.TestCase):
    def test_hundred_starts(self):
        game = Game(self, LEVELS, FILES)
        for start in range(100):
            if start:
                game.start()  # waits for the window: a start that fails ends the game first, and says why
            self.assertEqual(game.close(), 0, "start %d" % start)

    def test_signals(self):
        screens = {"menu": (lambda game: menu(game), ""),
                   "playing": (lambda game: game.shows("zada.pcx", 64, 32), "Return"),
                   "chooser": (lambda game: game.saying("Choose a level", colour=GOLD, y=14)(), "s")}
        for sig, screen in [(signal.SIGTERM, "menu"), (signal.SIGINT, "playing"), (signal.SIGHUP, "chooser"),
                            (signal.SIGTERM, "chooser"), (signal.SIGINT, "menu")]:
            with self.subTest(signal=sig.name, screen=screen):
                game = Game(self, LEVELS, FILES)
                game.until("the menu", lambda: menu(game))
                shown, keys = screens[screen]
                game.step(keys, screen, lambda: shown(game)) if keys else None
                game.game.send_signal(sig)
                self.assertEqual(ended(game), 0)
                self.assertEqual({n: game.read(n) for n in FILES}, FILES)
                self.assertEqual([n for n in os.listdir(game.dir) if ".tmp-" in n], [])

        game = Game(self, LEVELS, FILES)
        game.until("the menu", lambda: menu(game))
        game.close()
        game.start(ignoring=[signal.SIGINT])  # as a shell's background job
        game.until("the menu", lambda: menu(game))
        game.game.send_signal(signal.SIGINT)
        time.sleep(2)
        self.assertIsNone(game.game.poll(), "ended by an ignored SIGINT")
        self.assertTrue(menu(game), "the window gone after an ignored SIGINT")
        game.game.send_signal(signal.SIGTERM)
        self.assertEqual(ended(game, DEADLINE), 0)

    def test_record_kept_while_the_table_is_held(self):
        game = Game(self, LEVELS, FILES)
        table = os.open(os.path.join(game.dir, "highscores.dat"), os.O_RDONLY)
        fcntl.flock(table, fcntl.LOCK_EX)  # another program, stopped in the middle of a save
        game.until("the menu", lambda: menu(game))
        game.step("Return", "level 1", lambda: game.shows("zada.pcx", 64, 32))
        game.press("Down", hold=0.9)
        game.step("Right", "the wait said on the won screen", game.saying(
            "Another game is using the record table: waiting to save...", colour=(230, 220, 200), y=384))
        subprocess.run([WM_CLOSE, game.window], env=game.env, check=True, timeout=60)
        game.until("the word while it waits", game.saying("Saving your record...", colour=GOLD, y=None))
        self.assertEqual(ended(game, DEADLINE), 0)
        journal = game.read("pending-records.txt")  # the way it was won waits with it
        self.assertEqual((game.read("highscores.dat"), journal[:11], journal[-4:]), (b"1 9\r\n", b"levels\t1\t2\t", b"\tDR\n"))
        self.assertIn("waits in pending-records.txt", game.output())

        game.start()  # the table still held: the record waits on, and is written the moment it is free
        game.until("the menu", lambda: menu(game))
        self.assertEqual(game.read("pending-records.txt"), journal)
        os.close(table)
        game.until("the record in the table", lambda: game.read("highscores.dat") == b"1 2\r\n")
        game.until("the journal gone", lambda: game.read("pending-records.txt") is None)
        self.assertEqual(game.read("replays.txt"), b"levels\t1\t" + journal[11:])  # and the way kept to be watched
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
