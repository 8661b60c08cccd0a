"""End-to-end kit: drive the real game binary in a private X server.

Each test gets its own Xvfb (a free display, found by Xvfb itself), a scratch
game directory seeded from data/, and the built binary started in it. Keys and
the mouse go through xdotool, screenshots through xwd (decoded here, no
ImageMagick needed), and the window is closed the way a window manager's close
button does it (WM_DELETE_WINDOW, via the small wm_close program). Everything
started is killed on teardown, also when a test fails.

CTest passes these in the environment (tests/e2e/CMakeLists.txt):
  TUNNELWICK_BINARY   the game binary (build/tunnelwick)
  TUNNELWICK_SOURCE   the source tree (for data/)
  TUNNELWICK_WM_CLOSE the wm_close helper
  TUNNELWICK_ARTIFACTS where screenshots and logs of a run are kept
Set E2E_KEEP=1 to keep the scratch directories for a look afterwards.

Example (a file tests/e2e/test_<topic>.py is picked up by CTest by itself):

    import e2e

    class MenuTest(e2e.GameTestCase):
        def test_down_moves_the_highlight(self):
            game = self.start_game(replace={"settings.ini": "255\n0\n"},
                                   remove=["highscores.dat"])
            before = game.wait_for_frame()      # the first frame is shown
            game.tap("Down")                     # held 200 ms, released, 200 ms pause
            self.wait_for(lambda: game.screenshot().pixel(500, 330) != before.pixel(500, 330),
                          "the highlight to move")
            game.screenshot("after")             # kept as build/e2e-artifacts/.../NN-after.png
            button = e2e.read_pcx(game.dir.file("graphics/menu/optionson.pcx"))
            self.assertGreater(game.screenshot().matches(button, 420, 300), 0.95)
            game.hold("a")                       # the about box
            box = game.wait_for_message()        # box.text: the message, line ends included
            self.assertIn("Tunnelwick", box.text)
            box.dismiss()                        # Return in the box; focus back on the game
            self.assertEqual(game.close(), 0)    # WM_DELETE_WINDOW, then the exit status

    if __name__ == "__main__":
        e2e.main()

Also: game.key_down/key_up, game.type_text("12"), game.click(x, y),
game.mouse_move/mouse_down/mouse_up, game.dir.read/write (files in the game
directory), game.wait() (exit status), game.output() (stdout and stderr),
game.cpu_seconds(), start_game(audio="disk") with game.audio_seconds() and
game.audio_rms(start, end). The pointer is parked off the window at start
(the game draws its own pointer over its window); mouse_move brings it back.
Pixel colours are (r, g, b); screenshots are of the 640x480 window only.

Run one file by hand from the build dir: `ctest -R e2e_test_window -V`.
"""

import ctypes
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

