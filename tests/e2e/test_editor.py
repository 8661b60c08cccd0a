"""The level editor driven like a level designer drives it: real mouse clicks
and typing, a saved level file checked byte for byte, then the edited board
played to the bone."""
import os
import time

import e2e

# A slide of ten cells is 160 frames; on a loaded machine a frame of the
# game in Xvfb has been seen to take a tenth of a second and more.
SLIDE_TIMEOUT = 120.0

SKY_TOP, SKY_BOTTOM, DIRT = 2, 19, 16
BLACK_ROCK, ROCK, TUNNEL, SKY_BOTTOM_DESTROYED = 0, 1, 17, 21


def blank_rows():
    return [[SKY_TOP] * 20, [SKY_BOTTOM] * 20] + [[DIRT] * 20 for _ in range(13)]


def level_bytes(title, dog, bone, rows):
    data = title.encode("latin-1") + b"\r\n"
    data += ("%d %d %d %d\r\n" % (dog[0], dog[1], bone[0], bone[1])).encode()
    for row in rows:
        data += b"".join(bytes([code, 32]) for code in row) + b"\r\n"
    return data


def cell_centre(column, row):
    return column * 32 + 16, row * 32 + 16


def dog_picture():
    path = os.path.join(e2e.DATA_DIR, "graphics", "zada.pcx")
    return e2e.read_pcx(path) if os.path.exists(path) else None


def wait_for_dog(test, game, column, row):
    """Waits until the dog stands drawn in the cell (the slide has ended)."""
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


class EditorTest(e2e.GameTestCase):
    def paint(self, game, cells):
        for column, row in cells:
            x, y = cell_centre(column, row)
            # The library takes the pointer as inside the window only once
            # it has moved there; a jump in from outside is not enough.
            game.mouse_move(x + 3, y + 3)
            time.sleep(0.1)
            game.click(x, y, hold=0.2)
            time.sleep(0.15)

    def test_paint_number_title_save_then_play_it(self):
        game = self.start_game(replace={"levels/1.lvl": level_bytes("Start", (3, 1), (3, 14), blank_rows()),
                                        "highscores.dat": b""})
        game.wait_for_frame()
        game.tap("l")                      # the editor, with the dog brush
        game.tap("e")                      # a blank board to paint on
        expected = blank_rows()

        # One press of Right per brush: the whole cycle from the dog brush.
        plan = [
            (BLACK_ROCK, [(5, 5)]),
            (ROCK, [(2, 10), (6, 8)]),     # the first stops the dig, the second drops into the tunnel
            (SKY_TOP, [(10, 13)]),
            (DIRT, [(11, 13)]),
            (TUNNEL, [(15, 12), (16, 12)]),
            (SKY_BOTTOM, [(0, 14)]),
            (SKY_BOTTOM_DESTROYED, [(1, 14)]),
        ]
        for code, cells in plan:
            game.tap("Right")
            self.paint(game, cells)
            for column, row in cells:
                expected[row][column] = code
        game.tap("Right")                  # the bone brush
        self.paint(game, [(12, 9)])
        game.tap("Right")                  # the dog brush again
        self.paint(game, [(2, 1)])
        game.screenshot("painted")
        game.park_pointer()                # keep the drawn pointer out of the pictures

        game.tap("n")
        time.sleep(0.5)
        game.type_text("42")
        time.sleep(0.3)
        game.tap("Escape")
        game.tap("t")
        time.sleep(0.5)
        game.type_text("Dug by hand")
        time.sleep(0.3)
        game.tap("Escape")
        self.assertIsNone(game.message_box())
        game.tap("s")

        want = level_bytes("Dug by hand", (2, 1), (12, 9), expected)
        self.wait_for(lambda: game.dir.read("levels/42.lvl") == want, "levels/42.lvl as painted")
        self.assertFalse(os.path.exists(game.dir.file("levels/42.lvl.tmp")))

        # Back to the menu and play the board as edited: down the shaft to
        # the rock, then right to the bone while the other rock drops behind.
        game.tap("Escape")
        game.tap("Return")
        game.tap("Down")
        wait_for_dog(self, game, 2, 9)
        game.tap("Right")
        wait_for_record(self, game, 42, 2)
        game.screenshot("won")
        self.assertEqual(game.close(), 0)

    def test_invalid_number_is_refused_with_a_message(self):
        # No level 1 on disk: what S writes there is the editor's doing.
        game = self.start_game(remove=["levels/1.lvl"],
                               replace={"levels/2.lvl": level_bytes("Two", (3, 1), (3, 14), blank_rows())})
        game.wait_for_frame()
        game.tap("l")
        game.tap("n")
        time.sleep(0.5)
        game.type_text("abc")
        time.sleep(0.3)
        game.tap("Escape")
        box = game.wait_for_message()
        self.assertEqual(box.text.strip(), "Invalid level # input")
        box.dismiss()
        # The number stays 1: saving writes level 1's file.
        game.tap("s")
        self.wait_for(lambda: (game.dir.read("levels/1.lvl") or b"").count(b"\r\n") == 17,
                      "levels/1.lvl saved")
        self.assertIsNone(game.dir.read("levels/0.lvl"))
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
