#!/usr/bin/env python3
"""Writes the fuzz targets' seeds into tests/fuzz/corpus/: small good files
and the damaged ones players hand the game. The results are committed."""
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
