"""Ambient sounds as heard through SDL's disk audio driver: silent on the
menu, the garden within moments of starting to play, silence once switched
off in the options screen, and nothing at background volume 0."""
import e2e
from test_options import on_options_screen

LOUD = 30.0  # RMS; a sound at channel volume 25 of 255 still clears this


class AmbientTest(e2e.GameTestCase):
    def start(self, settings):
        game = self.start_game(replace={"settings.ini": settings}, audio="disk")
        game.wait_for_frame()
        return game

    def wait_for_audio(self, game, seconds):
        """Waits until the capture holds at least this many seconds."""
        self.wait_for(lambda: game.audio_seconds() >= seconds, "%.1f s of captured sound" % seconds,
                      timeout=seconds + 20)

    def test_main_menu_stays_silent(self):
        game = self.start("255\n1\n")
        # Long enough for the bird to have started twice over, had it been
        # allowed to.
        self.wait_for_audio(game, 9)
        self.assertEqual(game.audio_rms(0, 9), 0.0)
        self.assertEqual(game.close(), 0)

    def test_playing_hears_the_garden_until_switched_off_in_the_options(self):
        game = self.start("255\n1\n")
        game.tap("Return")  # Play
        started = game.audio_seconds()

        def loud():  # the start of a loud second of capture
            end = game.audio_seconds()
            return end - 1.0 if end >= 1.0 and game.audio_rms(end - 1.0, end) > LOUD else None
        heard = self.wait_for(loud, "ambient sound to be heard", timeout=12)
        # The bird starts about four seconds after start-up.
        print("first sound at %.1f s of capture (play began at %.1f s)" % (heard, started))
        self.assertLess(heard, started + 6.5)

        game.tap("o")
        self.wait_for(lambda: on_options_screen(game), "the options screen")
        game.tap("Right", "Up")  # the ambient item, switched off
        # The switch acts from the first update after the screen closes:
        # the looping bird goes on meanwhile.
        mark = game.audio_seconds()
        self.wait_for_audio(game, mark + 1.5)
        self.assertGreater(game.audio_rms(mark + 0.5, mark + 1.5), LOUD)

        game.tap("Escape")
        self.wait_for(lambda: not on_options_screen(game), "the playing screen again")
        closed = game.audio_seconds()
        self.wait_for_audio(game, closed + 4)
        self.assertEqual(game.audio_rms(closed + 1.5, closed + 4), 0.0)
        self.assertEqual(game.dir.read("settings.ini"), b"255\r\n0\r\n")
        self.assertEqual(game.close(), 0)

    def test_background_volume_zero_silences_play(self):
        game = self.start("0\n1\n")
        game.tap("Return")
        self.wait_for_audio(game, 10)
        self.assertEqual(game.audio_rms(0, 10), 0.0)
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
