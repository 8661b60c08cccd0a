#!/bin/sh
# Makes the five ambient recordings of the garden with sox:
#   bird1a.mp3       a bird's calls with long rests, made to loop
#   chaffinch1a.mp3  a chaffinch's song: a falling run of notes and a flourish
#   car9b.mp3        a car passing from left to right
#   willow1a.mp3     wind in a willow: a gust and rustling leaves
#   dog1a.mp3        a dog barking far away
# Usage: tools/make-sounds.sh [OUT_DIR]   (default: data/sounds)
# Every sox run is repeatable (-R seeds its noise and dither), so running it
# again gives the same sound.
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

# tone FILE SECONDS WAVE FROM/TO: one note sweeping between two pitches,
# with a quick attack and a soft end so that no note clicks.
tone() {
    $SOX -r $RATE -c 1 -n -b 16 "$1" synth "$2" "$3" "$4" gain -3 fade h 0.008 "$2" "$(awk "BEGIN { print $2 * 0.45 }")"
}
# gap FILE SECONDS: silence.
gap() {
    $SOX -r $RATE -c 1 -n -b 16 "$1" trim 0 "$2"
}
# finish WAV MP3 PEAK_DB KBPS: sets the peak below full scale and encodes.
finish() {
    $SOX "$1" -C "$4" "$out/$2" gain -n "$3"
}

# --- bird: "tsee-wit, tsee-wit", a long rest, then a softer "tsip tsip" and
# another rest. The game loops it for as long as a level is played, so the
# rests are long and the two calls differ ---
tone b1.wav 0.10 sine 3900/5200
tone b2.wav 0.13 sine 5000/3400
tone b3.wav 0.06 sine 5600/4800
gap g1.wav 0.05
gap g2.wav 0.16
gap g3.wav 2.60
gap g4.wav 0.12
gap g5.wav 2.44
$SOX b3.wav g4.wav b3.wav g5.wav soft.wav gain -5
$SOX b1.wav g1.wav b2.wav g2.wav b1.wav g1.wav b2.wav g3.wav soft.wav bird.wav \
    highpass 1500 reverb 18 60 30 0 0 -6 trim 0 6.0 fade h 0 6.0 0.15
finish bird.wav bird1a.mp3 -4 80

# --- chaffinch: chip-chip-chip, a quicker falling run, then the flourish ---
notes=""
i=0
for f in 5200 5050 4900 4750; do
    tone c$i.wav 0.055 sine $f/$((f - 700)); gap s$i.wav 0.065
    notes="$notes c$i.wav s$i.wav"; i=$((i + 1))
done
for f in 4500 4300 4100 3900 3700; do
    tone c$i.wav 0.045 sine $f/$((f - 600)); gap s$i.wav 0.035
    notes="$notes c$i.wav s$i.wav"; i=$((i + 1))
done
tone up.wav 0.11 sine 2800/5400
tone down.wav 0.22 sine 5400/2500
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

# --- willow: a slow gust through the branches, leaves rustling in it ---
$SOX -r $RATE -c 2 -n -b 16 wind.wav synth 10 brownnoise gain -6 lowpass 900 highpass 120 \
    tremolo 0.18 70
$SOX -r $RATE -c 2 -n -b 16 leaves.wav synth 10 pinknoise gain -6 highpass 1800 lowpass 6000 \
    tremolo 7 60 tremolo 0.23 90 gain -14
$SOX -m wind.wav leaves.wav willow.wav fade q 2.5 10 3.5
finish willow.wav willow1a.mp3 -4 112

# --- dog: woof, woof ... woof, muffled and echoing as from a few gardens off.
# A bark is a rough voice that jumps up and falls, with breath in it ---
bark() {
    $SOX -r $RATE -c 1 -n -b 16 v.wav synth "$2" sawtooth "$3" gain -6
    $SOX -r $RATE -c 1 -n -b 16 n.wav synth "$2" pinknoise gain -14
    $SOX -m v.wav n.wav "$1" overdrive 6 bandpass 800 1.2q gain -n -3 \
        fade t 0.006 "$2" "$(awk "BEGIN { print $2 * 0.7 }")"
}
bark w1.wav 0.15 470/300
bark w2.wav 0.13 520/330
bark w3.wav 0.17 450/280
gap d1.wav 0.22
gap d2.wav 0.8
gap d3.wav 0.8
$SOX w1.wav d1.wav w2.wav d2.wav w3.wav d3.wav dog.wav \
    lowpass 1500 reverb 40 60 60 0 15 -6
finish dog.wav dog1a.mp3 -1.5 64

ls -l "$out"/*.mp3
