"""Playing through the screens with real key presses: a level to the bone and
on to the next, the end of the level set, restarting, leaving to the menu,
the help screen and quitting."""
import os
import re
import subprocess

import e2e

W, H = 640, 480
CONGRATULATION = (50, 150, 50)
RECORD_LINE = (150, 150, 150)
QUESTION = (200, 10, 10)


def plain_level(title, dog, bone, rocks=()):
    """Sky, ground line and dirt below, with rocks at the given cells; dog,
    bone and rocks as (column, row)."""
    rows = [[chr(2)] * 20, [chr(19)] * 20] + [[chr(16)] * 20 for _ in range(13)]
    for column, row in rocks:
        rows[row][column] = chr(1)
    return "%s\n%d %d %d %d\n" % ((title,) + dog + bone) + "".join(
        "".join(c + " " for c in row) + "\n" for row in rows)


# Short slides keep the tests quick on a busy machine, yet every move goes
# several cells, so a key held a little long never makes a second move.
# Level 1: Down from the ground line onto the rock, then Right onto the bone.
LEVEL_1 = plain_level("Down and Along", (2, 1), (8, 6), rocks=[(2, 7)])
LEVEL_1_AFTER_DOWN = (2, 6)
# Level 2: Down onto the bone.
LEVEL_2 = plain_level("Straight Down", (5, 1), (5, 5))
OWN_LEVELS = {"levels/1.lvl": LEVEL_1, "levels/2.lvl": LEVEL_2}
SLOW = 90  # seconds: a slide on a loaded machine with screenshots being taken


def text_extent(shot, colour, top):
    """Leftmost and rightmost x of colour in the 8 text rows from top, or None."""
    xs = [x for y in range(top, top + 8) for x in range(shot.width) if shot.pixel(x, y) == colour]
    return (min(xs), max(xs)) if xs else None


def centred_text_width(chars):
    return 8 * chars  # the built-in font is 8 pixels a character


def shipped_solution(number):
    """The shipped level's title and a fewest-moves sequence of arrow keys,
    from the solver that proves the level set."""
    path = os.path.join(e2e.DATA_DIR, "levels", "%d.lvl" % number)
    with open(path, "rb") as f:
        title = f.readline().rstrip(b"\r\n").decode("latin-1")
    solver = os.path.join(os.path.dirname(e2e.BINARY), "tunnelwick-solve")
    out = subprocess.run([solver, path], stdout=subprocess.PIPE, check=True, timeout=120).stdout.decode()
    keys = re.search(r"fewest moves \d+: ([A-Za-z ]+)", out).group(1).split()
    return title, keys


