"""The kit's own eyes and ears: a picture the game shows comes back through
the screenshot as it is in its PCX file (true colour and palette files), and
the sound capture runs (silent on the main menu)."""
import struct
import time

import e2e


def rle_line(data):
    """PCX run-length coding at its simplest: a byte that looks like a run
    count goes as a run of one."""
    return b"".join(bytes([0xC1, b]) if b >= 0xC0 else bytes([b]) for b in data)


def pcx(width, height, colour_at, palette=None):
    """A PCX file: true colour in three planes, or 8 bits with palette (a
    list of 256 (r, g, b)) when colour_at gives palette indexes."""
    planes = 1 if palette else 3
    header = struct.pack("<BBBBHHHHHH48sBBHH58s", 10, 5, 1, 8, 0, 0, width - 1, height - 1, 72, 72, bytes(48), 0,
                         planes, width, 1, bytes(58))
    body = bytearray()
    for y in range(height):
        if palette:
            body += rle_line(bytes(colour_at(x, y) for x in range(width)))
        else:
            for plane in range(3):
                body += rle_line(bytes(colour_at(x, y)[plane] for x in range(width)))
    tail = b"\x0c" + b"".join(bytes(c) for c in palette) if palette else b""
    return header + bytes(body) + tail


def quadrants(x, y):
    """Four colours, with a stripe pattern in one of them."""
    if x < 320:
        return (200, 40, 40) if y < 240 else (40, 200, 40)
    if y < 240:
        return (40, 40, 200)
    return (250, 250, 250) if (x // 4) % 2 else (10, 10, 10)


class KitTest(e2e.GameTestCase):
    def check_picture_comes_back(self, content, exact):
        game = self.start_game(seed=False, replace={"graphics/menu/menu_bg.pcx": content})
        game.wait_for_frame()
        shot = game.screenshot("menu")
        picture = e2e.read_pcx(game.dir.file("graphics/menu/menu_bg.pcx"))
        self.assertEqual((picture.width, picture.height), (640, 480))
        self.assertGreater(shot.matches(picture, 0, 0), 0.99)
        if exact:
            self.assertEqual(shot.matches(picture, 0, 0, tolerance=0), 1.0)
        # A shifted comparison must fail: the check does look at the pixels.
        self.assertLess(shot.matches(picture, 4, 0), 0.95)
        self.assertEqual(game.close(), 0)

    def test_true_colour_picture(self):
        self.check_picture_comes_back(pcx(640, 480, quadrants), exact=True)

    def test_palette_picture(self):
        palette = [(i, 255 - i, (i * 7) % 256) for i in range(256)]
        # The game keeps 6 bits of a palette colour: close, not exact.
        self.check_picture_comes_back(pcx(640, 480, lambda x, y: (x // 3 + y) % 256, palette), exact=False)

    def test_sound_capture_is_silent_on_the_main_menu(self):
        game = self.start_game(seed=False, audio="disk")
        self.wait_for(lambda: game.audio_seconds() > 0.5, "sound to be captured")
        start = game.audio_seconds()
        time.sleep(1.0)
        self.assertGreater(game.audio_seconds() - start, 0.3)
        self.assertLess(game.audio_rms(start, game.audio_seconds()), 1.0)
        self.assertEqual(game.close(), 0)


if __name__ == "__main__":
    e2e.main()
