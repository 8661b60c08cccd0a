#!/bin/sh
# Makes the game's sounds with sox:
#   chaffinch1a.mp3  a chaffinch's song: a falling run of notes and a flourish
#   car9b.mp3        a car passing from left to right
#   willow1a.mp3     wind in a willow: a gust and rustling leaves
#   dog1a.mp3        a dog barking a few gardens away
#   bed-wind.ogg,    the garden's quiet bed: a soft wind and rustling leaves,
#   bed-leaves.ogg   two seamless loops of different lengths (Ogg Vorbis,
#                    which decodes to its exact length, so a loop has no gap)
#   birds/*.mp3      short calls of six kinds of bird, which the game places
#                    at random to make the garden's chorus
#   effects/*.mp3    the answers to the player: dig, step, land, bump, win,
#                    undo, hint, dead end, click
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

# --- birds: short calls that the game places at random times, pitches and
# places in the stereo picture, so that the chorus never comes round again.
# Each call is drawn sample by sample: one whistled voice whose pitch glides,
# arches, trills and wavers as a bird's syrinx does, with a quick attack and
# a soft end on every syllable ---

# call KIND SEED WAV: one call of a kind of bird. A seeded Park-Miller
# generator (exact in any awk) chooses its syllables, so it repeats. It is
# drawn at twice the game's rate and brought down by sox's best filter, so
# that no overtone above the top of hearing folds back into it.
# A syllable: start, length, from Hz, to Hz, contour (0 straight, 1 easing,
# 2 arched through the "to" pitch), trill rate Hz and depth, loudness.
call() {
    awk -v kind="$1" -v seed="$2" -v rate=$((2 * RATE)) '
    function rnd() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
    function between(a, b) { return a + (b - a) * rnd() }
    function note(len, f1, f2, shape, vr, vd, amp, after) {
        n++; S[n] = t; L[n] = len; A[n] = f1; B[n] = f2; C[n] = shape; VR[n] = vr; VD[n] = vd; G[n] = amp
        t += len + after
    }
    BEGIN {
        t = 0.03
        if (kind == "robin") {                  # a tumbling run of varied, thin notes
            m = int(between(6, 11))
            for (i = 0; i < m; i++) {
                f = between(2600, 7600); g = f * between(0.7, 1.35)
                note(between(0.04, 0.14), f, g, int(between(0, 3)), between(0, 1) < 0.35 ? between(35, 70) : 0, 0.06, between(0.5, 1), between(0.02, 0.08))
            }
        } else if (kind == "blackbird") {       # low fluting, then a high squeaky twitter
            m = int(between(3, 6))
            for (i = 0; i < m; i++) {
                f = between(1500, 2900)
                note(between(0.14, 0.3), f, f * between(0.8, 1.25), 2, 6 + between(0, 3), 0.012, between(0.7, 1), between(0.04, 0.1))
            }
            m = int(between(3, 7))
            for (i = 0; i < m; i++) note(between(0.025, 0.05), between(5500, 8200), between(4000, 9000), 0, 0, 0, between(0.2, 0.4), 0.015)
        } else if (kind == "wren") {            # a loud fast trill in a few runs
            runs = int(between(2, 4))
            for (r = 0; r < runs; r++) {
                f = between(4500, 8500); g = f * between(0.55, 0.8); m = int(between(7, 15)); len = between(0.022, 0.04)
                for (i = 0; i < m; i++) note(len, f, g, 1, 0, 0, between(0.75, 1), len * 0.45)
                t += between(0.02, 0.06)
            }
        } else if (kind == "tit") {             # tea-cher, tea-cher
            m = int(between(3, 6)); hi = between(5800, 7200); lo = between(3800, 4700)
            for (i = 0; i < m; i++) {
                note(0.075, hi, hi * 0.93, 1, 0, 0, 0.9, 0.035)
                note(0.1, lo * 1.04, lo, 2, 0, 0, 1, between(0.08, 0.12))
            }
        } else if (kind == "crest") {           # very high, thin "see-see" with a flourish
            m = int(between(4, 8))
            for (i = 0; i < m; i++) note(between(0.05, 0.08), between(7000, 8000), between(8200, 9400), 1, 0, 0, between(0.6, 1), between(0.03, 0.06))
            note(0.16, 8800, 6200, 0, 48, 0.08, 0.8, 0)
        } else {                                # sparrow: chirrup, chirp
            m = int(between(2, 5))
            for (i = 0; i < m; i++) {
                f = between(3200, 4800)
                note(between(0.06, 0.1), f, f * between(1.2, 1.45), 2, between(20, 45), 0.1, between(0.7, 1), between(0.08, 0.2))
            }
        }
        N = int((t + 0.15) * rate)
        for (k = 1; k <= n; k++) {
            from = int(S[k] * rate); len = int(L[k] * rate); ph = 0
            # A slow unsteadiness of pitch, different for every syllable.
            w1 = between(9, 23); w2 = between(27, 45); p1 = between(0, 6.3); p2 = between(0, 6.3)
            for (j = 0; j < len; j++) {
                u = j / len; s = j / rate
                c = C[k] == 0 ? u : C[k] == 1 ? sin(u * 1.5708) : sin(u * 3.14159)
                f = A[k] + (B[k] - A[k]) * c
                f *= 1 + VD[k] * sin(6.28318 * VR[k] * s) + 0.008 * sin(6.28318 * w1 * s + p1) + 0.005 * sin(6.28318 * w2 * s + p2)
                ph += 6.28318 * f / rate
                e = u < 0.12 ? sin(u / 0.12 * 1.5708) : 1
                e *= u > 0.55 ? sin((1 - u) / 0.45 * 1.5708) : 1
                if (VR[k] > 0) e *= 0.75 + 0.25 * sin(6.28318 * VR[k] * s)
                x[from + j] += G[k] * e * (sin(ph) + 0.04 * sin(2 * ph))
            }
        }
        printf "; Sample Rate %d\n; Channels 1\n", rate
        for (i = 0; i < N; i++) printf "%.5f %.5f\n", i / rate, x[i] * 0.5
    }' > "$1$2.dat"
    $SOX "$1$2.dat" -b 16 "$3" rate -v $RATE highpass 900 reverb 18 50 25 0 0 -10 fade h 0.005
}

