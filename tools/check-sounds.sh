#!/bin/sh
# Checks the shipped ambient recordings: all five decode, none is silent,
# clipped or of the wrong length, the looping bird chorus is not one short
# phrase over and over, the set stays small, and the sound maker, run again,
# makes recordings of the same length and loudness.
# Usage: tools/check-sounds.sh [DATA_DIR]
set -u
here=$(cd "$(dirname "$0")" && pwd)
snd=${1:-"$here/../data"}/sounds
fail=0
bad() { echo "FAIL: $*"; fail=1; }
# within VALUE LOW HIGH
within() { awk -v v="$1" -v a="$2" -v b="$3" 'BEGIN { exit !(v >= a && v <= b) }'; }
# stat_of FILE FIELD: one figure of sox's statistics of the decoded sound.
stat_of() { sox "$1" -n stat 2>&1 | awk -v want="$2" -F: '$1 ~ want { gsub(/ /, "", $2); print $2; exit }'; }

# repeats FILE: the strongest likeness (0..1) of the loudness envelope, in
# 20 ms steps, to itself shifted by 1 s up to half its length. A phrase
# repeated gives about 1; the chorus about 0.2.
repeats() {
    sox "$1" -t dat -r 16000 -c 1 - 2>/dev/null | awk '
        $1 !~ /^;/ { s += ($2 < 0 ? -$2 : $2); if (++k == 320) { e[n++] = s / k; s = 0; k = 0 } }
        END {
            for (i = 0; i < n; i++) m += e[i] / n
            for (i = 0; i < n; i++) { e[i] -= m; v += e[i] * e[i] }
            best = v > 0 ? 0 : 1
            for (lag = 50; lag <= n / 2; lag++) {
                c = 0; for (i = 0; i + lag < n; i++) c += e[i] * e[i + lag]
                c /= v * (n - lag) / n; if (c > best) best = c
            }
            printf "%.2f\n", best
        }'
}

# Lengths in seconds: the chorus loops all through a level, so it is long.
for row in bird1a:40:60 chaffinch1a:1:6 car9b:3:12 willow1a:4:15 dog1a:0.5:5; do
    name=${row%%:*} max=${row##*:} min=${row#*:} min=${min%:*}
    f=$snd/$name.mp3
    if ! sox "$f" -n stat >/dev/null 2>&1; then bad "$f is missing or does not decode"; continue; fi
    len=$(stat_of "$f" "^Length") rms=$(stat_of "$f" "^RMS +amplitude")
    hi=$(stat_of "$f" "^Maximum amplitude") lo=$(stat_of "$f" "^Minimum amplitude")
    echo "$name: ${len}s rms $rms peaks $lo..$hi"
    within "$len" "$min" "$max" || bad "$name lasts ${len}s, outside $min..$max"
    within "$rms" 0.02 1 || bad "$name is (nearly) silent: rms $rms"
    within "$hi" -1 0.98 && within "$lo" -0.98 1 || bad "$name reaches full scale: $lo..$hi"
done
likeness=$(repeats "$snd/bird1a.mp3")
echo "bird1a repeats itself at most $likeness"
within "$likeness" 0 0.5 || bad "bird1a is one phrase repeated: $likeness"
total=$(cat "$snd"/*.mp3 | wc -c)
[ "$total" -lt 900000 ] || bad "the five sounds take $total bytes"

# Made again, each matches the shipped one in length and loudness; the
# encoder may differ in its bytes from one version to the next.
again=$(mktemp -d /tmp/tunnelwick-sounds-check.XXXXXX)
trap 'rm -rf "$again"' EXIT
if ! "$here/make-sounds.sh" "$again" >/dev/null 2>&1; then
    bad "the sound maker failed"
else
    for name in bird1a chaffinch1a car9b willow1a dog1a; do
        a=$snd/$name.mp3 b=$again/$name.mp3
        la=$(stat_of "$a" "^Length") lb=$(stat_of "$b" "^Length")
        ra=$(stat_of "$a" "^RMS +amplitude") rb=$(stat_of "$b" "^RMS +amplitude")
        within "$(awk "BEGIN { print $la - $lb }")" -0.06 0.06 || bad "$name made again lasts ${lb}s, shipped ${la}s"
        within "$rb" "$(awk "BEGIN { print $ra * 0.95 }")" "$(awk "BEGIN { print $ra * 1.05 }")" ||
            bad "$name made again has rms $rb, shipped $ra"
    done
fi
[ $fail -eq 0 ] && echo "sounds ok"
exit $fail