SOURCE_DIR = os.environ.get(
    "TUNNELWICK_SOURCE", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY = os.environ.get("TUNNELWICK_BINARY", os.path.join(SOURCE_DIR, "build", "tunnelwick"))
WM_CLOSE = os.environ.get("TUNNELWICK_WM_CLOSE", os.path.join(os.path.dirname(BINARY), "tests", "e2e", "wm_close"))
ARTIFACTS = os.environ.get("TUNNELWICK_ARTIFACTS", os.path.join(os.path.dirname(BINARY), "e2e-artifacts"))
DATA_DIR = os.path.join(SOURCE_DIR, "data")

WINDOW_W, WINDOW_H = 640, 480
DEFAULT_TIMEOUT = 20.0  # seconds; generous, the machine may be busy
HOLD_S = 0.2            # a key held this long is seen by a 100 ms poll
GAP_S = 0.2             # pause after a release, so "wait for release" loops see it
SAMPLE_RATE = 44100     # the rate the game opens its audio at


# --- waiting ----------------------------------------------------------------

def wait_for(predicate, message="condition", timeout=DEFAULT_TIMEOUT, interval=0.1):
    """Calls predicate until it returns something true and returns that; fails
    the test with message after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.0f s waiting for: %s" % (timeout, message))
        time.sleep(interval)


def _die_with_parent():
    # Children must not outlive a test runner that was killed (a CTest
    # timeout kills only the Python process).
    try:
        ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def _run(args, timeout=10.0, check=True, display=None):
    env = dict(os.environ)
    if display:
        env["DISPLAY"] = display
    result = subprocess.run(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=timeout)
    if check and result.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(args), result.returncode,
                                                   result.stderr.decode(errors="replace")))
    return result.stdout.decode(errors="replace")


# --- the X server ---------------------------------------------------------

class XServer:
    """A private Xvfb; Xvfb picks a free display number itself (-displayfd)."""

    def __init__(self, geometry="1024x768x24"):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", geometry, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True, preexec_fn=_die_with_parent)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + DEFAULT_TIMEOUT
        try:
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or self.process.poll() is not None:
                    raise RuntimeError("Xvfb did not start")
                ready, _, _ = select.select([read_end], [], [], remaining)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        raise RuntimeError("Xvfb did not report its display")
                    number += chunk
        except Exception:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()

    def stop(self):
        _kill_group(self.process)


def _kill_group(process):
    if process is None or process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        pass


# --- pictures ---------------------------------------------------------------

class Image:
    """An RGB picture: width, height and rows of (r, g, b) byte triples."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb  # rgb: bytes, 3 per pixel

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, x, y, w, h):
        rows = [self.rgb[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3] for r in range(h)]
        return Image(w, h, b"".join(rows))

    def save_png(self, path):
        raw = b"".join(b"\0" + self.rgb[r * self.width * 3:(r + 1) * self.width * 3] for r in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xffffffff)

        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
            out.write(chunk(b"IEND", b""))

    def count(self, colour, tolerance=0, region=None):
        """How many pixels (in region (x, y, w, h), default all) are within
        tolerance of colour in every channel."""
        x0, y0, w, h = region or (0, 0, self.width, self.height)
        n = 0
        for y in range(y0, y0 + h):
            row = self.rgb[(y * self.width + x0) * 3:(y * self.width + x0 + w) * 3]
            for i in range(0, len(row), 3):
                if (abs(row[i] - colour[0]) <= tolerance and abs(row[i + 1] - colour[1]) <= tolerance
                        and abs(row[i + 2] - colour[2]) <= tolerance):
                    n += 1
        return n

    def matches(self, picture, x, y, tolerance=8, skip_magenta=True):
        """Share (0..1) of picture's pixels found at (x, y) here, each channel
        within tolerance. Magenta pixels of picture (the mask colour of a
        sprite) are skipped. The 8-bit palette of a PCX loses a little
        precision when the game loads it, hence the tolerance."""
        total = hits = 0
        for py in range(picture.height):
            sy = y + py
            if not 0 <= sy < self.height:
                continue
            for px in range(picture.width):
                sx = x + px
                if not 0 <= sx < self.width:
                    continue
                want = picture.pixel(px, py)
                if skip_magenta and want == (255, 0, 255):
                    continue
                total += 1
                got = self.pixel(sx, sy)
                if all(abs(a - b) <= tolerance for a, b in zip(got, want)):
                    hits += 1
        return hits / total if total else 0.0


def read_xwd(data):
    """Decodes an xwd dump (ZPixmap, 24 or 32 bits per pixel, TrueColor)."""
    fields = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, _, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14:17]
    ncolors = fields[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise ValueError("unsupported xwd picture (format %d, %d bpp)" % (pixmap_format, bits_per_pixel))
    offset = header_size + ncolors * 12
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"

    def shift_of(mask):
        s = 0
        while mask and not (mask >> s) & 1:
            s += 1
        return s

    rs, gs, bs = shift_of(red_mask), shift_of(green_mask), shift_of(blue_mask)
    out = bytearray(width * height * 3)
    byte_masks = all(m == 0xff << sh and sh % 8 == 0 for m, sh in
                     ((red_mask, rs), (green_mask, gs), (blue_mask, bs)))
    if byte_masks:
        # Each colour is one byte of the pixel: pick them out by slicing.
        def index(sh):
            return sh // 8 if order == "little" else step - 1 - sh // 8
        ri, gi, bi = index(rs), index(gs), index(bs)
        for y in range(height):
            line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * step]
            row = bytearray(width * 3)
            row[0::3] = line[ri::step]
            row[1::3] = line[gi::step]
            row[2::3] = line[bi::step]
            out[y * width * 3:(y + 1) * width * 3] = row
        return Image(width, height, bytes(out))
    o = 0
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * step]
        for x in range(0, width * step, step):
            v = int.from_bytes(line[x:x + step], order)
            out[o] = (v & red_mask) >> rs
            out[o + 1] = (v & green_mask) >> gs
            out[o + 2] = (v & blue_mask) >> bs
            o += 3
    return Image(width, height, bytes(out))


