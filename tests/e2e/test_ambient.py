"""Ambient sounds as heard through SDL's disk audio driver: silent on the
menu, the garden within moments of starting to play, silence once switched
off in the options screen, and nothing at background volume 0."""
import os
import subprocess
import time

import e2e

SOUNDS = ("bird1a", "chaffinch1a", "car9b", "willow1a", "dog1a")
OPTIONS_GREY = (20, 20, 20)
LOUD = 30.0  # RMS; a sound at channel volume 25 of 255 still clears this


def ensure_sounds(game_dir):
    """The shipped recordings where they exist; a sox tone in their place
    where they do not yet, so that every test hears something."""
    os.makedirs(game_dir.file("sounds"), exist_ok=True)
    for name in SOUNDS:
        path = game_dir.file("sounds/%s.mp3" % name)
        if not os.path.exists(path):
            subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", path, "synth", "2", "sine", "1200",
                            "vol", "0.5"], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_for_audio(game, seconds):
    """Waits until the capture holds at least this many seconds."""
    e2e.wait_for(lambda: game.audio_seconds() >= seconds, "%.1f s of captured sound" % seconds,
                 timeout=seconds + 20)


def on_options_screen(game):
    shot = game.screenshot()
    return all(shot.pixel(x, y) == OPTIONS_GREY for x, y in ((10, 10), (630, 470), (320, 300)))


class AmbientTest(e2e.GameTestCase):
    def start(self, settings):
        game_dir = self.make_dir(replace={"settings.ini": settings})
        ensure_sounds(game_dir)
        game = self.start_game(game_dir=game_dir, audio="disk")
        game.wait_for_frame()
        return game

    def loud_since(self, game, start, window=1.0):
        """Waits for a loud window of captured sound after start (capture
        seconds); returns where it begins."""
        def loud():
            end = game.audio_seconds()
            at = max(start, end - window)
            return at if end - start >= window and game.audio_rms(at, end) > LOUD else None
        return self.wait_for(loud, "ambient sound to be heard", timeout=12)

    def test_main_menu_stays_silent(self):
        game = self.start("255\n1\n")
        # Long enough for the bird to have started twice over, had it been
        # allowed to.
        wait_for_audio(game, 9)
        self.assertEqual(game.audio_rms(0, 9), 0.0)
        self.assertEqual(game.close(), 0)

    def test_playing_hears_the_garden_until_switched_off_in_the_options(self):
        game = self.start("255\n1\n")
        game.tap("Return")  # Play
        started = game.audio_seconds()
        heard = self.loud_since(game, 0)
        # The bird starts about four seconds after start-up.
        print("first sound at %.1f s of capture (play began at %.1f s)" % (heard, started))
        self.assertLess(heard, started + 6.5)

        game.tap("o")
        self.wait_for(lambda: on_options_screen(game), "the options screen")
        game.tap("Right", "Up")  # the ambient item, switched off
        # The switch acts from the first update after the screen closes:
        # the looping bird goes on meanwhile.
        mark = game.audio_seconds()
        wait_for_audio(game, mark + 1.5)
        self.assertGreater(game.audio_rms(mark + 0.5, mark + 1.5), LOUD)

        game.tap("Escape")
        self.wait_for(lambda: not on_options_screen(game), "the playing screen again")
        closed = game.audio_seconds()
        wait_for_audio(game, closed + 4)
        self.assertEqual(game.audio_rms(closed + 1.5, closed + 4), 0.0)
        self.assertEqual(game.dir.read("settings.ini"), b"255\r\n0\r\n")
        self.assertEqual(game.close(), 0)

    def test_background_volume_zero_silences_play(self):
        game = self.start("0\n1\n")
        game.tap("Return")
        wait_for_audio(game, 10)
        self.assertEqual(game.audio_rms(0, 10), 0.0)
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
