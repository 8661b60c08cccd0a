#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/: small
well-formed files of each kind and the damaged ones players actually hand
the game. Run again after changing it; the results are committed."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def level(title=b"Seed level", positions=b"3 1 12 9", eol=b"\r\n", cells=None, rows=15):
    out = title + eol + positions + eol
    for r in range(rows):
        for c in range(20):
            if cells:
                code = cells(r, c)
            else:
                code = 2 if r == 0 else 19 if r == 1 else (1 if (r * 7 + c * 3) % 11 == 0 else 16)
            out += bytes([code, 32])
        out += eol
    return out


def write(kind, name, content):
    folder = os.path.join(HERE, "corpus", kind)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(content)


# Level files.
write("level_file", "crlf.lvl", level())
write("level_file", "lf.lvl", level(eol=b"\n"))
write("level_file", "empty.lvl", b"")
write("level_file", "title-only.lvl", b"Only a title\r\n")
write("level_file", "ends-after-positions.lvl", b"Short\r\n1 1 5 5\r\n")
write("level_file", "positions-off-board.lvl", level(positions=b"-1 99 20 15"))
write("level_file", "huge-numbers.lvl", level(positions=b"99999999999 -2147483649 7 x"))
write("level_file", "split-positions.lvl", level(positions=b"3\t1\r\n12\r\n9"))
write("level_file", "unknown-codes.lvl", level(cells=lambda r, c: (r * 20 + c) * 7 % 256 or 200))
write("level_file", "truncated-grid.lvl", level()[:300])
write("level_file", "binary.lvl", bytes(range(256)) * 3)

# High-score tables: two bytes (level, moves), then the table.
write("highscores", "append", b"\x03\x11" + b"1 20\r\n2 31\r\n")
write("highscores", "beat", b"\x03\x0c" + b"1 20\r\n3 17\r\n2 31\r\n3 40\r\n")
write("highscores", "tie", b"\x03\x11" + b"3 17\n")
write("highscores", "worse", b"\x03\x14" + b"3 17")
write("highscores", "empty", b"\x01\x05")
write("highscores", "no-last-break", b"\x04\x09" + b"1 20\n2 31")
write("highscores", "damaged", b"\x02\x03" + b"1 20\r\n2 x1\r\n2 9\r\n")
write("highscores", "odd-count", b"\x05\x03" + b"1 20 5")
write("highscores", "negative", b"\x05\x09" + b"5 -4\r\n")

# Settings files.
write("settings", "usual", b"255\r\n1\r\n")
write("settings", "off", b"200\n0\n")
write("settings", "empty", b"")
write("settings", "words", b"loud\r\non\r\n")
write("settings", "out-of-range", b"-40\r\n7\r\n")
write("settings", "one-line", b"1")
write("settings", "huge", b"99999999999999\r\n1\r\n")

# Level sets for the chooser: a choice byte, then files separated by "@@".
write("chooser_scan", "three", b"\x64" + level(b"First") + b"@@" + level(b"Second", eol=b"\n")
      + b"@@" + level(b"  Third with spaces  "))
write("chooser_scan", "odd-titles", b"\x61" + b"\r\r\n@@" + b"no line end@@" + b"\x00\xff\xf0%s%n\r\n")
write("chooser_scan", "empty-files", b"\x02@@@@")

# Cell steps against the ticks: 300 cell bytes (each picks a code), the dog's
# and the bone's cells, then arrows (the byte modulo 5, 0 for no arrow).
def board(pick, dog, bone, arrows):
    return bytes(pick(i) for i in range(300)) + bytes(dog + bone) + bytes(arrows)


write("cell_moves", "dirt", board(lambda i: 0, (5, 1), (12, 9), [2, 1, 3, 4, 2, 1, 3, 4]))
write("cell_moves", "rocks", board(lambda i: 5 if (i * 7) % 13 == 0 else i % 5, (3, 2), (9, 8),
                                    [1, 2, 3, 4, 0, 1, 2, 3, 4, 0]))
write("cell_moves", "mixed", board(lambda i: (i * 31 + 7) % 256, (0, 0), (19, 14), list(range(36))))