class PlayTest(e2e.GameTestCase):
    def picture(self, name):
        return e2e.read_pcx(os.path.join(e2e.DATA_DIR, "graphics", name))

    def start(self, highscores=b"", own_levels=True):
        """The game on its main menu; with own_levels the shipped level set
        is replaced by the two short levels above."""
        replace = dict(OWN_LEVELS) if own_levels else {}
        replace["highscores.dat"] = highscores
        game = self.start_game(remove=["levels"] if own_levels else [], replace=replace)
        game.wait_for_frame()
        self.dog = self.picture("zada.pcx")
        return game

    def wait_until_still(self, game, what):
        """Waits until three pictures over about a second are the same: the
        slide is over, even if a busy machine stalls the game a moment."""
        shots = []

        def still():
            shots.append(game.screenshot().rgb)
            del shots[:-3]
            return len(shots) == 3 and shots[0] == shots[1] == shots[2]
        self.wait_for(still, what, timeout=SLOW, interval=0.4)

    def wait_for_dog(self, game, column, row, what):
        def there():
            return game.screenshot().matches(self.dog, 32 * column, 32 * row) > 0.8
        self.wait_for(there, "the dog at (%d, %d): %s" % (column, row, what), timeout=SLOW, interval=0.5)

    def wait_for_won_screen(self, game):
        def won():
            shot = game.screenshot()
            return shot if text_extent(shot, CONGRATULATION, H * 13 // 16) else None
        return self.wait_for(won, "the level-won screen", timeout=SLOW, interval=0.5)

    def record_line_chars(self, shot):
        extent = text_extent(shot, RECORD_LINE, H * 7 // 8)
        self.assertIsNotNone(extent, "no record line")
        return (extent[1] - extent[0] + 8) // 8  # rounded to whole characters

    def menu_button(self, name, index):
        """Share of the menu picture `name` seen at the place of button index
        (0 Play .. 3 Quit), placed by the Play picture's size."""
        play = self.picture("menu/play.pcx")
        shot = self.game.screenshot()
        return shot.matches(self.picture("menu/" + name), W - play.width, H - (4 - index) * play.height)

    def assert_highlighted(self, game, name, index):
        self.game = game
        self.wait_for(lambda: self.menu_button(name, index) > 0.9, "%s highlighted" % name, timeout=SLOW,
                      interval=0.5)

    # --- tests -----------------------------------------------------------------

    def test_shipped_first_level_to_the_bone_then_the_second(self):
        title, keys = shipped_solution(1)
        game = self.start(own_levels=False)
        game.tap("Return")
        self.wait_until_still(game, "level 1 on the screen")
        for key in keys[:-1]:
            game.tap(key)
            self.wait_until_still(game, "the dog stopped after " + key)
        game.tap(keys[-1])
        shot = self.wait_for_won_screen(game)
        game.screenshot("shipped-level-1-won")
        line = "Congratulations! You beat the level in only %d moves." % len(keys)
        left, right = text_extent(shot, CONGRATULATION, H * 13 // 16)
        self.assertEqual((right - left + 8) // 8, len(line))
        self.assertEqual(self.record_line_chars(shot), len("This is a new record!"))
        self.wait_for(lambda: game.dir.read("highscores.dat") == b"1 %d\r\n" % len(keys), "level 1 recorded")

        # Enter goes on: the caption names level 2.
        title2, _ = shipped_solution(2)
        caption = 'Level #2: "%s"' % title2
        game.tap("Return")

        def caption_shown():
            extent = text_extent(game.screenshot(), (20, 20, 20), 12)
            return extent and (extent[1] - extent[0] + 8) // 8 == len(caption)
        self.wait_for(caption_shown, "the caption of level 2", timeout=SLOW, interval=0.5)
        game.screenshot("shipped-level-2")
        self.assertEqual(game.close(), 0)

    def test_level_to_the_bone_next_level_and_end_of_the_set(self):
        # An older, worse result for level 1 and a better one for level 2.
        game = self.start(highscores=b"1 5\r\n2 0\r\n")
        game.tap("Return")  # Play is highlighted at start
        self.wait_for_dog(game, 2, 1, "level 1 begins")
        game.tap("Down")
        self.wait_for_dog(game, *LEVEL_1_AFTER_DOWN, "slid down onto the rock")
        game.tap("Right")
        shot = self.wait_for_won_screen(game)
        game.screenshot("level-1-won")
        chars = len("Congratulations! You beat the level in only 2 moves.")
        left, right = text_extent(shot, CONGRATULATION, H * 13 // 16)
        self.assertEqual((right - left + 8) // 8, chars)
        self.assertEqual(self.record_line_chars(shot), len("This is a new record!"))
        self.wait_for(lambda: game.dir.read("highscores.dat") == b"1 2\r\n2 0\r\n", "the record rewritten")
        self.assertIsNone(game.dir.read("highscores2.dat"))

        game.tap("Return")
        self.wait_for_dog(game, 5, 1, "level 2 begins")
        game.tap("Down")
        shot = self.wait_for_won_screen(game)
        game.screenshot("level-2-won")
        self.assertEqual(self.record_line_chars(shot), len("The high score for this level is 0."))
        self.assertEqual(game.dir.read("highscores.dat"), b"1 2\r\n2 0\r\n")

        # No level 3: the end of the set, then the menu on level 1.
        game.tap("Return")
        box = game.wait_for_message(timeout=SLOW)
        self.assertTrue(box.text.startswith("Congratulations! You beat all the levels available in Tunnelwick!"),
                        box.text)
        self.assertTrue(box.text.rstrip("\n").endswith("View the readme for more info."), box.text)
        box.dismiss()
        self.assert_highlighted(game, "playon.pcx", 0)
        game.screenshot("menu-after-the-end")
        game.tap("Return")
        self.wait_for_dog(game, 2, 1, "level 1 again")
        self.assertEqual(game.close(), 0)

    def test_restart_question_no_keeps_the_level_yes_reads_it_again(self):
        game = self.start(highscores=b"1 9\r\n")
        game.tap("Return")
        game.tap("Down")
        self.wait_for_dog(game, *LEVEL_1_AFTER_DOWN, "slid down")

        game.tap("r")
        def asked():
            shot = game.screenshot()
            return text_extent(shot, QUESTION, H // 2) and shot.pixel(10, 10) == (0, 0, 0)
        self.wait_for(asked, "the restart question", timeout=SLOW, interval=0.5)
        left, right = text_extent(game.screenshot("question"), QUESTION, H // 2)
        self.assertEqual((right - left + 8) // 8, len("Really restart the level (Y/N)?"))
        game.tap("n")
        self.wait_for_dog(game, *LEVEL_1_AFTER_DOWN, "still where it was after No")

        game.tap("r")
        self.wait_for(asked, "the restart question again", timeout=SLOW, interval=0.5)
        game.tap("y")
        self.wait_for_dog(game, 2, 1, "back at the start after Yes")

        # Two moves since the restart: the old 9 is beaten by 2, not 3.
        game.tap("Down")
        self.wait_for_dog(game, *LEVEL_1_AFTER_DOWN, "slid down again")
        game.tap("Right")
        self.wait_for_won_screen(game)
        self.wait_for(lambda: game.dir.read("highscores.dat") == b"1 2\r\n", "the record of 2 moves")
        self.assertEqual(game.close(), 0)

    def test_escape_leaves_to_the_menu_and_restarts_the_level(self):
        game = self.start(highscores=b"1 2\r\n")
        game.tap("Return")
        game.tap("Down")
        self.wait_for_dog(game, *LEVEL_1_AFTER_DOWN, "slid down")
        game.tap("Escape")
        self.assert_highlighted(game, "playon.pcx", 0)
        self.assertTrue(game.running(), "Escape in play must not also quit")
        game.tap("Return")
        self.wait_for_dog(game, 2, 1, "the level started afresh")
        game.tap("Down")
        self.wait_for_dog(game, *LEVEL_1_AFTER_DOWN, "slid down")
        game.tap("Right")
        shot = self.wait_for_won_screen(game)
        self.assertEqual(self.record_line_chars(shot), len("You tied for the high score."))
        self.assertEqual(game.dir.read("highscores.dat"), b"1 2\r\n")
        self.assertEqual(game.close(), 0)

    def test_help_and_back_highlights_options_and_quit_ends_with_status_0(self):
        game = self.start()
        game.tap("Down", "Down")
        self.assert_highlighted(game, "helpon.pcx", 2)
        game.tap("Return")
        help_bg = self.picture("menu/help_bg.pcx")
        self.wait_for(lambda: game.screenshot().matches(help_bg, 0, 0) > 0.9, "the help screen", timeout=SLOW, interval=0.5)
        game.screenshot("help")
        game.tap("Escape")
        self.assert_highlighted(game, "optionson.pcx", 1)
        game.screenshot("back-from-help")
        self.assertTrue(game.running(), "Escape on the help screen must not also quit")

        game.tap("a")
        box = game.wait_for_message()
        self.assertTrue(box.text.startswith("W00f! Thanks for playing Tunnelwick"), box.text)
        self.assertIn("Made using FMOD (for the mp3 playing) and Allegro (for graphics, v ", box.text)
        box.dismiss()

        game.tap("Down", "Down")
        self.assert_highlighted(game, "quiton.pcx", 3)
        game.tap("Return")
        self.assertEqual(game.wait(), 0)


if __name__ == "__main__":
    e2e.main()
