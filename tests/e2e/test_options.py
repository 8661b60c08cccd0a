"""The options screen driven with real key presses: what it shows ends up in
settings.ini exactly, and the next start reads it back."""
import os

import e2e


def on_options_screen(game):
    # The heading "Options menu:" in its colour on the row where it stands.
    return game.screenshot().count((10, 200, 150), tolerance=4, region=(260, 120, 120, 8)) > 40


class OptionsTest(e2e.GameTestCase):
    def enter(self, game, *keys):
        game.tap(*keys)
        self.wait_for(lambda: on_options_screen(game), "the options screen")

    def leave(self, game, saved=None):
        game.tap("Escape")
        if saved is not None:
            self.wait_for(lambda: game.dir.read("settings.ini") == saved, "settings.ini to hold %r" % saved)
        self.wait_for(lambda: not on_options_screen(game), "the options screen to close")

    def test_choices_are_saved_and_read_back_at_the_next_start(self):
        # Bare LF line ends, as another system may have written them.
        game_dir = self.make_dir(replace={"settings.ini": b"5\n1\n"})
        game = self.start_game(game_dir=game_dir)
        game.wait_for_frame()
        self.enter(game, "Down", "Return")  # Options is the second button
        game.hold("Down", 1.0)     # 5 steps down and more: stops at 0
        game.tap("Right", "Up")    # ambient noise off
        game.hold("Up", 0.6)       # one toggle however long it is held
        game.tap("Down")           # and back off again
        self.leave(game, b"0\r\n0\r\n")
        self.assertFalse(os.path.exists(game_dir.file("settings.ini.tmp")))
        self.assertEqual(game.close(), 0)

        # The next start reads both values: with the file gone after start-up,
        # leaving the options screen (from the playing screen this time)
        # writes what was read, not the defaults 255 and on.
        game = self.start_game(game_dir=game_dir)
        game.wait_for_frame()
        os.remove(game_dir.file("settings.ini"))
        self.enter(game, "Return", "o")
        self.leave(game, b"0\r\n0\r\n")
        self.assertEqual(game.close(), 0)

    def test_volume_stops_at_full_and_an_unwritable_file_is_harmless(self):
        game_dir = self.make_dir(replace={"settings.ini": "250\n0\n"})
        # A directory where the temporary file would go: the save fails and
        # leaves the old file as it was.
        os.mkdir(game_dir.file("settings.ini.tmp"))
        game = self.start_game(game_dir=game_dir)
        game.wait_for_frame()
        self.enter(game, "Down", "Return")
        game.hold("Up", 1.0)
        self.leave(game)
        self.assertEqual(game.dir.read("settings.ini"), b"250\r\n0\r\n")
        os.rmdir(game_dir.file("settings.ini.tmp"))
        self.enter(game, "Down", "Return")
        self.leave(game, b"255\r\n0\r\n")
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
