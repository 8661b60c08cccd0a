"""The real game in a private Xvfb, driven by a player's hands, eyes (its own font) and ears; waits are on outcomes."""
import ctypes
import functools
import os
import pathlib
import random
import re
import shutil
import signal
import subprocess
import tempfile
import time

SOURCE = os.environ.get("TUNNELWICK_SOURCE", os.path.join(os.path.dirname(__file__), "..", ".."))
BINARY = os.environ.get("TUNNELWICK_BINARY", os.path.join(SOURCE, "build", "tunnelwick"))
WM_CLOSE = os.environ.get("TUNNELWICK_WM_CLOSE", os.path.join(os.path.dirname(BINARY), "tests", "e2e", "wm_close"))
ARTIFACTS = os.environ.get("TUNNELWICK_ARTIFACTS", tempfile.gettempdir())
DATA = os.path.join(SOURCE, "data")
DEADLINE = 90.0  # seconds: other jobs share the two cores
HOLD = 0.2  # a key's hold and pause: a 100 ms poll sees both, a 250 ms repeat does not


def level(title, dog, bone, rocks=()):
    rows = [[2] * 20, [19] * 20] + [[16] * 20 for _ in range(13)]
    for column, row in rocks:
        rows[row][column] = 1
    lines = [title.encode(), b"%d %d %d %d" % (dog + bone)] + [bytes(b for t in r for b in (t, 32)) for r in rows]
    return b"\r\n".join(lines) + b"\r\n"


def _spawn(args, before=lambda: None, **kw):  # PR_SET_PDEATHSIG: nothing outlives a runner CTest's timeout killed
    return subprocess.Popen(args, start_new_session=True, **kw,
                            preexec_fn=lambda: (ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL), before()))


def _kill(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)  # Xvfb then removes its lock and socket
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def _ppm(data):
    m = re.match(rb"P6\s+(?:#.*\n\s*)*(\d+)\s+(\d+)\s+255\s", data)
    return int(m[1]), int(m[2]), data[m.end():]


@functools.lru_cache(maxsize=None)
def glyph(char):
    font = ctypes.c_void_p.in_dll(ctypes.CDLL("liballeg.so.4.4"), "font").value
    mono = ctypes.c_void_p.from_address(font).value  # FONT {data, height, vtable}; data {begin, end, glyphs}
    begin = ctypes.c_int.from_address(mono).value
    pointer = ctypes.c_void_p.from_address(ctypes.c_void_p.from_address(mono + 8).value + 8 * (ord(char) - begin))
    return ctypes.string_at(pointer.value + 4, 8)  # after the glyph's short width and height


@functools.lru_cache(maxsize=None)
def picture(name):
    return _ppm(subprocess.run(["convert", os.path.join(DATA, "graphics", name), "-depth", "8", "ppm:-"],
                               capture_output=True, check=True).stdout)


