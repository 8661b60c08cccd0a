#!/bin/sh
# Checks the shipped sounds: every one decodes, none is silent, clipped or of
# the wrong length, the bird calls reach up high as birds do, the set stays
# small, and the sound maker, run again, makes sounds of the same length and
# loudness.
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

# Every file the game loads, with its length in seconds and its least RMS;
# the click is meant to be barely there.
rows="chaffinch1a:1:6:0.02 car9b:3:12:0.02 willow1a:4:15:0.02 dog1a:0.5:5:0.02"
rows="$rows bed-wind.ogg:22.9:23.1:0.005 bed-leaves.ogg:16.9:17.1:0.003"
for kind in robin1 robin2 robin3 blackbird1 blackbird2 wren1 wren2 tit1 tit2 crest1 crest2 sparrow1 sparrow2; do
    rows="$rows birds/$kind:0.4:2:0.05"
done
for name in dig1 dig2 dig3 dig4 step1 step2 step3 bump; do rows="$rows effects/$name:0.03:0.25:0.05"; done
rows="$rows effects/land-light:0.1:0.3:0.1 effects/land-heavy:0.25:0.6:0.1 effects/undo:0.1:0.4:0.1"
rows="$rows effects/hint:0.3:0.8:0.1 effects/deadend:0.4:0.9:0.1 effects/win:0.6:1.6:0.1 effects/click:0.01:0.05:0.02"
names=""
for row in $rows; do
    name=${row%%:*} rest=${row#*:}
    min=${rest%%:*} rest=${rest#*:} max=${rest%%:*} least=${rest#*:}
    names="$names $name"
    f=$snd/$name.mp3
    case $name in *.ogg) f=$snd/$name ;; esac
    if ! sox "$f" -n stat >/dev/null 2>&1; then bad "$f is missing or does not decode"; continue; fi
    len=$(stat_of "$f" "^Length") rms=$(stat_of "$f" "^RMS +amplitude")
    hi=$(stat_of "$f" "^Maximum amplitude") lo=$(stat_of "$f" "^Minimum amplitude")
    echo "$name: ${len}s rms $rms peaks $lo..$hi"
    within "$len" "$min" "$max" || bad "$name lasts ${len}s, outside $min..$max"
    within "$rms" "$least" 1 || bad "$name is (nearly) silent: rms $rms"
    within "$hi" -1 0.98 && within "$lo" -0.98 1 || bad "$name reaches full scale: $lo..$hi"
done
# Birds sing high: together the calls keep a good share of their energy
# above 6 kHz, where a machine's stacked low tones have none.
sox "$snd"/birds/*.mp3 /tmp/tunnelwick-birds.$$.wav 2>/dev/null
all=$(stat_of /tmp/tunnelwick-birds.$$.wav "^RMS +amplitude")
high=$(sox /tmp/tunnelwick-birds.$$.wav -n sinc 6000 stat 2>&1 | awk -F: '$1 ~ "^RMS +amplitude" { gsub(/ /, "", $2); print $2 }')
rm -f /tmp/tunnelwick-birds.$$.wav
echo "birds: rms $all, above 6 kHz $high"
within "$high" "$(awk "BEGIN { print $all * 0.3 }")" 1 || bad "the birds have little above 6 kHz: $high of $all"
total=$(find "$snd" -name '*.mp3' -o -name '*.ogg' | xargs cat | wc -c)
echo "all sounds: $total bytes"
[ "$total" -lt 1500000 ] || bad "the sounds take $total bytes"

# Made again, each matches the shipped one in length and loudness; the
# encoder may differ in its bytes from one version to the next.
again=$(mktemp -d /tmp/tunnelwick-sounds-check.XXXXXX)
trap 'rm -rf "$again"' EXIT
if ! "$here/make-sounds.sh" "$again" >/dev/null 2>&1; then
    bad "the sound maker failed"
else
    for name in $names; do
        a=$snd/$name.mp3 b=$again/$name.mp3
        case $name in *.ogg) a=$snd/$name b=$again/$name ;; esac
        la=$(stat_of "$a" "^Length") lb=$(stat_of "$b" "^Length")
        ra=$(stat_of "$a" "^RMS +amplitude") rb=$(stat_of "$b" "^RMS +amplitude")
        within "$(awk "BEGIN { print $la - $lb }")" -0.06 0.06 || bad "$name made again lasts ${lb}s, shipped ${la}s"
        within "$rb" "$(awk "BEGIN { print $ra * 0.95 }")" "$(awk "BEGIN { print $ra * 1.05 }")" ||
            bad "$name made again has rms $rb, shipped $ra"
    done
fi
[ $fail -eq 0 ] && echo "sounds ok"
exit $fail
