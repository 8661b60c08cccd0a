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
SLOW = 90  # seconds: a slide on a loaded machine with screenshots being taken


def plain_level(title, dog, bone, rocks=()):
    """Sky, ground line and dirt below, with rocks; positions as (column, row)."""
    rows = [[chr(2)] * 20, [chr(19)] * 20] + [[chr(16)] * 20 for _ in range(13)]
    for column, row in rocks:
        rows[row][column] = chr(1)
    return "%s\n%d %d %d %d\n" % ((title,) + dog + bone) + "".join(
        "".join(c + " " for c in row) + "\n" for row in rows)


# Short slides keep the tests quick on a busy machine, yet every move goes
# several cells, so a key held a little long never makes a second move.
# Level 1: Down from the ground line onto the rock, then Right onto the bone.
# Level 2: Down onto the bone.
OWN_LEVELS = {"levels/1.lvl": plain_level("Down and Along", (2, 1), (8, 6), rocks=[(2, 7)]),
              "levels/2.lvl": plain_level("Straight Down", (5, 1), (5, 5))}
AFTER_DOWN = (2, 6)


def text_chars(shot, colour, top):
    """Width in 8-pixel characters of the colour's text in the 8 rows from top, or 0."""
    xs = [x for y in range(top, top + 8) for x in range(shot.width) if shot.pixel(x, y) == colour]
    return (max(xs) - min(xs) + 8) // 8 if xs else 0


def picture(name):
    return e2e.read_pcx(os.path.join(e2e.DATA_DIR, "graphics", name))