class Game:
    def __init__(self, test, levels=None, files=None, audio=False, launcher=None, desktop=(800, 600), graphics=True):
        self.test, self.window, root = test, None, tempfile.mkdtemp(prefix="tunnelwick-e2e-")
        self.desktop, self.view = desktop, (0, 0, 1)  # the picture's place in the window: x, y, scale
        test.addCleanup(shutil.rmtree, root, True)
        self.dir = os.path.join(root, "xdg", "tunnelwick") if launcher else os.path.join(root, "game")
        if not launcher:
            left_out = (["levels", "packs"] if levels else []) + ([] if graphics else ["graphics"])
            shutil.copytree(DATA, self.dir, ignore=shutil.ignore_patterns(*left_out))
        for name, content in dict(files or {}, **{"levels/%d.lvl" % n: b for n, b in (levels or {}).items()}).items():
            path = pathlib.Path(self.dir, name)
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)
        self.audio = os.path.join(root, "audio.raw")
        self.env = dict(os.environ, XDG_DATA_HOME=os.path.join(root, "xdg"), SDL_DISKAUDIOFILE=self.audio,
                        SDL_AUDIODRIVER="disk" if audio else "dummy")
        self.env.pop("DISPLAY", None)
        for _ in range(10):
            # A high random number (a low one may be held unseen); no X key repeat (the game has its own).
            read_end, write_end = os.pipe()
            xvfb = _spawn(["Xvfb", ":%d" % random.randrange(1000, 30000), "-displayfd", str(write_end), "-screen",
                           "0", "%dx%dx24" % desktop, "-nolisten", "tcp", "-ardelay", "30000"], pass_fds=(write_end,),
                          stderr=subprocess.DEVNULL)
            test.addCleanup(_kill, xvfb)
            os.close(write_end)
            with os.fdopen(read_end) as f:
                number = f.readline().strip()  # nothing when the number is taken
            if number:
                self.env["DISPLAY"] = ":" + number
                break
        self.log, self.launcher, self.root = os.path.join(root, "game.log"), launcher, root
        self.start()

    def start(self, ignoring=()):
        """Starts the game (again) on this display, with the signals given ignored as a shell's background job."""
        def ignore():
            for s in ignoring:
                signal.signal(s, signal.SIG_IGN)
        with open(self.log, "wb") as log:
            self.game = _spawn([self.launcher or BINARY], cwd=self.dir if not self.launcher else self.root,
                               env=self.env, stdout=log, stderr=subprocess.STDOUT, before=ignore)
        self.test.addCleanup(_kill, self.game)
        self.window = self.until("the game window", lambda: self.x("search", "--onlyvisible", "--name",
                                                                   "^Tunnelwick$").split()[:1])[0]
        self.x("mousemove", *self.corner())  # off the window: the game draws its own pointer over it

    def corner(self):
        return self.desktop[0] - 1, self.desktop[1] - 1

    def size(self):  # the window's width and height
        geometry = re.search(r"Geometry: (\d+)x(\d+)", self.x("getwindowgeometry", self.window))
        return (int(geometry[1]), int(geometry[2])) if geometry else None

    def output(self):  # what the game wrote to standard output and error
        return pathlib.Path(self.log).read_text(errors="replace")

    def read(self, name):
        path = pathlib.Path(self.dir, name)
        return path.read_bytes() if path.is_file() else None

    def x(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True,
                              timeout=60).stdout.decode()

    def until(self, what, check, timeout=DEADLINE):
        end = time.monotonic() + timeout
        while True:
            boxes = subprocess.run(["pgrep", "-x", "-s", str(self.game.pid), "xmessage"], capture_output=True).stdout
            self.test.assertFalse(boxes, "a message box outside the game's window")  # in the game's session, its own
            got = check()
            if got:
                return got
            if self.game.poll() is not None:
                raise AssertionError("the game ended (%d) on display %s before %s:\n%s" % (self.game.returncode,
                                     self.env["DISPLAY"], what, pathlib.Path(self.log).read_text(errors="replace")))
            if time.monotonic() > end:
                self.screen(os.path.join(ARTIFACTS, self.test.id().split(".")[-1] + "-timeout.png"))
                raise AssertionError("waited %.0f s for %s" % (timeout, what))
            time.sleep(0.1)

    def press(self, *keys, hold=HOLD):
        for k in keys:
            self.x("windowfocus", "--sync", self.window, "keydown", k, "sleep", hold, "keyup", k, "sleep", HOLD)

    def step(self, keys, what, check, hold=HOLD):  # presses the keys (space-separated), waits for the outcome
        self.press(*keys.split(), hold=hold)
        return self.until(what, check)

    def type(self, text):
        self.x("type", "--delay", 50, text)

    def click(self, x, y):  # at (x, y) of the picture; Allegro sees the pointer inside only once it has moved there
        left, top, scale = self.view
        x, y = left + x * scale, top + y * scale
        self.x("mousemove", "--window", self.window, x + 3, y + 3, "sleep", 0.1, "mousemove", "--window", self.window,
               x, y, "mousedown", 1, "sleep", HOLD, "mouseup", 1, "sleep", HOLD, "mousemove", *self.corner())

    def close(self):
        subprocess.run([WM_CLOSE, self.window], env=self.env, check=True, timeout=60)
        return self.game.wait(DEADLINE)

    def screen(self, png=None, whole=False):
        """The picture as the game drew it (taken from its place in the window), or the whole window."""
        shot = subprocess.run(["xwd", "-silent"] + (["-id", self.window] if self.window else ["-root"]),
                              env=self.env, capture_output=True, timeout=60).stdout
        left, top, scale = self.view
        picture = [] if whole or self.view == (0, 0, 1) or png else [
            "-crop", "%dx%d+%d+%d" % (640 * scale, 480 * scale, left, top), "+repage", "-sample", "640x480"]
        out = subprocess.run(["convert", "xwd:-", "-depth", "8"] + picture + [png or "ppm:-"], input=shot,
                             capture_output=True, timeout=60).stdout
        return None if png else _ppm(out)

    def shows(self, name, x=None, y=None):
        """Whether the picture (under data/graphics) is at (x, y), else centred; magenta is its mask."""
        pw, ph, pic = picture(name)
        sw, sh, shot = self.screen()
        x, y = (sw - pw) // 2 if x is None else x, (sh - ph) // 2 if y is None else y
        pairs = [(pic[3 * i:3 * i + 3], 3 * ((y + i // pw) * sw + x + i % pw))
                 for i in range(0, pw * ph, 1 + pw * ph // 4000)]
        marks = [all(abs(a - b) <= 8 for a, b in zip(p, shot[j:j + 3])) for p, j in pairs if p != b"\xff\x00\xff"]
        return sum(marks) >= 0.9 * len(marks) > 0

    def hits(self, colour, box=(0, 0, 640, 480)):
        sw, _, shot = self.screen()
        x, y, w, h, c = *box, bytes(colour)
        return {(x + i // 3, r) for r in range(y, y + h) for row in [shot[3 * (sw * r + x):3 * (sw * r + x + w)]]
                for i in range(0, 3 * w, 3) if row[i:i + 3] == c}

    def extent(self, colour, box=(0, 0, 640, 480)):
        found = [x for x, _ in self.hits(colour, box)]
        return max(found) - min(found) + 1 if found else 0

    def says(self, text, colour, box=(0, 0, 640, 480)):
        """Whether the text stands in the box in that colour; a space at either end asks for nothing more there."""
        cells = [(8 * i + c, r, glyph(ch)[r] >> (7 - c) & 1) for i, ch in enumerate(text) for r in range(8)
                 for c in range(8)]
        on = [(x, y) for x, y, bit in cells if bit]
        found = self.hits(colour, box)
        return any(all(((x + a - on[0][0], y + b - on[0][1]) in found) == bit for a, b, bit in cells) for x, y in found)

    def saying(self, *texts, colour=(20, 20, 20), y=12):  # a check: all the texts on the row at y (None: anywhere)
        return lambda: all(self.says(t, colour, (0, 0, 640, 480) if y is None else (0, y, 640, 8)) for t in texts)

    def message(self, keys, *lines):
        """Presses the keys, waits for the game's message in its window with these lines in white, closes it with Return."""
        shown = self.saying(*lines, colour=(255, 255, 255), y=None)
        self.step(keys, "the message " + repr(lines[0]), shown)
        self.step("Return", "the message to close", lambda: not shown())

    def seconds(self):
        return os.path.getsize(self.audio) / 176400 if os.path.exists(self.audio) else 0.0  # 44.1 kHz 16-bit stereo

    def loudness(self, start, end):
        data = pathlib.Path(self.audio).read_bytes()[int(start * 44100) * 4:int(end * 44100) * 4]
        samples = memoryview(data[:len(data) // 2 * 2]).cast("h")
        return (sum(s * s for s in samples) / max(1, len(samples))) ** 0.5
