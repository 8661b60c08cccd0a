"""The options screen driven with real key presses: what it shows ends up in
settings.ini exactly, and the next start reads it back."""
import os

import e2e


def on_options_screen(game):
    shot = game.screenshot()
    return all(shot.pixel(x, y) == (20, 20, 20) for x, y in ((10, 10), (630, 470), (320, 300)))


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

    def test_volume_stops_at_full_and_a_failed_save_is_told(self):
        game_dir = self.make_dir(replace={"settings.ini": "250\n0\n"})
        # The player made the file read-only: the save fails, says why in a
        # message box, and leaves the file as it was.
        old = game_dir.read("settings.ini")
        os.chmod(game_dir.file("settings.ini"), 0o444)
        game = self.start_game(game_dir=game_dir)
        game.wait_for_frame()
        self.enter(game, "Down", "Return")
        game.hold("Up", 1.0)
        game.tap("Escape")
        box = game.wait_for_message()
        self.assertEqual(box.text.strip(), 'The options could not be saved ("settings.ini"): Permission denied')
        box.dismiss()
        self.wait_for(lambda: not on_options_screen(game), "the options screen to close")
        self.assertEqual(game.dir.read("settings.ini"), old)
        os.chmod(game_dir.file("settings.ini"), 0o644)
        self.enter(game, "Down", "Return")
        self.leave(game, b"255\r\n0\r\n")
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
