#!/bin/sh
# Times the window program's print run (velmora-window-bench) against velmora-pdf for the same
# landscape runs of 6,000 and 32,766 cards, whole process, the two taking turns: median seconds
# and cards per second of each, the median of the pairs' ratios (window / batch), peak memory.
# Usage: tools/window-bench/window-bench.sh [BUILD_DIR] [RUNS]
set -eu
build=${1:-build}
runs=${2:-5}
batch=$build/velmora-pdf
window=$build/tools/window-bench/velmora-window-bench
maker=$build/tools/archive-maker/velmora-archive-maker
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

"$maker" --carte 32766 --seme 2018 -o "$work/RidoDur.dat" >/dev/null
export QT_QPA_PLATFORM=offscreen
# Both read the settings the same way; an empty configuration folder gives both the defaults.
export XDG_CONFIG_HOME="$work/config"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for cards in 6000 32766; do
    : >"$work/pairs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        /usr/bin/time -f '%e %M' -o "$work/w" \
            "$window" --archivio "$work" --cartelle "$cards" -o "$work/w.pdf" 2>/dev/null
        /usr/bin/time -f '%e %M' -o "$work/b" \
            "$batch" --archivio "$work" --cartelle "$cards" --orientamento orizzontale \
            -o "$work/b.pdf" 2>/dev/null
        echo "$(cat "$work/w") $(cat "$work/b")" >>"$work/pairs"
        i=$((i + 1))
    done
    w=$(awk '{ print $1 }' "$work/pairs" | median)
    b=$(awk '{ print $3 }' "$work/pairs" | median)
    r=$(awk '{ print $1 / $3 }' "$work/pairs" | median)
    awk -v cards="$cards" -v w="$w" -v b="$b" -v r="$r" '
        { if ($2 > wp) wp = $2; if ($4 > bp) bp = $4 }
        END {
            printf "%6d cards: window %.2f s (%.0f cards/s, peak %.1f MiB), batch %.2f s (%.0f cards/s, peak %.1f MiB), window/batch %.2f (%d pairs)\n",
                cards, w, cards / w, wp / 1024, b, cards / b, bp / 1024, r, NR
        }' "$work/pairs"
done
