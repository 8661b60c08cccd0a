"""A large desktop: the window opens doubled pixel for pixel, a click at 2x lands, F11 goes full screen and back,
and a game closed in full screen opens in full screen."""
import unittest

from e2e import Game

DESKTOP = (2560, 1440)  # 90 % of it holds 1280x960, not 1920x1440; full screen holds 1920x1440


def on_menu(game, item):  # with the item highlighted: 0 Play, 1 Options, 2 Help, 3 Quit
    return game.shows("menu/%s.pcx" % ("playon", "optionson", "helpon", "quiton")[item], 432, 480 - (4 - item) * 58)


def squares(game, scale):
    """Whether the window shows every pixel of the picture as a scale-by-scale square."""
    left, top, _ = game.view
    width, height, shot = game.screen(whole=True)
    rows = [shot[3 * width * y + 3 * left:3 * width * y + 3 * (left + 640 * scale)]
            for y in range(top, top + 480 * scale)]
    same_rows = all(rows[y] == rows[y - y % scale] for y in range(len(rows)))
    same_columns = all(row[c::3 * scale] == row[c + 3 * k::3 * scale] for row in rows[::scale]
                       for c in range(3) for k in range(1, scale))
    return same_rows and same_columns


def black_border(game):
    width, height, shot = game.screen(whole=True)
    return all(shot[3 * (width * y + x):3 * (width * y + x) + 3] == b"\0\0\0"
               for x, y in [(0, 0), (319, 700), (2240, 700), (width - 1, height - 1)])


class WindowStory(unittest.TestCase):
    def test_scales_and_full_screen(self):
        game = Game(self, desktop=DESKTOP)
        self.assertEqual(game.size(), (1280, 960))
        game.view = (0, 0, 2)
        game.until("the menu, doubled pixel for pixel", lambda: on_menu(game, 0) and squares(game, 2))
        game.click(500, 330)  # the Options button
        game.until("the options", game.saying("Options", colour=(255, 230, 120), y=104))
        game.step("Escape", "the menu", lambda: on_menu(game, 1))

        game.press("F11")
        game.until("full screen", lambda: game.size() == DESKTOP)
        game.view = (320, 0, 3)
        game.until("the menu at 3x, centred on black", lambda: on_menu(game, 1) and squares(game, 3) and black_border(game))
        game.press("F11")
        game.until("the window again", lambda: game.size() == (1280, 960))
        game.view = (0, 0, 2)
        game.until("the menu at 2x", lambda: on_menu(game, 1) and squares(game, 2))

        game.press("alt+Return")
        game.until("full screen by Alt+Enter", lambda: game.size() == DESKTOP)
        game.view = (320, 0, 3)
        game.until("still the menu: no level started", lambda: on_menu(game, 1))
        self.assertEqual(game.close(), 0)
        self.assertIn(b"full-screen=on\n", game.read("preferences.ini"))
        game.start()
        game.until("full screen at the next start", lambda: game.size() == DESKTOP and on_menu(game, 0))
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    unittest.main()
