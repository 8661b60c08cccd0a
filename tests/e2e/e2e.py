"""End-to-end harness: the real game in a private Xvfb, driven as a player drives it.

Game(test, ...) seeds a scratch game directory from data/ (or, with launcher=,
lets that launcher seed the player's directory), starts its own Xvfb and the
game, and gives the story a player's hands (press, type, click), eyes (shows,
extent, says: text read in the game's own font, message) and ears (loudness of what SDL's disk driver captured). Waits
look for an outcome under a generous deadline, never for a fixed time; on a
timeout the screen is kept in TUNNELWICK_ARTIFACTS. All it starts dies with
the test. Needs Xvfb, xdotool, xwd and ImageMagick (tools/install-deps.sh).
"""
import array
import ctypes
import functools
import os
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
HOLD = 0.2       # a key is held, then left alone, this long: a 100 ms poll sees both, a
                 # held arrow's 250 ms repeat does not


def level(title, dog, bone, rocks=()):
    """A level file as the game writes it: sky, ground line, dirt, rocks at (column, row)."""
    rows = [[2] * 20, [19] * 20] + [[16] * 20 for _ in range(13)]
    for column, row in rocks:
        rows[row][column] = 1
    lines = [title.encode(), b"%d %d %d %d" % (dog + bone)] + [bytes(b for t in r for b in (t, 32)) for r in rows]
    return b"\r\n".join(lines) + b"\r\n"


def _spawn(args, **kw):
    # PR_SET_PDEATHSIG: nothing outlives a runner that CTest's timeout killed.
    return subprocess.Popen(args, start_new_session=True, **kw,
                            preexec_fn=lambda: ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL))


def _kill(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)  # Xvfb then removes its lock and socket
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def _ppm(data):
    """(width, height, RGB bytes) of a binary PPM (as ImageMagick writes it, comments and all)."""
    m = re.match(rb"P6\s+(?:#.*\n\s*)*(\d+)\s+(\d+)\s+255\s", data)
    return int(m[1]), int(m[2]), data[m.end():]


@functools.lru_cache(maxsize=None)
def glyph(char):
    """The 8x8 bit rows of a character in Allegro's own font, the one the game writes with."""
    font = ctypes.c_void_p.in_dll(ctypes.CDLL("liballeg.so.4.4"), "font").value
    mono = ctypes.c_void_p.from_address(font).value  # FONT {data, height, vtable}; data {begin, end, glyphs}
    begin = ctypes.c_int.from_address(mono).value
    pointer = ctypes.c_void_p.from_address(ctypes.c_void_p.from_address(mono + 8).value + 8 * (ord(char) - begin))
    return ctypes.string_at(pointer.value + 4, 8)  # after the glyph's short width and height


@functools.lru_cache(maxsize=None)
def picture(name):
    """A shipped picture (a path under data/graphics)."""
    path = os.path.join(DATA, "graphics", name)
    return _ppm(subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout)