class PlayTest(e2e.GameTestCase):
    def start(self, highscores=b"", own_levels=True):
        """The game on its main menu; with own_levels the shipped level set
        is replaced by the two short levels above."""
        replace = dict(OWN_LEVELS) if own_levels else {}
        replace["highscores.dat"] = highscores
        self.game = self.start_game(remove=["levels"] if own_levels else [], replace=replace)
        self.game.wait_for_frame()
        self.dog = picture("zada.pcx")
        return self.game

    def slow_wait(self, predicate, what):
        return self.wait_for(predicate, what, timeout=SLOW, interval=0.5)

    def dog_at(self, column, row, what):
        self.slow_wait(lambda: self.game.screenshot().matches(self.dog, 32 * column, 32 * row) > 0.8,
                       "the dog at (%d, %d): %s" % (column, row, what))

    def won_screen(self, moves, record_line):
        """Waits for the level-won screen; checks its two lines by width."""
        def shown():
            shot = self.game.screenshot()
            return text_chars(shot, CONGRATULATION, H * 13 // 16) and shot
        shot = self.slow_wait(shown, "the level-won screen")
        self.assertEqual(text_chars(shot, CONGRATULATION, H * 13 // 16),
                         len("Congratulations! You beat the level in only %d moves." % moves))
        self.assertEqual(text_chars(shot, RECORD_LINE, H * 7 // 8), len(record_line))

    def highlighted(self, name, index):
        """Waits for the menu picture `name` on button index (0 Play .. 3
        Quit), placed by the Play picture's size."""
        play, on = picture("menu/play.pcx"), picture("menu/" + name)
        self.slow_wait(lambda: self.game.screenshot().matches(
            on, W - play.width, H - (4 - index) * play.height) > 0.9, name + " highlighted")

    def test_shipped_first_level_to_the_bone(self):
        path = os.path.join(e2e.DATA_DIR, "levels", "1.lvl")
        out = subprocess.run([os.path.join(os.path.dirname(e2e.BINARY), "tunnelwick-solve"), path],
                             stdout=subprocess.PIPE, check=True, timeout=120).stdout.decode()
        keys = re.search(r"fewest moves \d+: ([A-Za-z ]+)", out).group(1).split()
        game = self.start(own_levels=False)
        shots = []

        def still():
            """Three equal pictures over about a second: the slide is over,
            even if a busy machine stalls the game a moment."""
            shots[:] = shots[-2:] + [game.screenshot().rgb]
            return len(shots) == 3 and shots[0] == shots[1] == shots[2]
        game.tap("Return")
        for key in keys:
            shots.clear()
            self.slow_wait(still, "the dog still before " + key)
            game.tap(key)
        self.won_screen(len(keys), "This is a new record!")
        game.screenshot("shipped-level-1-won")
        self.wait_for(lambda: game.dir.read("highscores.dat") == b"1 %d\r\n" % len(keys), "level 1 recorded")
        self.assertEqual(game.close(), 0)

    def test_level_to_the_bone_next_level_and_end_of_the_set(self):
        # An older, worse result for level 1 and a better one for level 2.
        game = self.start(highscores=b"1 5\r\n2 0\r\n")
        game.tap("Return")  # Play is highlighted at start
        self.dog_at(2, 1, "level 1 begins")
        game.tap("Down")
        self.dog_at(*AFTER_DOWN, "slid down onto the rock")
        game.tap("Right")
        self.won_screen(2, "This is a new record!")
        game.screenshot("level-1-won")
        self.wait_for(lambda: game.dir.read("highscores.dat") == b"1 2\r\n2 0\r\n", "the record rewritten")
        self.assertIsNone(game.dir.read("highscores2.dat"))

        game.tap("Return")
        self.dog_at(5, 1, "level 2 begins")
        game.tap("Down")
        self.won_screen(1, "The high score for this level is 0.")
        self.assertEqual(game.dir.read("highscores.dat"), b"1 2\r\n2 0\r\n")

        # No level 3: the end of the set, then the menu on level 1.
        game.tap("Return")
        box = game.wait_for_message(timeout=SLOW)
        self.assertTrue(box.text.startswith("Congratulations! You beat all the levels available in Tunnelwick!"),
                        box.text)
        self.assertIn('in the levels\nfolder', box.text)
        self.assertIn('"Making and sharing levels"', box.text)
        box.dismiss()
        self.highlighted("playon.pcx", 0)
        game.tap("Return")
        self.dog_at(2, 1, "level 1 again")
        self.assertEqual(game.close(), 0)

    def test_restart_no_and_yes_then_escape_to_the_menu_restarts_the_level(self):
        game = self.start(highscores=b"1 2\r\n")
        game.tap("Return")
        game.tap("Down")
        self.dog_at(*AFTER_DOWN, "slid down")

        def asked():
            shot = game.screenshot()
            return text_chars(shot, QUESTION, H // 2) == len("Really restart the level (Y/N)?")
        game.tap("r")
        self.slow_wait(asked, "the restart question")
        game.screenshot("question")
        game.tap("n")
        self.dog_at(*AFTER_DOWN, "still where it was after No")
        game.tap("r")
        self.slow_wait(asked, "the restart question again")
        game.tap("y")
        self.dog_at(2, 1, "back at the start after Yes")

        game.tap("Down")
        self.dog_at(*AFTER_DOWN, "slid down again")
        game.tap("Escape")
        self.highlighted("playon.pcx", 0)
        self.assertTrue(game.running(), "Escape in play must not also quit")
        game.tap("Return")
        self.dog_at(2, 1, "the level started afresh")
        game.tap("Down")
        self.dog_at(*AFTER_DOWN, "slid down")
        game.tap("Right")
        # Two moves since the level began again: a tie with the stored 2.
        self.won_screen(2, "You tied for the high score.")
        self.assertEqual(game.dir.read("highscores.dat"), b"1 2\r\n")
        self.assertEqual(game.close(), 0)

    def test_help_and_back_highlights_options_and_quit_ends_with_status_0(self):
        game = self.start()
        game.tap("Down", "Down")
        self.highlighted("helpon.pcx", 2)
        game.tap("Return")
        help_bg = picture("menu/help_bg.pcx")
        self.slow_wait(lambda: game.screenshot().matches(help_bg, 0, 0) > 0.9, "the help screen")
        game.tap("Escape")
        self.highlighted("optionson.pcx", 1)
        self.assertTrue(game.running(), "Escape on the help screen must not also quit")

        game.tap("a")
        box = game.wait_for_message()
        self.assertTrue(box.text.startswith("W00f! Thanks for playing Tunnelwick"), box.text)
        self.assertIn("Made using SDL2_mixer (for the mp3 playing) and Allegro (for graphics, v ", box.text)
        box.dismiss()

        game.tap("Down", "Down")
        self.highlighted("quiton.pcx", 3)
        game.tap("Return")
        self.assertEqual(game.wait(), 0)


if __name__ == "__main__":
    e2e.main()