def read_pcx(path):
    """Decodes a PCX picture: 8 bits with a 256-colour palette, or 24 bits in
    three planes (what Allegro's save_pcx writes for true colour)."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 128 or data[0] != 10:
        raise ValueError("not a PCX file: " + path)
    bits, = struct.unpack("<B", data[3:4])
    xmin, ymin, xmax, ymax = struct.unpack("<4H", data[4:12])
    planes = data[65]
    bytes_per_line, = struct.unpack("<H", data[66:68])
    width, height = xmax - xmin + 1, ymax - ymin + 1
    if bits != 8 or planes not in (1, 3):
        raise ValueError("unsupported PCX picture (%d bits, %d planes): %s" % (bits, planes, path))
    line_size = planes * bytes_per_line
    need = line_size * height
    decoded = bytearray()
    i = 128
    while len(decoded) < need and i < len(data):
        b = data[i]
        i += 1
        if b >= 0xC0:
            decoded += bytes([data[i] if i < len(data) else 0]) * (b & 0x3F)
            i += 1
        else:
            decoded.append(b)
    decoded = decoded[:need].ljust(need, b"\0")
    out = bytearray(width * height * 3)
    if planes == 1:
        palette = data[-768:] if len(data) >= 769 and data[-769] == 12 else bytes(768)
        for y in range(height):
            for x in range(width):
                c = decoded[y * line_size + x]
                out[(y * width + x) * 3:(y * width + x) * 3 + 3] = palette[c * 3:c * 3 + 3]
    else:
        for y in range(height):
            base = y * line_size
            for x in range(width):
                o = (y * width + x) * 3
                out[o] = decoded[base + x]
                out[o + 1] = decoded[base + bytes_per_line + x]
                out[o + 2] = decoded[base + 2 * bytes_per_line + x]
    return Image(width, height, bytes(out))


# --- sound captured with SDL's disk driver -----------------------------------

def read_audio(path, start_s=0.0, end_s=None):
    """Samples (signed 16-bit, both channels interleaved) of a raw capture,
    from start_s to end_s seconds."""
    frame = 4
    with open(path, "rb") as f:
        f.seek(int(start_s * SAMPLE_RATE) * frame)
        size = -1 if end_s is None else max(0, int((end_s - start_s) * SAMPLE_RATE)) * frame
        data = f.read(size)
    data = data[:len(data) // 2 * 2]
    return struct.unpack("<%dh" % (len(data) // 2), data)


def rms(samples):
    if not samples:
        return 0.0
    return (sum(s * s for s in samples) / len(samples)) ** 0.5


# --- message boxes ----------------------------------------------------------

class MessageBox:
    """An xmessage box the game opened with allegro_message."""

    def __init__(self, game, window, pid):
        self.game, self.window, self.pid = game, window, pid
        self.text = ""
        if pid:
            try:
                with open("/proc/%d/cmdline" % pid, "rb") as f:
                    args = f.read().split(b"\0")
                # xmessage [options] text: the text is the last argument.
                self.text = [a for a in args if a][-1].decode(errors="replace")
            except OSError:
                pass

    def dismiss(self, timeout=DEFAULT_TIMEOUT):
        """Presses Return in the box (its default button is OK); kills it if
        it will not go."""
        try:
            _run(["xdotool", "windowfocus", "--sync", str(self.window)], display=self.game.display)
            _run(["xdotool", "key", "Return"], display=self.game.display)
        except (RuntimeError, subprocess.TimeoutExpired):
            pass
        try:
            wait_for(lambda: not self.game._message_pids(), "the message box to close", timeout=timeout)
        except AssertionError:
            if self.pid:
                try:
                    os.kill(self.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        self.game.focus()


# --- the game ---------------------------------------------------------------

class GameDir:
    """A scratch game directory, seeded from data/ unless seed is False."""

    def __init__(self, seed=True, remove=(), replace=None):
        self.path = tempfile.mkdtemp(prefix="tunnelwick-e2e-")
        if seed and os.path.isdir(DATA_DIR):
            shutil.copytree(DATA_DIR, self.path, dirs_exist_ok=True)
        for name in remove:
            target = self.file(name)
            if os.path.isdir(target):
                shutil.rmtree(target)
            elif os.path.lexists(target):
                os.remove(target)
        for name, content in (replace or {}).items():
            self.write(name, content)

    def file(self, name):
        return os.path.join(self.path, name)

    def write(self, name, content):
        """Writes a file; str is written with CR LF line ends as the game does."""
        target = self.file(name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if isinstance(content, str):
            content = content.replace("\r\n", "\n").replace("\n", "\r\n").encode("latin-1")
        with open(target, "wb") as f:
            f.write(content)

    def read(self, name):
        """Bytes of a file, or None when it is missing."""
        try:
            with open(self.file(name), "rb") as f:
                return f.read()
        except OSError:
            return None

    def remove(self):
        if os.environ.get("E2E_KEEP"):
            print("kept game directory", self.path)
            return
        shutil.rmtree(self.path, ignore_errors=True)


class Game:
    """The running binary. Window coordinates are the game's own 640x480."""

    def __init__(self, xserver, game_dir, audio="dummy", env=None, artifacts=None, find_window=True,
                 command=None):
        self.display = xserver.display
        self.dir = game_dir
        self.artifacts = artifacts or game_dir.path
        self.audio_file = None
        self.window = None
        self._shots = 0
        run_env = dict(os.environ)
        run_env["DISPLAY"] = self.display
        if audio == "disk":
            self.audio_file = game_dir.file("audio.raw")
            run_env["SDL_AUDIODRIVER"] = "disk"
            run_env["SDL_DISKAUDIOFILE"] = self.audio_file
        else:
            run_env["SDL_AUDIODRIVER"] = audio
        run_env.update(env or {})
        os.makedirs(self.artifacts, exist_ok=True)
        # One log per game started in a test: game.log, game-2.log, ...
        self.log_path = os.path.join(self.artifacts, "game.log")
        n = 1
        while os.path.exists(self.log_path):
            n += 1
            self.log_path = os.path.join(self.artifacts, "game-%d.log" % n)
        self._log = open(self.log_path, "wb")
        self.process = subprocess.Popen(command or [BINARY], cwd=game_dir.path, env=run_env, stdin=subprocess.DEVNULL,
                                        stdout=self._log, stderr=subprocess.STDOUT,
                                        start_new_session=True, preexec_fn=_die_with_parent)
        if find_window:
            self.find_window()

    # process ---------------------------------------------------------------
    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the game to end and returns its exit status."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the game did not end within %.0f s" % timeout)

    def output(self):
        """Everything the game wrote on stdout and stderr so far."""
        if not self._log.closed:
            self._log.flush()
        with open(self.log_path, "rb") as f:
            return f.read().decode(errors="replace")

    def cpu_seconds(self):
        """User plus system time of the whole process (all threads)."""
        with open("/proc/%d/stat" % self.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def kill(self):
        _kill_group(self.process)
        if not self._log.closed:
            self._log.close()

    # window ----------------------------------------------------------------
    def find_window(self, timeout=DEFAULT_TIMEOUT):
        def found():
            if not self.running():
                raise AssertionError("the game ended (status %s) before its window appeared:\n%s"
                                     % (self.process.returncode, self.output()))
            out = _run(["xdotool", "search", "--onlyvisible", "--name", "^Tunnelwick$"], check=False,
                       display=self.display)
            ids = out.split()
            return ids[0] if ids else None

        self.window = int(wait_for(found, "the Tunnelwick window", timeout=timeout, interval=0.2))
        self.park_pointer()
        self.focus()
        return self.window

    def park_pointer(self):
        """Moves the pointer off the window: the game draws its own pointer
        while the real one is over the window, which would spoil pictures."""
        _run(["xdotool", "mousemove", "1020", "760"], display=self.display)

    def focus(self):
        """Gives the game window the keyboard focus (there is no window
        manager: without this, keys go only where the pointer is)."""
        if self.window is not None and self.running():
            _run(["xdotool", "windowfocus", "--sync", str(self.window)], check=False, display=self.display)

    def geometry(self):
        """(width, height) of the game window."""
        out = _run(["xwininfo", "-id", str(self.window)], display=self.display)
        values = {}
        for line in out.splitlines():
            if ":" in line:
                k, v = line.split(":", 1)
                values[k.strip()] = v.strip()
        return int(values["Width"]), int(values["Height"])

    def close(self, timeout=DEFAULT_TIMEOUT):
        """Presses the window's close button (WM_DELETE_WINDOW) and returns
        the exit status."""
        _run([WM_CLOSE, str(self.window)], display=self.display)
        return self.wait(timeout)

    # keys and mouse --------------------------------------------------------
    def _xdo(self, *args):
        _run(["xdotool"] + [str(a) for a in args], display=self.display)

    def key_down(self, key):
        self._xdo("keydown", key)

    def key_up(self, key):
        self._xdo("keyup", key)

    def hold(self, key, seconds=HOLD_S):
        """Holds a key (xdotool name: Up, Down, Left, Right, Return, Escape,
        space, a, ...) long enough for a 100 ms poll to see it."""
        self.focus()
        self.key_down(key)
        try:
            time.sleep(seconds)
        finally:
            self.key_up(key)

    def tap(self, *keys, hold=HOLD_S, gap=GAP_S):
        """Holds each key in turn, with a pause after each release."""
        for k in keys:
            self.hold(k, hold)
            time.sleep(gap)

    def type_text(self, text, delay_ms=50):
        """Types text into the key queue (read by the text prompt)."""
        self.focus()
        self._xdo("type", "--delay", delay_ms, text)

    def mouse_move(self, x, y):
        self._xdo("mousemove", "--window", self.window, x, y)

    def mouse_down(self, button=1):
        self._xdo("mousedown", button)

    def mouse_up(self, button=1):
        self._xdo("mouseup", button)

    def click(self, x, y, button=1, hold=0.08):
        """Moves to (x, y) in the window and presses the button long enough
        for the game's polling of the button state to see it."""
        self.mouse_move(x, y)
        time.sleep(0.05)
        self.mouse_down(button)
        time.sleep(hold)
        self.mouse_up(button)

    # screen ----------------------------------------------------------------
    def screenshot(self, name=None):
        """The window's picture now. With a name it is also saved as
        name.png among the test's artifacts."""
        data = subprocess.run(["xwd", "-silent", "-id", str(self.window)], env=dict(os.environ, DISPLAY=self.display),
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=10).stdout
        if not data:
            raise AssertionError("xwd could not capture the game window")
        image = read_xwd(data)
        if name:
            # Numbered in order across every game of the test.
            self._shots = max(self._shots, len([f for f in os.listdir(self.artifacts) if f.endswith(".png")]))
            self._shots += 1
            image.save_png(os.path.join(self.artifacts, "%02d-%s.png" % (self._shots, name)))
        return image

    def wait_for_frame(self, timeout=DEFAULT_TIMEOUT):
        """Waits until the window shows something other than plain black (the
        first frame is drawn; with the pointer parked off the window), then
        returns that picture. A game with no pictures stays black."""
        def drawn():
            shot = self.screenshot()
            return shot if any(shot.rgb) else None
        return wait_for(drawn, "the first frame", timeout=timeout, interval=0.2)

    def wait_for_pixel(self, x, y, colour, tolerance=8, timeout=DEFAULT_TIMEOUT):
        def there():
            got = self.screenshot().pixel(x, y)
            return all(abs(a - b) <= tolerance for a, b in zip(got, colour))
        wait_for(there, "pixel (%d, %d) to become %s" % (x, y, colour), timeout=timeout, interval=0.2)

    # message boxes ---------------------------------------------------------
    def _message_pids(self):
        """Pids of xmessage processes started by the game."""
        pids = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/comm" % entry) as f:
                    if f.read().strip() != "xmessage":
                        continue
                with open("/proc/%s/stat" % entry) as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
            except OSError:
                continue
            if ppid == self.pid or _is_descendant(ppid, self.pid):
                pids.append(int(entry))
        return pids

    def message_box(self):
        """The open message box, or None."""
        pids = self._message_pids()
        if not pids:
            return None
        out = _run(["xdotool", "search", "--onlyvisible", "--class", "xmessage"], check=False, display=self.display)
        ids = out.split()
        if not ids:
            return None
        return MessageBox(self, int(ids[0]), pids[0])

    def wait_for_message(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the game's message box and returns it (its .text is the
        message as the game gave it, line ends included)."""
        return wait_for(self.message_box, "a message box", timeout=timeout, interval=0.2)

    # sound -----------------------------------------------------------------
    def audio_seconds(self):
        """Seconds of sound captured so far (audio="disk" only)."""
        try:
            return os.path.getsize(self.audio_file) / (SAMPLE_RATE * 4)
        except OSError:
            return 0.0

    def audio_rms(self, start_s, end_s):
        """Loudness of the captured sound between two moments (in seconds of
        capture, see audio_seconds)."""
        return rms(read_audio(self.audio_file, start_s, end_s))


def _is_descendant(pid, ancestor):
    for _ in range(32):
        if pid == ancestor:
            return True
        if pid <= 1:
            return False
        try:
            with open("/proc/%d/stat" % pid) as f:
                pid = int(f.read().rsplit(")", 1)[1].split()[1])
        except OSError:
            return False
    return False


# --- tests --------------------------------------------------------------------

class GameTestCase(unittest.TestCase):
    """A test case with a private X server per test; everything it starts is
    killed when the test ends, also on failure."""

    def setUp(self):
        self.xserver = XServer()
        self.addCleanup(self.xserver.stop)
        self.artifacts = os.path.join(ARTIFACTS, self.id().replace("__main__.", ""))
        shutil.rmtree(self.artifacts, ignore_errors=True)
        os.makedirs(self.artifacts, exist_ok=True)

    def make_dir(self, seed=True, remove=(), replace=None):
        game_dir = GameDir(seed=seed, remove=remove, replace=replace)
        self.addCleanup(game_dir.remove)
        return game_dir

    def start_game(self, seed=True, remove=(), replace=None, game_dir=None, audio="dummy", env=None,
                   find_window=True, command=None):
        """Starts the game in a fresh scratch directory (or game_dir). seed:
        copy data/ first; remove: paths to delete from it; replace: {path:
        content} to write. audio: "dummy" (silent) or "disk" (captured, see
        Game.audio_rms); env: more environment; command: what to run
        instead of the binary (in game_dir, e.g. the launcher). Returns the
        Game, its window found and focused."""
        if game_dir is None:
            game_dir = self.make_dir(seed=seed, remove=remove, replace=replace)
        game = Game(self.xserver, game_dir, audio=audio, env=env, artifacts=self.artifacts, find_window=False,
                    command=command)
        self.addCleanup(game.kill)
        if find_window:
            game.find_window()
        return game

    def wait_for(self, predicate, message="condition", timeout=DEFAULT_TIMEOUT, interval=0.1):
        return wait_for(predicate, message, timeout, interval)


def main():
    """Runs the test cases of the calling module."""
    for tool in ("Xvfb", "xdotool", "xwd", "xwininfo"):
        if shutil.which(tool) is None:
            print("missing tool:", tool, "(run tools/install-deps.sh)", file=sys.stderr)
            sys.exit(1)
    unittest.main(verbosity=2)


# ---- Levels and play, shared by the editor and chooser tests ----

# A slide of ten cells is 160 frames; on a loaded machine a frame of the game
# in Xvfb has been seen to take a tenth of a second and more.
SLIDE_TIMEOUT = 120.0
BLACK_ROCK, ROCK, SKY_TOP, DIRT, TUNNEL, SKY_BOTTOM, SKY_BOTTOM_DESTROYED = 0, 1, 2, 16, 17, 19, 21


def blank_rows(rocks=()):
    """The cells of a blank level, with a rock in each (column, row) given."""
    rows = [[SKY_TOP] * 20, [SKY_BOTTOM] * 20] + [[DIRT] * 20 for _ in range(13)]
    for column, row in rocks:
        rows[row][column] = ROCK
    return rows


def level_bytes(title, dog, bone, rows):
    """A level file as the game writes it: CR LF lines, a space after each cell."""
    data = title.encode("latin-1") + b"\r\n" + ("%d %d %d %d\r\n" % (dog + bone)).encode()
    for row in rows:
        data += b"".join(bytes([code, 32]) for code in row) + b"\r\n"
    return data


def wait_for_dog(game, column, row):
    """Waits until the dog stands drawn in the cell (the slide has ended)."""
    path = os.path.join(DATA_DIR, "graphics", "zada.pcx")
    if not os.path.exists(path):
        time.sleep(4.0)  # no dog picture to look for: a slide is over well within this
        return
    picture = read_pcx(path)
    wait_for(lambda: game.screenshot().matches(picture, column * 32, row * 32) > 0.9,
             "the dog in cell (%d, %d)" % (column, row), timeout=SLIDE_TIMEOUT)


def wait_for_record(game, level, moves):
    """Waits until highscores.dat holds the level with that move count."""
    def recorded():
        table = game.dir.read("highscores.dat") or b""
        return [level, moves] in [[int(n) for n in line.split()] for line in table.splitlines() if line.strip()]
    wait_for(recorded, "highscores.dat to record level %d in %d moves" % (level, moves), timeout=SLIDE_TIMEOUT)
