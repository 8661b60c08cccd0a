#!/usr/bin/env python3
"""Takes the README's screenshots from the real game in a private Xvfb.

Usage: tools/take-screenshots.py [BINARY] [OUT_DIR]
  BINARY   the built game (default build/tunnelwick)
  OUT_DIR  where the PNGs go (default docs/screenshots)

Writes menu.png (the main menu), help.png (the help screen), options.png
(the options screen), won.png (the first level won), restart.png (the
restart question), chooser.png (the level chooser), play.png (a later level,
chosen with the chooser, part-way through), editor.png (the level editor)
and prompt.png (the editor's prompt for a level number). Uses the
end-to-end kit in tests/e2e, so it needs Xvfb, xdotool and xwd; ImageMagick's
convert, when present, makes the files smaller.
"""

import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
os.environ.setdefault("TUNNELWICK_SOURCE", SOURCE)
if len(sys.argv) > 1:
    os.environ["TUNNELWICK_BINARY"] = os.path.abspath(sys.argv[1])
OUT = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.path.join(SOURCE, "docs", "screenshots")

import e2e  # noqa: E402  (found through the path set above)

# The first level is won with these two moves; the won screen shows them.
WIN_FIRST_LEVEL = ["Down", "Right"]
# The play screenshot shows one of the drawn gardens after a few moves.
PLAY_LEVEL = 20
PLAY_MOVES = ["Down", "Left", "Right"]


def save(image, name):
    os.makedirs(OUT, exist_ok=True)
    path = os.path.join(OUT, name + ".png")
    image.save_png(path)
    if shutil.which("convert"):
        # A palette of 160 colours keeps the pictures small and still faithful.
        subprocess.run(["convert", path, "-dither", "None", "-colors", "160",
                        "-strip", "-define", "png:compression-level=9", path], check=True)
    print("wrote", path, os.path.getsize(path), "bytes")


def picture(name):
    return e2e.read_pcx(os.path.join(e2e.DATA_DIR, "graphics", name))


def shows(game, pic, x, y, share=0.9):
    def check():
        shot = game.screenshot()
        return shot if shot.matches(pic, x, y) >= share else None
    return e2e.wait_for(check, "the screen with %dx%d picture at %d,%d" % (pic.width, pic.height, x, y))


def settle(game, seconds=1.0):
    """Waits until two screenshots a moment apart agree: the animation is over."""
    last = game.screenshot()
    while True:
        time.sleep(seconds)
        shot = game.screenshot()
        if shot.rgb == last.rgb:
            return shot
        last = shot


def main():
    x = e2e.XServer()
    game_dir = e2e.GameDir(replace={"settings.ini": "200\n0\n"})
    game = e2e.Game(x, game_dir, artifacts=os.path.join(game_dir.path, "shots"))
    try:
        save(game.wait_for_frame(), "menu")
        game.tap("Down", "Down", "Return")
        save(shows(game, picture("menu/help_bg.pcx"), 0, 0, 0.95), "help")
        game.tap("Return")
        shows(game, picture("menu/optionson.pcx"), 640 - 208, 480 - 3 * 58, 0.8)
        game.tap("Return")
        time.sleep(1.5)
        save(settle(game, 0.5), "options")
        game.tap("Escape")
        shows(game, picture("menu/playon.pcx"), 640 - 208, 480 - 4 * 58, 0.8)
        game.tap("Return")
        for move in WIN_FIRST_LEVEL:
            time.sleep(0.3)
            game.tap(move)
            settle(game)
        won = picture("zada_wins.pcx")
        save(shows(game, won, 320 - won.width // 2, 240 - won.height // 2, 0.95), "won")
        game.tap("Return")
        time.sleep(0.5)
        game.tap("r")
        time.sleep(1.0)
        save(settle(game, 0.5), "restart")
        game.tap("n")
        time.sleep(0.5)
        game.tap("s")                      # the chooser opens on level 2
        time.sleep(1.5)
        game.tap(*["Down"] * (PLAY_LEVEL - 2))
        save(settle(game, 0.5), "chooser")
        game.tap("Return")
        time.sleep(1.0)
        for move in PLAY_MOVES:
            game.tap(move)
            settle(game)
        save(settle(game), "play")
        game.tap("Escape")
        time.sleep(0.5)
        game.tap("l")
        game.mouse_move(300, 250)
        time.sleep(1.0)
        save(settle(game), "editor")
        game.tap("n")
        time.sleep(0.5)
        game.type_text("33")
        time.sleep(1.0)
        save(settle(game, 0.5), "prompt")
        game.tap("Escape")
    finally:
        game.kill()
        game_dir.remove()
        x.stop()


if __name__ == "__main__":
    main()
