#!/bin/sh
# Makes the five ambient recordings of the garden with sox:
#   bird1a.mp3       a garden chorus of five birds, 42 s, made to loop
#   chaffinch1a.mp3  a chaffinch's song: a falling run of notes and a flourish
#   car9b.mp3        a car passing from left to right
#   willow1a.mp3     wind in a willow: a gust and rustling leaves
#   dog1a.mp3        a dog barking a few gardens away
# Usage: tools/make-sounds.sh [OUT_DIR]   (default: data/sounds)
# Every sox run is repeatable (-R seeds its noise and dither) and every
# random choice comes from a seeded generator, so running it again gives
# the same sound.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-"$here/../data/sounds"}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d /tmp/tunnelwick-sounds.XXXXXX)
trap 'rm -rf "$work"' EXIT INT TERM
cd "$work"

RATE=44100
SOX="sox -R -q"

# tone FILE SECONDS FROM TO: one sung note sweeping between two pitches,
# with the faint overtones of a real bird's voice, a quick attack and a soft
# end so that no note clicks.
tone() {
    $SOX -r $RATE -c 2 -n -b 16 "$1" synth "$2" sine "$3-$4" sine "$((2 * $3))-$((2 * $4))" \
        remix 1v0.85,2v0.12 gain -3 fade h 0.008 "$2" "$(awk "BEGIN { print $2 * 0.45 }")"
}
# gap FILE SECONDS: silence.
gap() {
    $SOX -r $RATE -c 1 -n -b 16 "$1" trim 0 "$2"
}
# finish WAV MP3 PEAK_DB KBPS: sets the peak below full scale and encodes.
finish() {
    $SOX "$1" -C "$4" "$out/$2" gain -n "$3"
}

# --- bird: a garden chorus of five kinds of bird, each singing its own
# call at its own pitch and pace, placed in time by a seeded generator. The
# game loops it, so it is long and no phrase comes back the same ---

# plan KIND SEED: the notes of one bird over the chorus, a line per note:
# "SILENCE_BEFORE LENGTH FROM_HZ TO_HZ". Park-Miller random numbers, exact
# in any awk, so the plan is the same on every machine.
plan() {
    awk -v kind="$1" -v seed="$2" -v total="$CHORUS_END" '
    function rnd() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
    function between(a, b) { return a + (b - a) * rnd() }
    function add(len, f1, f2, after) { n++; L[n] = len; A[n] = f1; B[n] = f2; G[n] = after; dur += len + after }
    BEGIN {
        t = between(0.2, 5); last = 0
        for (;;) {
            n = 0; dur = 0; k = between(0.9, 1.12)      # each phrase at a pitch of its own
            if (kind == "warble") {                     # robin: a quick run of varied notes
                m = int(between(4, 9))
                for (i = 0; i < m; i++) { f = between(2300, 5200) * k; add(between(0.05, 0.14), f, f * between(0.75, 1.3), between(0.03, 0.09)) }
                rest = between(2.5, 6)
            } else if (kind == "teacher") {             # great tit: tea-cher, tea-cher
                m = int(between(3, 6))
                for (i = 0; i < m; i++) { add(0.07, 6200 * k, 5800 * k, 0.04); add(0.09, 4300 * k, 4000 * k, 0.09) }
                rest = between(5, 11)
            } else if (kind == "fluty") {               # blackbird: slow low fluting
                m = int(between(3, 6))
                for (i = 0; i < m; i++) { f = between(1500, 2600) * k; add(between(0.15, 0.35), f, f * between(0.85, 1.2), between(0.06, 0.15)) }
                rest = between(7, 13)
            } else if (kind == "chirp") {               # sparrow: a cluster of chirps
                m = int(between(2, 7))
                for (i = 0; i < m; i++) { f = between(3600, 4400) * k; add(between(0.05, 0.08), f, f * 0.7, between(0.07, 0.2)) }
                rest = between(1.5, 5)
            } else {                                    # wood pigeon far off: coo-COO-coo, coo-coo
                f = 470 * k
                add(0.35, f, f * 0.9, 0.12); add(0.5, f * 1.08, f * 0.92, 0.1); add(0.3, f, f * 0.9, 0.45)
                add(0.35, f, f * 0.9, 0.12); add(0.3, f, f * 0.88, 0)
                rest = between(14, 22)
            }
            if (t + dur > total) break
            for (i = 1; i <= n; i++) { printf "%.3f %.3f %d %d\n", t - last, L[i], A[i], B[i]; t += L[i]; last = t; t += G[i] }
            t += rest
        }
    }'
}

