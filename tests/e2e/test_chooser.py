"""The level chooser (S while playing): jumping to another level and winning
it, and leaving with Escape back into the same level with its moves."""
import os
import time

import e2e

# A slide of ten cells is 160 frames; on a loaded machine a frame of the
# game in Xvfb has been seen to take a tenth of a second and more.
SLIDE_TIMEOUT = 120.0

SKY_TOP, SKY_BOTTOM, DIRT, ROCK = 2, 19, 16, 1
CHOOSER_COLOUR = (50, 150, 200)


def level_bytes(title, dog, bone, rocks):
    rows = [[SKY_TOP] * 20, [SKY_BOTTOM] * 20] + [[DIRT] * 20 for _ in range(13)]
    for column, row in rocks:
        rows[row][column] = ROCK
    data = title.encode("latin-1") + b"\r\n"
    data += ("%d %d %d %d\r\n" % (dog[0], dog[1], bone[0], bone[1])).encode()
    for row in rows:
        data += b"".join(bytes([code, 32]) for code in row) + b"\r\n"
    return data


# Two moves each, every one a slide of several cells: down the shaft to the
# rock, then sideways to the bone.
LEVELS = {
    "levels/1.lvl": level_bytes("Shaft and tunnel", (2, 1), (12, 9), [(2, 10)]),
    "levels/2.lvl": level_bytes("Other side", (17, 1), (5, 11), [(17, 12)]),
    "levels/3.lvl": level_bytes("Spare", (9, 1), (9, 14), []),
}


def dog_picture():
    path = os.path.join(e2e.DATA_DIR, "graphics", "zada.pcx")
    return e2e.read_pcx(path) if os.path.exists(path) else None


def wait_for_dog(test, game, column, row):
    picture = dog_picture()
    if picture is None:
        time.sleep(4.0)  # no dog picture to look for: a slide is over well within this
        return
    test.wait_for(lambda: game.screenshot().matches(picture, column * 32, row * 32) > 0.9,
                  "the dog in cell (%d, %d)" % (column, row), timeout=SLIDE_TIMEOUT)


def wait_for_record(test, game, level, moves):
    def recorded():
        table = game.dir.read("highscores.dat") or b""
        return [level, moves] in [[int(n) for n in line.split()] for line in table.splitlines() if line.strip()]
    test.wait_for(recorded, "highscores.dat to record level %d in %d moves" % (level, moves),
                  timeout=SLIDE_TIMEOUT)


def chooser_shown(game):
    # The two headings in the chooser's colour along the top of the screen.
    return game.screenshot().count(CHOOSER_COLOUR, tolerance=4, region=(0, 0, 640, 20)) > 100


class ChooserTest(e2e.GameTestCase):
    def start_playing(self):
        game = self.start_game(replace=dict(LEVELS, **{"highscores.dat": b""}))
        game.wait_for_frame()
        game.tap("Return")                  # Play
        wait_for_dog(self, game, 2, 1)
        return game

    def open_chooser(self, game):
        game.tap("s")
        self.wait_for(lambda: chooser_shown(game), "the level chooser", timeout=SLIDE_TIMEOUT)
        game.screenshot("chooser")

    def test_pick_the_next_level_and_win_it(self):
        game = self.start_playing()
        self.open_chooser(game)
        game.tap("Down")
        game.tap("Return")
        self.wait_for(lambda: not chooser_shown(game), "the chooser to close", timeout=SLIDE_TIMEOUT)
        wait_for_dog(self, game, 17, 1)
        game.tap("Down")
        wait_for_dog(self, game, 17, 11)
        game.tap("Left")
        wait_for_record(self, game, 2, 2)
        self.assertEqual(game.close(), 0)

    def test_escape_returns_to_the_same_level_and_moves(self):
        game = self.start_playing()
        game.tap("Down")                    # one move made
        wait_for_dog(self, game, 2, 9)
        self.open_chooser(game)
        game.hold("Escape", 0.5)            # held long: the playing screen must not see it
        time.sleep(0.3)
        self.wait_for(lambda: not chooser_shown(game), "the chooser to close", timeout=SLIDE_TIMEOUT)
        wait_for_dog(self, game, 2, 9)      # the level in progress, not restarted
        game.tap("Right")
        wait_for_record(self, game, 1, 2)   # the move before the chooser still counts
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
