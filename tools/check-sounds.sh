#!/bin/sh
# Checks the shipped ambient recordings: all five are there and decode, none
# is silent, clipped or longer than it needs to be, the looping bird chorus
# is long and not one short phrase over and over, the set stays small, and
# the sound maker, run again, makes recordings of the same length and
# loudness. Usage: tools/check-sounds.sh [DATA_DIR]
set -u
here=$(cd "$(dirname "$0")" && pwd)
data=${1:-"$here/../data"}
fail=0
say() { echo "$*"; }
bad() { echo "FAIL: $*"; fail=1; }

# stat FILE FIELD: one figure of sox's statistics of the decoded sound.
stat_of() {
    sox "$1" -n stat 2>&1 | awk -v want="$2" -F: '$1 ~ want { gsub(/ /, "", $2); print $2; exit }'
}

# repeats FILE: the strongest likeness (0..1) of the loudness envelope, in
# 20 ms steps, to itself shifted by 1 s up to half its length. A phrase
# repeated gives about 1; the chorus about 0.2.
repeats() {
    sox "$1" -t dat -r 16000 -c 1 - 2>/dev/null | awk '
        $1 !~ /^;/ { s += ($2 < 0 ? -$2 : $2); if (++k == 320) { e[n++] = s / k; s = 0; k = 0 } }
        END {
            for (i = 0; i < n; i++) m += e[i]; m /= n
            for (i = 0; i < n; i++) { e[i] -= m; v += e[i] * e[i] }
            for (lag = 50; lag <= n / 2; lag++) {
                c = 0; for (i = 0; i + lag < n; i++) c += e[i] * e[i + lag]
                c /= v * (n - lag) / n; if (c > best) best = c
            }
            printf "%.2f\n", best
        }'
}

# Length limits in seconds: the bird chorus loops for as long as a level is
# played, so it is long enough not to be heard as a loop.
check() {
    f=$1 min=$2 max=$3
    if [ ! -s "$f" ]; then bad "$f is missing or empty"; return; fi
    if ! sox "$f" -n stat >/dev/null 2>&1; then bad "$f does not decode"; return; fi
    len=$(stat_of "$f" "^Length")
    rms=$(stat_of "$f" "^RMS +amplitude")
    peak_hi=$(stat_of "$f" "^Maximum amplitude")
    peak_lo=$(stat_of "$f" "^Minimum amplitude")
    say "$(basename "$f"): ${len}s rms $rms peaks $peak_lo..$peak_hi"
    awk -v l="$len" -v a="$min" -v b="$max" 'BEGIN { exit !(l >= a && l <= b) }' ||
        bad "$f lasts ${len}s, outside $min..$max"
    awk -v r="$rms" 'BEGIN { exit !(r >= 0.02) }' || bad "$f is (nearly) silent: rms $rms"
    awk -v h="$peak_hi" -v l="$peak_lo" 'BEGIN { exit !(h < 0.98 && -l < 0.98) }' ||
        bad "$f reaches full scale: peaks $peak_lo..$peak_hi"
}

snd=$data/sounds
check "$snd/bird1a.mp3" 40 60
check "$snd/chaffinch1a.mp3" 1 6
check "$snd/car9b.mp3" 3 12
check "$snd/willow1a.mp3" 4 15
check "$snd/dog1a.mp3" 0.5 5
likeness=$(repeats "$snd/bird1a.mp3")
say "bird1a.mp3 repeats itself at most $likeness"
awk -v r="$likeness" 'BEGIN { exit !(r < 0.5) }' || bad "bird1a.mp3 is one phrase repeated: $likeness"
total=$(cat "$snd"/bird1a.mp3 "$snd"/chaffinch1a.mp3 "$snd"/car9b.mp3 "$snd"/willow1a.mp3 "$snd"/dog1a.mp3 2>/dev/null | wc -c)
say "total $total bytes"
[ "$total" -lt 900000 ] || bad "the five sounds take $total bytes"

# Made again, each must match the shipped one in length and loudness; the
# encoder may differ in its bytes from one version to the next.
again=$(mktemp -d /tmp/tunnelwick-sounds-check.XXXXXX)
trap 'rm -rf "$again"' EXIT
if ! "$here/make-sounds.sh" "$again" >/dev/null 2>&1; then
    bad "the sound maker failed"
else
    for name in bird1a chaffinch1a car9b willow1a dog1a; do
        a=$snd/$name.mp3 b=$again/$name.mp3
        [ -s "$a" ] || continue
        la=$(stat_of "$a" "^Length") lb=$(stat_of "$b" "^Length")
        ra=$(stat_of "$a" "^RMS +amplitude") rb=$(stat_of "$b" "^RMS +amplitude")
        awk -v a="$la" -v b="$lb" 'BEGIN { d = a - b; exit !(d < 0.06 && d > -0.06) }' ||
            bad "$name made again lasts ${lb}s, shipped ${la}s"
        awk -v a="$ra" -v b="$rb" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 0.05 * a) }' ||
            bad "$name made again has rms $rb, shipped $ra"
    done
fi
[ $fail -eq 0 ] && say "sounds ok"
exit $fail