# sing KIND SEED HARMONICS EFFECTS...: one bird's track, its notes joined
# with the silences of its plan. HARMONICS: the weights of the first three
# partials, e.g. "1 0.12 0" for a whistle with a little edge.
sing() {
    kind=$1 seed=$2 h=$3; shift 3
    i=0 list=""
    plan "$kind" "$seed" > "$kind.plan"
    while read -r before len f1 f2; do
        i=$((i + 1))
        # shellcheck disable=SC2086
        $SOX -r $RATE -c 3 -n -b 16 "$kind$i.wav" synth "$len" sine "$f1-$f2" sine "$((2 * f1))-$((2 * f2))" \
            sine "$((3 * f1))-$((3 * f2))" remix "$(echo $h | awk '{ printf "1v%s,2v%s,3v%s", $1, $2, $3 }')" \
            fade h 0.012 "$len" "$(awk "BEGIN { print $len * 0.4 }")" pad "$before" "$@"
        list="$list $kind$i.wav"
    done < "$kind.plan"
    # shellcheck disable=SC2086
    $SOX $list "$kind.wav"
}

CHORUS_END=41.5
sing warble 11 "0.8 0.1 0.03"
sing teacher 23 "0.8 0.1 0"
sing fluty 37 "0.7 0.22 0.08" tremolo 7 12
sing chirp 41 "0.55 0.3 0.2" highpass 2500
sing coo 53 "0.6 0.3 0.1" lowpass 1400
# Each bird from its own place: (left, right) weights.
$SOX warble.wav warbleLR.wav remix 1v0.9 1v0.45
$SOX teacher.wav teacherLR.wav remix 1v0.35 1v0.7
$SOX fluty.wav flutyLR.wav remix 1v0.45 1v0.45
$SOX chirp.wav chirpLR.wav remix 1v0.4 1v0.15
$SOX coo.wav cooLR.wav remix 1v0.25 1v0.55
$SOX -r $RATE -c 2 -n -b 16 quiet.wav trim 0 42
$SOX -m -v 0.5 quiet.wav -v 0.5 warbleLR.wav -v 0.5 teacherLR.wav -v 0.5 flutyLR.wav -v 0.5 chirpLR.wav -v 0.5 cooLR.wav bird.wav \
    highpass 250 reverb 20 50 40 0 8 -8 trim 0 42 fade h 0.05 42 0.05 \
    compand 0.005,0.3 6:-60,-60,-30,-20,-10,-14 -6 -90 0.01
finish bird.wav bird1a.mp3 -2 64

# --- chaffinch: chip-chip-chip, a quicker falling run, then the flourish ---
notes=""
i=0
for f in 5200 5050 4900 4750; do
    tone c$i.wav 0.055 $f $((f - 700)); gap s$i.wav 0.065
    notes="$notes c$i.wav s$i.wav"; i=$((i + 1))
done
for f in 4500 4300 4100 3900 3700; do
    tone c$i.wav 0.045 $f $((f - 600)); gap s$i.wav 0.035
    notes="$notes c$i.wav s$i.wav"; i=$((i + 1))
