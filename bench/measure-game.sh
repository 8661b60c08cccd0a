#!/bin/sh
# Measures the real game in a virtual X server: exec to window mapped and to
# first frame, processor use while the main menu idles for IDLE_SECONDS, the
# time from an arrow's press to the first frame of motion, and peak memory
# after a short game. Needs Xvfb and xdotool.
# Usage: measure-game.sh BUILD_DIR [IDLE_SECONDS] [STARTS]   (prints "name value" lines)
set -eu
build=$(cd "${1:-build-bench}" && pwd)
idle=${2:-10}
starts=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

game="$build/tunnelwick"
measure="$build/bench/measure_game"
[ -x "$game" ] || { echo "no game binary at $game" >&2; exit 1; }
[ -x "$measure" ] || { echo "no $measure (needs libx11-dev)" >&2; exit 1; }

work=$(mktemp -d /tmp/tunnelwick-measure-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# A display number nobody uses.
display=""
for n in $(seq 71 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
# DESKTOP=2560x1440 measures the window the first start opens there (1280x960).
Xvfb "$display" -screen 0 "${DESKTOP:-1024x768}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
i=0
until xdpyinfo >/dev/null 2>&1; do
  i=$((i + 1))
  [ $i -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done

# The game plays in a fresh copy of the shipped data, with silent sound.
cp -R "$root/data" "$work/game"
cd "$work/game"
export SDL_AUDIODRIVER=dummy

# After the idle figure: start a level and slide around for a while, so that
# the peak includes play, then the window is closed.
play="$work/play.sh"
cat >"$play" <<'PLAY'
#!/bin/sh
w=$TUNNELWICK_WINDOW
xdotool mousemove --window "$w" 320 240
xdotool windowfocus --sync "$w" 2>/dev/null || true
hold() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep "$2"; }
hold Return 0.5
for k in Right Down Left Up Right Down; do hold "$k" 1.2; done
hold o 1.0
hold Escape 1.0
PLAY
chmod +x "$play"

"$measure" "$game" "$starts" "$idle" "$play"

# The chooser over 99 levels the solver cannot settle (each bone sealed in a
# ring of sky under a row of rocks): peak memory and processor time of the
# first visit, and of a second, which should solve nothing.
hard="$work/hard"
mkdir -p "$hard/levels"
cp -R "$root/data/." "$hard/" && rm -f "$hard"/levels/*
python3 - "$hard/levels" <<'PY'
import sys
for n in range(1, 100):
    rows = [[2] * 20, [19] * 20, [1] * 20] + [[16] * 20 for _ in range(12)]
    left = 2 + n % 5 * 3
    for c in range(left, left + 5):
        rows[6][c] = rows[10][c] = 2
    for r in range(6, 11):
        rows[r][left] = rows[r][left + 4] = 2
    dog, bone = (n // 5, 3), (left + 2, 8)
    lines = [b"Sealed %d" % n, b"%d %d %d %d" % (dog + bone)] + [bytes(b for t in r for b in (t, 32)) for r in rows]
    open("%s/%d.lvl" % (sys.argv[1], n), "wb").write(b"\r\n".join(lines) + b"\r\n")
PY
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# Starts the game in the current directory; sets pid and window.
launch() {
  "$game" >/dev/null 2>&1 &
  pid=$!
  window=""
  i=0
  until [ -n "$window" ]; do
    window=$(xdotool search --onlyvisible --name '^Tunnelwick$' 2>/dev/null | head -1) || true
    i=$((i + 1)); [ $i -lt 300 ] || { echo "no game window" >&2; exit 1; }
    sleep 0.1
  done
  sleep 1
}
cd "$hard"
launch
press() { xdotool windowfocus --sync "$window" keydown "$1" sleep 0.2 keyup "$1" sleep 0.3; }
# Busy until a whole second passes with under 20 % of a core used (or 120 s):
# the solver keeps a core busy, the chooser's own redraws take a few per cent.
settle() {
  waited=0
  while [ $waited -lt 120 ]; do
    a=$(ticks); sleep 1; b=$(ticks); waited=$((waited + 1))
    [ $((b - a)) -lt $((hz / 5)) ] && break
  done
}

before=$(ticks); press s; settle; first=$(( $(ticks) - before ))
press Escape; sleep 1
before=$(ticks); press s; settle; second=$(( $(ticks) - before ))
# The chooser left open and still: its idle processor use over 5 s.
a=$(ticks); sleep 5; idle_chooser=$(( $(ticks) - a ))
echo "chooser_hard_first_cpu_s $(echo "$first $hz" | awk '{print $1 / $2}')"
echo "chooser_hard_second_cpu_s $(echo "$second $hz" | awk '{print $1 / $2}')"
echo "chooser_idle_cpu_percent $(echo "$idle_chooser $hz" | awk '{print 100 * $1 / $2 / 5}')"
echo "chooser_hard_peak_rss_mb $(awk '/VmHWM/ {print $2 / 1024}' "/proc/$pid/status")"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

# Idle processor use on every screen: each opened from the menu (or from
# play), left still for a moment, then measured over 5 s.
cd "$work/game"
launch
xdotool mousemove --window "$window" 700 700 2>/dev/null || true
sleep 1
idle_on() {  # NAME KEYS...: the keys that open the screen, then its idle figure
  name=$1; shift
  for k in "$@"; do press "$k"; done
  sleep 3
  a=$(ticks); sleep 5
  echo "idle_cpu_percent_$name $(echo "$(( $(ticks) - a )) $hz" | awk '{print 100 * $1 / $2 / 5}')"
}
idle_on menu
idle_on playing Return
idle_on options o
idle_on chooser Escape s
idle_on question Escape r
idle_on menu_again n Escape
idle_on about a
idle_on help Return Down Down Return
idle_on editor Return l
idle_on prompt t
idle_on editor_again Return
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

# Memory over a long session with the garden heard: a level played now and
# then for SESSION_MINUTES (10 by default; 0 leaves it out), then the resident
# memory and its peak.
minutes=${SESSION_MINUTES:-10}
if [ "$minutes" -gt 0 ]; then
  launch
  press Return
  start_rss=$(awk '/VmRSS/ {print $2 / 1024}' "/proc/$pid/status")
  end=$(( $(date +%s) + minutes * 60 ))
  while [ "$(date +%s)" -lt "$end" ]; do
    for k in Right Down Left u u h; do press "$k"; done
    sleep 20
  done
  echo "session_minutes $minutes"
  echo "session_start_rss_mb $start_rss"
  echo "session_end_rss_mb $(awk '/VmRSS/ {print $2 / 1024}' "/proc/$pid/status")"
  echo "session_peak_rss_mb $(awk '/VmHWM/ {print $2 / 1024}' "/proc/$pid/status")"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
fi
