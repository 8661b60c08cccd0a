"""The level editor driven like a level designer drives it: real mouse clicks
and typing, a saved level file checked byte for byte, then the edited board
played to the bone."""
import os
import time

import e2e
from e2e import level_bytes, blank_rows


class EditorTest(e2e.GameTestCase):
    def paint(self, game, cells):
        for column, row in cells:
            x, y = column * 32 + 16, row * 32 + 16
            # The library takes the pointer as inside the window only once
            # it has moved there; a jump in from outside is not enough.
            game.mouse_move(x + 3, y + 3)
            time.sleep(0.1)
            game.click(x, y, hold=0.2)
            time.sleep(0.15)

    def answer_prompt(self, game, key, text):
        game.tap(key)
        time.sleep(0.5)
        game.type_text(text)
        time.sleep(0.3)
        game.tap("Escape")

    def test_paint_number_title_save_then_play_it(self):
        game = self.start_game(replace={"levels/1.lvl": level_bytes("Start", (3, 1), (3, 14), blank_rows()),
                                        "highscores.dat": b""})
        game.wait_for_frame()
        game.tap("l")                      # the editor, with the dog brush
        game.tap("e")                      # a blank board to paint on
        expected = blank_rows()

        # One press of Right per brush: the whole cycle from the dog brush.
        plan = [
            (e2e.BLACK_ROCK, [(5, 5)]),
            (e2e.ROCK, [(2, 10), (6, 8)]),  # the first stops the dig, the second drops into the tunnel
            (e2e.SKY_TOP, [(10, 13)]),
            (e2e.DIRT, [(11, 13)]),
            (e2e.TUNNEL, [(15, 12), (16, 12)]),
            (e2e.SKY_BOTTOM, [(0, 14)]),
            (e2e.SKY_BOTTOM_DESTROYED, [(1, 14)]),
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

        self.answer_prompt(game, "n", "42")
        self.answer_prompt(game, "t", "Dug by hand")
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
        e2e.wait_for_dog(game, 2, 9)
        game.tap("Right")
        e2e.wait_for_record(game, 42, 2)
        game.screenshot("won")
        self.assertEqual(game.close(), 0)

    def test_invalid_number_is_refused_with_a_message(self):
        # No level 1 on disk: what S writes there is the editor's doing.
        game = self.start_game(remove=["levels/1.lvl"],
                               replace={"levels/2.lvl": level_bytes("Two", (3, 1), (3, 14), blank_rows())})
        game.wait_for_frame()
        game.tap("l")
        self.answer_prompt(game, "n", "abc")
        box = game.wait_for_message()
        self.assertEqual(box.text.strip(), "Invalid level # input")
        box.dismiss()
        # The number stays 1: saving writes level 1's file.
        game.tap("s")
        self.wait_for(lambda: (game.dir.read("levels/1.lvl") or b"").count(b"\r\n") == 17, "levels/1.lvl saved")
        self.assertIsNone(game.dir.read("levels/0.lvl"))
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