done
tone up.wav 0.11 2800 5400
tone down.wav 0.22 5400 2500
gap end.wav 0.7
# shellcheck disable=SC2086
$SOX $notes up.wav down.wav end.wav chaffinch.wav highpass 1500 reverb 22 60 35 0 0 -6
finish chaffinch.wav chaffinch1a.mp3 -4 80

# --- car: engine hum and tyre noise swelling as it comes near, the pitch
# dropping as it passes, moving from the left ear to the right ---
$SOX -r $RATE -c 1 -n -b 16 engine.wav synth 8 sawtooth 96 gain -10 tremolo 31 25 \
    lowpass 500 bend 3.3,-280,0.9
$SOX -r $RATE -c 1 -n -b 16 tyres.wav synth 8 pinknoise gain -8 lowpass 1400 highpass 160
$SOX -m engine.wav tyres.wav pass.wav lowpass 2000 gain -n -3
# Fading twice makes the swell steeper, as a car's sound grows near it.
$SOX pass.wav left.wav fade t 3.2 8 4.8 fade t 3.2 8 4.8
$SOX pass.wav right.wav fade t 4.2 8 3.8 fade t 4.2 8 3.8
$SOX -M left.wav right.wav car.wav
finish car.wav car9b.mp3 -4 112

# --- willow: a slow gust through the branches, the leaves rustling in
# uneven flurries that a seeded plan places, louder where the gust is ---
$SOX -r $RATE -c 2 -n -b 16 wind.wav synth 10 brownnoise gain -6 lowpass 900 highpass 120 \
    tremolo 0.18 70
awk -v seed=71 'BEGIN {
    for (t = 0; t < 10.3;) {
        seed = (seed * 16807) % 2147483647; r = seed / 2147483647
        seed = (seed * 16807) % 2147483647; q = seed / 2147483647
        len = 0.04 + 0.22 * r; printf "%.3f %.1f\n", len, -22 * q; t += len
    }
}' > leaves.plan
i=0 list=""
while read -r len db; do
    i=$((i + 1))
    $SOX -r $RATE -c 2 -n -b 16 "l$i.wav" synth "$len" pinknoise gain "$db" fade h 0.015 "$len" 0.02
    list="$list l$i.wav"
done < leaves.plan
# shellcheck disable=SC2086
$SOX $list leaves.wav highpass 1800 lowpass 6000 tremolo 0.23 80 gain -12 trim 0 10
$SOX -m wind.wav leaves.wav willow.wav fade q 2.5 10 3.5
finish willow.wav willow1a.mp3 -4 112

# --- dog: woof-woof ... woof-woof-woof from a few gardens off. A bark is a
# voice: a pitch that jumps up and falls back, rich in harmonics, shaped by
# the mouth's resonances, with a puff of breath at its start ---
bark() {
    len=$2 f=$3
    fall=$(awk "BEGIN { print $len - 0.04 }")
    $SOX -r $RATE -c 1 -n -b 16 v.wav synth "$len" sawtooth "$f" \
        gain -14 bend -f 80 0,+420,0.03 0,-820,"$fall" \
        equalizer 700 1.2q +9 equalizer 1800 1.5q +6 lowpass 3800 highpass 150 gain -n -3
    $SOX -r $RATE -c 1 -n -b 16 n.wav synth "$len" pinknoise highpass 500 gain -20 \
        fade h 0.002 "$len" "$(awk "BEGIN { print $len - 0.01 }")"
    $SOX -m v.wav n.wav "$1" fade h 0.006 "$len" "$(awk "BEGIN { print $len * 0.65 }")" pad 0 "$4"
}
bark w1.wav 0.17 300 0.14
bark w2.wav 0.15 330 0.75
bark w3.wav 0.18 290 0.12
bark w4.wav 0.16 320 0.13
bark w5.wav 0.19 280 0.8
$SOX w1.wav w2.wav w3.wav w4.wav w5.wav dog.wav lowpass 3000 reverb 30 50 50 0 12 -8
finish dog.wav dog1a.mp3 -1.5 64

ls -l "$out"/*.mp3
