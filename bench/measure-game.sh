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
