#!/bin/sh
# Runs every benchmark of an optimised build, then measures the real game in
# Xvfb, and checks each figure against its target. Exit status 1 when a
# figure is over its target.
# Usage: run-benchmarks.sh BUILD_DIR
set -eu
build=${1:-build-bench}
here=$(cd "$(dirname "$0")" && pwd)
out="$build/bench-results"
mkdir -p "$out"

for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  name=$(basename "$b")
  echo "== $name"
  "$b" --benchmark_out="$out/$name.json" --benchmark_out_format=json
done

echo "== the game in Xvfb"
"$here/measure-game.sh" "$build" 10 | tee "$out/game.txt"

python3 - "$out" <<'PY'
import json, os, sys
out = sys.argv[1]
figures = {}
frame = os.path.join(out, "bench_frame.json")
if os.path.exists(frame):
    one = 0
    for b in json.load(open(frame))["benchmarks"]:
        if b["name"].startswith("BM_SlidingFrame/") or b["name"] == "BM_SlidingFrame":
            figures["sliding frame, median (us)"] = (b["median_us"], 150)
            one = b["median_us"]
        if b["name"].startswith("BM_SlidingFrameAt3x"):
            # Showing it three times as large adds at most 2 ms.
            figures["sliding frame at 3x, median (us)"] = (b["median_us"], one + 2000)
        if b["name"].startswith("BM_PresentWholePictureAt3x"):
            figures["  a whole new picture shown at 3x (us)"] = (b["real_time"], None)
        if b["name"].startswith("BM_LongestWaitOfAKeptPress"):
            figures["longest wait of a press kept during a move (ms)"] = (b["longest_wait_ms"], 150)
            figures["  the longest move, left alone (ms)"] = (b["longest_move_ms"], None)
        if b["name"].startswith("BM_SlideAtFrameRates"):
            rates = [b["slide_ms_at_%d" % fps] for fps in (30, 60, 144)]
            for fps, ms in zip((30, 60, 144), rates):
                figures["  a slide at %d frames a second (ms)" % fps] = (ms, None)
            # The same slide at every frame rate: the spread within 5 % of the shortest.
            figures["slide time spread over 30/60/144 fps (%)"] = (100.0 * (max(rates) - min(rates)) / min(rates), 5)
        if b["name"].startswith("BM_StartUpToFirstFrame"):
            figures["start-up to first frame, headless (ms)"] = (b["real_time"], 200)
solver = os.path.join(out, "bench_solver.json")
if os.path.exists(solver):
    for b in json.load(open(solver))["benchmarks"]:
        if b["name"].startswith("BM_SolveShippedLevels") and b.get("aggregate_name") == "median":
            figures["solver, every shipped level (ms)"] = (b["real_time"], 1000)
            # At least a million positions a second: at most a second per million.
            figures["solver, s per million positions"] = (1e6 / b["positions_per_s"], 1.0)
        if b["name"].startswith("BM_FewestMovesFromReachablePositions"):
            figures["solver from reachable positions, p99 (ms)"] = (b["p99_ms"], 50)
            figures["  median (ms)"] = (b["p50_ms"], None)
            figures["  slowest (ms)"] = (b["max_ms"], None)
sound = os.path.join(out, "bench_sound.json")
if os.path.exists(sound):
    for b in json.load(open(sound))["benchmarks"]:
        if b["name"].startswith("BM_OpenAndDecodeEverySound"):
            figures["opening every sound at start-up (ms)"] = (b["open_ms"], 20)
            figures["decoded sound held (MB)"] = (b["decoded_mb"], 8)
            figures["  decoding it all, in the background (ms)"] = (b["decode_ms"], None)
        if b["name"].startswith("BM_MixTheBusiestSecond"):
            figures["the sound's limiter, busiest second (% of a core)"] = (b["limiter_percent_of_core"], 1)
            figures["  mixing it all, limiter too (% of a core)"] = (b["mix_percent_of_core"], 1)
            figures["  max RSS growth while decoding (MB)"] = (b["max_rss_growth_mb"], None)
game = {}
for line in open(os.path.join(out, "game.txt")):
    parts = line.split()
    if len(parts) == 2:
        game[parts[0]] = float(parts[1])
# Figures with a target, and beside them what explains them (no target).
if "first_frame_ms" in game:
    figures["exec to first frame shown, Xvfb, median (ms)"] = (game["first_frame_ms"], 200)
    figures["  best of the starts (ms)"] = (game.get("first_frame_best_ms", 0), None)
    figures["  processor time until then (ms)"] = (game.get("first_frame_cpu_ms", 0), None)
    figures["  window mapped, median (ms)"] = (game.get("window_mapped_ms", 0), None)
if "idle_cpu_percent" in game:
    figures["idle main menu, 10 s (% of one core)"] = (game["idle_cpu_percent"], 0.5)
    figures["  of it the main loop's thread (%)"] = (game.get("idle_cpu_main_thread_percent", 0), None)
if "press_to_motion_seen" in game:
    # A press that never moves the dog is no fast press: it counts against the figure.
    figures["arrow presses that moved nothing (of 15)"] = (15 - game["press_to_motion_seen"], 0)
if "press_to_motion_ms" in game:
    figures["arrow press to first frame of motion, median (ms)"] = (game["press_to_motion_ms"], 20)
    figures["  slowest of the presses (ms)"] = (game.get("press_to_motion_worst_ms", 0), None)
for name in sorted(k for k in game if k.startswith("idle_cpu_percent_")):
    figures["idle on the %s, 5 s (%% of one core)" % name[len("idle_cpu_percent_"):].replace("_", " ")] = (game[name], 0.5)
if "session_end_rss_mb" in game:
    figures["memory after %d minutes with the garden (MB)" % game["session_minutes"]] = (game["session_end_rss_mb"], 40)
    figures["  at its start (MB)"] = (game["session_start_rss_mb"], None)
    figures["  its peak (MB)"] = (game["session_peak_rss_mb"], None)
if "chooser_hard_peak_rss_mb" in game:
    figures["chooser of 99 unsettled levels, peak RSS (MB)"] = (game["chooser_hard_peak_rss_mb"], 120)
    figures["  its first visit, processor (s)"] = (game["chooser_hard_first_cpu_s"], None)
    figures["  a second visit, processor (s)"] = (game["chooser_hard_second_cpu_s"], 1.0)
    figures["idle chooser, 5 s (% of one core)"] = (game["chooser_idle_cpu_percent"], 0.5)
if "peak_rss_mb" in game:
    figures["peak memory, max RSS (MB)"] = (game["peak_rss_mb"], 40)
over = False
model = "?"
for line in open("/proc/cpuinfo"):
    if line.startswith("model name"):
        model = line.split(":", 1)[1].strip()
        break
print("\nmachine: %s, %d cores, load average %s" % (model, os.cpu_count(), open("/proc/loadavg").read().split()[0]))
print("%-46s %10s %8s" % ("figure", "measured", "target"))
for name, (value, target) in figures.items():
    if target is None:
        print("%-46s %10.3f" % (name, value))
        continue
    flag = "" if value <= target else "  OVER"
    over = over or value > target
    print("%-46s %10.3f %8g%s" % (name, value, target, flag))
sys.exit(1 if over else 0)
PY
