#!/usr/bin/env python3
"""Takes the README's screenshots from the real game in a private Xvfb.

Usage: tools/take-screenshots.py [BINARY] [OUT_DIR]
  BINARY   the built game (default build/tunnelwick)
  OUT_DIR  where the PNGs go (default docs/screenshots)

Writes menu.png (the main menu), help.png (the help screen), rules.png
(Help's rules page), options.png
(the options screen), first.png (level 1 telling its keys), won.png (the
first level won), restart.png (the
restart question), chooser.png (the level chooser), play.png (a later level,
chosen with the chooser, part-way through), editor.png (the level editor)
prompt.png (the editor's prompt for a level number) and finale.png (after
the last shipped level, with some of the others solved). Uses the
end-to-end harness in tests/e2e, so it needs Xvfb, xdotool, xwd and ImageMagick.
"""

import os
import re
import subprocess
import sys
import time
import unittest

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
# The play screenshot shows one of the last gardens a few moves in, with a hint.
PLAY_LEVEL = 36
PLAY_MOVES = ["Left", "Down", "Left", "Down"]


def shipped_levels():
    """The fewest moves and a solution of each shipped level, from docs/levels.md."""
    fewest, solution, inside = {}, {}, False
    with open(os.path.join(SOURCE, "docs", "levels.md"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("## "):
                inside = line.startswith("## The level set")
            row = re.match(r"\| (\d+) \|", line)
            if inside and row:
                cells = [c.strip() for c in line.strip().strip("|").split("|")]
                fewest[int(cells[0])], solution[int(cells[0])] = int(cells[3]), cells[-1].split()
    return fewest, solution


def save(game, name):
    os.makedirs(OUT, exist_ok=True)
    path = os.path.join(OUT, name + ".png")
    game.screen(path)
    # A palette of 160 colours keeps the pictures small and still faithful.
    subprocess.run(["convert", path, "-dither", "None", "-colors", "160",
                    "-strip", "-define", "png:compression-level=9", path], check=True)
    print("wrote", path, os.path.getsize(path), "bytes")


def settle(game):
    """Waits until two screenshots a second apart agree: the animation is over."""
    last = None
    while last != (last := game.screen()):
        time.sleep(1.0)


def main():
    owner = unittest.TestCase()  # holds the cleanups: Xvfb, the game, the scratch directory
    try:
        game = e2e.Game(owner, files={"settings.ini": b"200\r\n0\r\n"})
        game.until("the menu", lambda: game.shows("menu/playon.pcx", 640 - 208, 480 - 4 * 58))
        save(game, "menu")
        game.press("Down", "Down", "Return")
        game.until("the help screen", lambda: game.shows("menu/help_bg.pcx", 0, 0))
        save(game, "help")
        game.press("Right")
        time.sleep(1.0)
        settle(game)
        save(game, "rules")
        game.press("Return")
        game.until("the menu", lambda: game.shows("menu/helpon.pcx", 640 - 208, 480 - 2 * 58))
        game.press("Up")
        game.until("the menu", lambda: game.shows("menu/optionson.pcx", 640 - 208, 480 - 3 * 58))
        game.press("Return")
        time.sleep(1.5)
        settle(game)
        save(game, "options")
        game.press("Escape")
        game.until("the menu", lambda: game.shows("menu/optionson.pcx", 640 - 208, 480 - 3 * 58))
        game.press("Up")
        game.until("the menu", lambda: game.shows("menu/playon.pcx", 640 - 208, 480 - 4 * 58))
        game.press("Return")
        time.sleep(1.0)
        settle(game)
        save(game, "first")
        for move in WIN_FIRST_LEVEL:
            settle(game)
            game.press(move)
        game.until("the level-won screen", lambda: game.shows("zada_wins.pcx", 120, 60))
        save(game, "won")
        game.press("Return")
        settle(game)
        game.press("r")
        time.sleep(1.0)
        settle(game)
        save(game, "restart")
        game.press("n")
        settle(game)
        game.press("s")                      # the chooser opens on level 2
        time.sleep(1.5)
        game.press(*["Down"] * (PLAY_LEVEL - 2))
        settle(game)
        save(game, "chooser")
        game.press("Return")
        for move in PLAY_MOVES:
            settle(game)
            game.press(move)
        settle(game)
        game.press("h")
        settle(game)
        save(game, "play")
        game.press("Escape")
        settle(game)
        game.press("l")
        game.x("mousemove", "--window", game.window, 300, 250)
        time.sleep(1.0)
        settle(game)
        save(game, "editor")
        game.press("n")
        time.sleep(0.5)
        game.type("41")
        time.sleep(1.0)
        settle(game)
        save(game, "prompt")
        game.press("Escape")
        # The finale after the last shipped level, the first 27 solved before (every fourth not in the fewest moves).
        fewest, solution = shipped_levels()
        table = "".join("%d %d\r\n" % (n, fewest[n] + (3 if n % 4 == 0 else 0)) for n in range(1, 28))
        last = e2e.Game(owner, files={"settings.ini": b"200\r\n0\r\n", "highscores.dat": table.encode()})
        last.until("the menu", lambda: last.shows("menu/playon.pcx", 640 - 208, 480 - 4 * 58))
        last.press("s")
        time.sleep(1.5)
        last.press("End", "Return")
        time.sleep(1.0)
        for move in solution[max(solution)]:
            settle(last)
            last.press(move)
        last.until("the level-won screen", lambda: last.shows("zada_wins.pcx", 120, 60))
        last.press("Return")
        time.sleep(3.0)
        settle(last)
        save(last, "finale")
    finally:
        owner.doCleanups()


if __name__ == "__main__":
    main()