mkdir -p "$out/birds"
rm -f "$out"/birds/*.mp3
for row in robin:11:23:37 blackbird:41:53 wren:61:71 tit:83:97 crest:101:113 sparrow:127:131; do
    kind=${row%%:*} seeds=${row#*:}
    i=0
    for seed in $(echo "$seeds" | tr : ' '); do
        i=$((i + 1))
        call "$kind" "$seed" "$kind$i.wav"
        finish "$kind$i.wav" "birds/$kind$i.mp3" -3 64
    done
done

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

# --- the bed: under everything else while a level is played, so the garden
# is never dead silent. Each layer is a seamless loop: made a few seconds
# longer than it lasts, its end faded into its start with equal power. The
# two lengths share no factor, and the game lets each drift in loudness on
# its own, so the bed never comes round the same ---
# loop RAW SECONDS OUT: RAW, SECONDS + 3 s long, as a loop of SECONDS.
loop() {
    x=3
    $SOX "$1" head.wav trim 0 $x fade q $x
    $SOX "$1" body.wav trim $x "$(($2 - x))"
    $SOX "$1" tail.wav trim "$2" $x fade q 0 $x $x
    $SOX -m head.wav tail.wav seam.wav
    $SOX seam.wav body.wav "$3"
}
# Wind: brown noise, low and soft, slowly swelling and easing.
$SOX -r $RATE -c 1 -n -b 32 wind-raw.wav synth 26 brownnoise lowpass 420 highpass 70 \
    tremolo 0.09 35 tremolo 0.23 20 gain -n -3
loop wind-raw.wav 23 bed-wind.wav
# Leaves: pink noise high and thin, fluttering at uneven rates.
$SOX -r $RATE -c 1 -n -b 32 leaves-raw.wav synth 20 pinknoise highpass 1600 lowpass 5200 \
    tremolo 5.3 45 tremolo 8.9 35 tremolo 0.31 40 gain -n -3
loop leaves-raw.wav 17 leaves.wav
$SOX bed-wind.wav -C 0 "$out/bed-wind.ogg" gain -n -24
$SOX leaves.wav -C 0 "$out/bed-leaves.ogg" gain -n -28

# --- effects: short answers to what the player does, mono, made to sit
# under the garden. The game chooses their volume and varies their pitch ---
mkdir -p "$out/effects"
fx() { finish "$1" "effects/$2" "$3" 56; }
# note FILE SECONDS HZ: a struck note, bright at first and dying away.
note() {
    $SOX -r $RATE -c 2 -n -b 16 "$1" synth "$2" sine "$3" sine "$((2 * $3))" remix 1v0.8,2v0.2 \
        fade h 0.004 "$2" "$(awk "BEGIN { print $2 * 0.85 }")"
}

# dig: a scrape of claws in earth, each of the four from a different stretch
# of noise, of its own length and colour, so that a long dig never repeats.
$SOX -r $RATE -c 1 -n -b 16 earth.wav synth 2 brownnoise synth 2 pinknoise mix gain -3
i=0
for row in 0.11:0.1:1100 0.14:0.5:1500 0.09:0.9:900 0.13:1.3:1300; do
    i=$((i + 1))
    len=${row%%:*} at=${row#*:} at=${at%:*} lp=${row##*:}
    $SOX earth.wav "dig$i.wav" trim "$at" "$len" lowpass "$lp" highpass 90 tremolo 47 60 \
        fade h 0.006 "$len" "$(awk "BEGIN { print $len * 0.7 }")"
    fx "dig$i.wav" "dig$i.mp3" -3
done
# step: a paw in short grass, a soft high swish.
i=0
for row in 0.06:0.2:5200 0.07:0.7:4300 0.05:1.2:6000; do
    i=$((i + 1))
    len=${row%%:*} at=${row#*:} at=${at%:*} lp=${row##*:}
    $SOX -r $RATE -c 1 -n -b 16 "grass$i.wav" synth 2 pinknoise trim "$at" "$len" highpass 1400 lowpass "$lp" \
        fade h 0.01 "$len" "$(awk "BEGIN { print $len * 0.75 }")"
    fx "grass$i.wav" "step$i.mp3" -6
done
# land: a rock's thud, a falling boom with dull earth over it; the heavy one
# lower, longer and with a rumble after it.
thud() {
    $SOX -r $RATE -c 1 -n -b 16 boom.wav synth "$2" sine "$3-$4" fade q 0.003 "$2" "$(awk "BEGIN { print $2 * 0.9 }")"
    $SOX earth.wav crumb.wav trim 0.4 "$2" lowpass "$5" fade q 0.002 "$2" "$(awk "BEGIN { print $2 * 0.95 }")"
    $SOX -m boom.wav -v 0.8 crumb.wav "$1" fade h 0 "$2" "$(awk "BEGIN { print $2 * 0.8 }")"
}
thud light.wav 0.16 130 60 700
fx light.wav land-light.mp3 -2
thud heavy.wav 0.42 85 34 450
fx heavy.wav land-heavy.mp3 -1
# bump: a muffled knock against something that will not give.
thud knock.wav 0.07 240 150 1200
fx knock.wav bump.mp3 -4
# win: a rising jingle, then a bark close by.
note j1.wav 0.13 1047; note j2.wav 0.13 1319; note j3.wav 0.13 1568; note j4.wav 0.45 2093
$SOX j1.wav j2.wav j3.wav j4.wav jingle.wav
bark near.wav 0.16 420 0.05
$SOX jingle.wav near.wav win.wav reverb 15 50 20 0 0 -8
fx win.wav win.mp3 -2
# undo: a quick drop of two notes, the move going back.
$SOX -r $RATE -c 1 -n -b 16 u1.wav synth 0.07 sine 900-620 fade h 0.004 0.07 0.03
$SOX -r $RATE -c 1 -n -b 16 u2.wav synth 0.09 sine 650-420 fade h 0.004 0.09 0.05
$SOX u1.wav u2.wav undo.wav
fx undo.wav undo.mp3 -4
# hint: two soft chimes, upward.
note h1.wav 0.18 1319; note h2.wav 0.4 1976
$SOX h1.wav h2.wav hint.wav reverb 25 50 30 0 0 -6
fx hint.wav hint.mp3 -5
# deadend: two low falling notes, a sad "uh-oh".
$SOX -r $RATE -c 1 -n -b 16 d1.wav synth 0.2 triangle 392-380 lowpass 2000 fade h 0.01 0.2 0.06
$SOX -r $RATE -c 1 -n -b 16 d2.wav synth 0.42 triangle 311-290 lowpass 1600 fade h 0.01 0.42 0.3
$SOX d1.wav d2.wav deadend.wav
fx deadend.wav deadend.mp3 -4
# click: a dry tick for menu moves and choices.
$SOX -r $RATE -c 1 -n -b 16 click.wav synth 0.025 sine 1800-1200 fade q 0.001 0.025 0.02
fx click.wav click.mp3 -8

ls -l "$out"/*.mp3 "$out"/*.ogg "$out"/birds "$out"/effects
