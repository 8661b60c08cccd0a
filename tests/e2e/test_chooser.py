"""The level chooser (S while playing): jumping to another level and winning
it, and leaving with Escape back into the same level with its moves."""
import time

import e2e
from e2e import level_bytes, blank_rows, wait_for_dog, wait_for_record, SLIDE_TIMEOUT

# Two moves each, every one a slide of several cells: down the shaft to the
# rock, then sideways to the bone.
LEVELS = {
    "levels/1.lvl": level_bytes("Shaft and tunnel", (2, 1), (12, 9), blank_rows([(2, 10)])),
    "levels/2.lvl": level_bytes("Other side", (17, 1), (5, 11), blank_rows([(17, 12)])),
    "levels/3.lvl": level_bytes("Spare", (9, 1), (9, 14), blank_rows()),
    "highscores.dat": b"",
}


def chooser_shown(game):
    # The two headings in the chooser's colour along the top of the screen.
    return game.screenshot().count((50, 150, 200), tolerance=4, region=(0, 0, 640, 20)) > 100


class ChooserTest(e2e.GameTestCase):
    def start_playing(self):
        game = self.start_game(replace=LEVELS)
        game.wait_for_frame()
        game.tap("Return")                  # Play
        wait_for_dog(game, 2, 1)
        return game

    def open_chooser(self, game):
        game.tap("s")
        self.wait_for(lambda: chooser_shown(game), "the level chooser", timeout=SLIDE_TIMEOUT)
        game.screenshot("chooser")

    def wait_for_chooser_to_close(self, game):
        self.wait_for(lambda: not chooser_shown(game), "the chooser to close", timeout=SLIDE_TIMEOUT)

    def test_pick_the_next_level_and_win_it(self):
        game = self.start_playing()
        self.open_chooser(game)
        game.tap("Down")
        game.tap("Return")
        self.wait_for_chooser_to_close(game)
        wait_for_dog(game, 17, 1)
        game.tap("Down")
        wait_for_dog(game, 17, 11)
        game.tap("Left")
        wait_for_record(game, 2, 2)
        self.assertEqual(game.close(), 0)

    def test_escape_returns_to_the_same_level_and_moves(self):
        game = self.start_playing()
        game.tap("Down")                    # one move made
        wait_for_dog(game, 2, 9)
        self.open_chooser(game)
        game.hold("Escape", 0.5)            # held long: the playing screen must not see it
        time.sleep(0.3)
        self.wait_for_chooser_to_close(game)
        wait_for_dog(game, 2, 9)            # the level in progress, not restarted
        game.tap("Right")
        wait_for_record(game, 1, 2)         # the move before the chooser still counts
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