class Game:
    def __init__(self, test, levels=None, files=None, audio=False, launcher=None):
        """levels {number: bytes} replace the shipped set; files {path: bytes} are
        written into the game directory first (the player's own, with launcher)."""
        self.test, self.window, root = test, None, tempfile.mkdtemp(prefix="tunnelwick-e2e-")
        test.addCleanup(shutil.rmtree, root, True)
        self.dir = os.path.join(root, "xdg", "tunnelwick") if launcher else os.path.join(root, "game")
        if not launcher:
            shutil.copytree(DATA, self.dir, ignore=shutil.ignore_patterns("levels") if levels else None)
        for name, content in dict(files or {}, **{"levels/%d.lvl" % n: b for n, b in (levels or {}).items()}).items():
            os.makedirs(os.path.dirname(os.path.join(self.dir, name)), exist_ok=True)
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(content)
        self.audio = os.path.join(root, "audio.raw")
        self.env = dict(os.environ, XDG_DATA_HOME=os.path.join(root, "xdg"), SDL_DISKAUDIOFILE=self.audio,
                        SDL_AUDIODRIVER="disk" if audio else "dummy")
        self.env.pop("DISPLAY", None)
        for _ in range(10):
            # A number at random, far above the usual ones: an X server elsewhere (under another /tmp,
            # unseen by Xvfb's lock files) may hold a low one. Xvfb writes it back once it answers.
            # No key repeats by X: on a loaded machine a press outlasts the usual 660 ms, and the
            # repeat of the N that opened a prompt would be typed into it. The game repeats its own.
            read_end, write_end = os.pipe()
            xvfb = _spawn(["Xvfb", ":%d" % random.randrange(1000, 30000), "-displayfd", str(write_end), "-screen",
                           "0", "800x600x24", "-nolisten", "tcp", "-ardelay", "30000"], pass_fds=(write_end,),
                          stderr=subprocess.DEVNULL)
            test.addCleanup(_kill, xvfb)
            os.close(write_end)
            with os.fdopen(read_end) as f:
                number = f.readline().strip()  # nothing when the number is taken
            if number:
                self.env["DISPLAY"] = ":" + number
                break
        self.log = os.path.join(root, "game.log")
        with open(self.log, "wb") as log:
            self.game = _spawn([launcher or BINARY], cwd=self.dir if not launcher else root, env=self.env,
                               stdout=log, stderr=subprocess.STDOUT)
        test.addCleanup(_kill, self.game)
        self.window = self.until("the game window", lambda: self.x("search", "--onlyvisible", "--name",
                                                                   "^Tunnelwick$").split()[:1])[0]
        self.x("mousemove", 799, 599)  # off the window: the game draws its own pointer over it

    def read(self, name):
        try:
            with open(os.path.join(self.dir, name), "rb") as f:
                return f.read()
        except OSError:
            return None

    def x(self, *args):
        """Runs xdotool on this display; its output."""
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True,
                              timeout=60).stdout.decode()

    def until(self, what, check, timeout=DEADLINE):
        """Calls check until it gives something true, and returns that."""
        end = time.monotonic() + timeout
        while True:
            got = check()
            if got:
                return got
            if self.game.poll() is not None:
                with open(self.log, errors="replace") as log:
                    raise AssertionError("the game ended (%d) on display %s before %s:\n%s" % (
                        self.game.returncode, self.env["DISPLAY"], what, log.read()))
            if time.monotonic() > end:
                self.screen(os.path.join(ARTIFACTS, self.test.id().split(".")[-1] + "-timeout.png"))
                raise AssertionError("waited %.0f s for %s" % (timeout, what))
            time.sleep(0.1)

    # Hands ---------------------------------------------------------------
    def press(self, *keys, hold=HOLD):
        """Holds each key (xdotool names: Down, Return, Escape, s ...) that many seconds, then lets it go."""
        for k in keys:
            self.x("windowfocus", "--sync", self.window)
            self.x("keydown", k)
            time.sleep(hold)
            self.x("keyup", k)
            time.sleep(HOLD)

    def type(self, text):
        self.x("type", "--delay", 50, text)

    def click(self, x, y):
        # Allegro sees the pointer inside only once it has moved there.
        self.x("mousemove", "--window", self.window, x + 3, y + 3)
        time.sleep(0.1)
        self.x("mousemove", "--window", self.window, x, y)
        self.x("mousedown", 1)
        time.sleep(HOLD)
        self.x("mouseup", 1)
        time.sleep(HOLD)
        self.x("mousemove", 799, 599)

    def close(self):
        """The window's close button (WM_DELETE_WINDOW); the exit status."""
        subprocess.run([WM_CLOSE, self.window], env=self.env, check=True, timeout=60)
        return self.game.wait(DEADLINE)

    # Eyes ----------------------------------------------------------------
    def screen(self, png=None):
        """The window as (width, height, RGB bytes); with png, saved there instead."""
        shot = subprocess.run(["xwd", "-silent"] + (["-id", self.window] if self.window else ["-root"]),
                              env=self.env, capture_output=True, timeout=60).stdout
        out = subprocess.run(["convert", "xwd:-", "-depth", "8", png or "ppm:-"], input=shot, capture_output=True,
                             timeout=60).stdout
        return None if png else _ppm(out)

    def shows(self, name, x=None, y=None, share=0.9):
        """Whether the shipped picture is on screen at (x, y), else centred. Its
        magenta (a sprite's mask) is skipped; a palette colour may be 6 bits."""
        pw, ph, pic = picture(name)
        sw, sh, shot = self.screen()
        x, y = (sw - pw) // 2 if x is None else x, (sh - ph) // 2 if y is None else y
        hits = total = 0
        for i in range(0, pw * ph, 1 + pw * ph // 4000):
            want, j = pic[3 * i:3 * i + 3], 3 * ((y + i // pw) * sw + x + i % pw)
            if want != b"\xff\x00\xff":
                total += 1
                hits += all(abs(a - b) <= 8 for a, b in zip(want, shot[j:j + 3]))
        return hits >= share * total > 0

    def hits(self, colour, box=(0, 0, 640, 480)):
        """The pixels (x, y) of that colour in the box (x, y, w, h)."""
        sw, _, shot = self.screen()
        x, y, w, h, c = *box, bytes(colour)
        return {(x + i // 3, r) for r in range(y, y + h) for row in [shot[3 * (sw * r + x):3 * (sw * r + x + w)]]
                for i in range(0, 3 * w, 3) if row[i:i + 3] == c}

    def extent(self, colour, box=(0, 0, 640, 480)):
        """Columns from the first to the last holding that colour in the box: the
        width of a line of text, or 640 for a screen's background."""
        found = [x for x, _ in self.hits(colour, box)]
        return max(found) - min(found) + 1 if found else 0

    def says(self, text, colour, box=(0, 0, 640, 480)):
        """Whether the text stands in the box, letter for letter in the game's font and that
        colour; a space at either end asks for nothing more there."""
        cells = [(8 * i + c, r, glyph(ch)[r] >> (7 - c) & 1) for i, ch in enumerate(text) for r in range(8)
                 for c in range(8)]
        on = [(x, y) for x, y, bit in cells if bit]
        found = self.hits(colour, box)
        return any(all(((x + a - on[0][0], y + b - on[0][1]) in found) == bit for a, b, bit in cells)
                   for x, y in found)

    def message(self, key="Return"):
        """Waits for the game's message box (an xmessage), answers it; its text."""
        box = self.until("a message box", lambda: self.x("search", "--onlyvisible", "--class", "xmessage").split())
        pid = subprocess.run(["pgrep", "-x", "-s", str(self.game.pid), "xmessage"], capture_output=True,
                             text=True).stdout.split()[0]  # in the game's session, which is its own
        with open("/proc/%s/cmdline" % pid, "rb") as cmd:
            text = cmd.read().rstrip(b"\0").split(b"\0")[-1].decode()  # xmessage's last argument
        self.x("windowfocus", "--sync", box[0])
        self.x("key", key)
        self.until("the message box to close", lambda: not self.x("search", "--onlyvisible", "--class", "xmessage"))
        return text.rstrip("\n")

    # Ears ----------------------------------------------------------------
    def seconds(self):
        """Seconds of sound captured so far (44.1 kHz, 16-bit stereo)."""
        return os.path.getsize(self.audio) / 176400 if os.path.exists(self.audio) else 0.0

    def loudness(self, start, end):
        """RMS of the captured sound between two moments (in seconds of capture)."""
        with open(self.audio, "rb") as f:
            f.seek(int(start * 44100) * 4)
            data = f.read(int((end - start) * 44100) * 4)
        samples = array.array("h", data[:len(data) // 2 * 2])
        return (sum(s * s for s in samples) / max(1, len(samples))) ** 0.5
