#!/bin/sh
# Times velmora-pdf on landscape runs of 6,000 and 32,766 cards, whole process, several runs:
# median cards per second, peak memory (maximum resident set) and PDF size.
# Usage: tools/batch-bench/batch-bench.sh [BUILD_DIR] [RUNS]
# The archive is made once by the sample archive maker (32,766 cards, the build's seed).
set -eu
build=${1:-build}
runs=${2:-5}
program=$build/velmora-pdf
maker=$build/tools/archive-maker/velmora-archive-maker
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

"$maker" --carte 32766 --seme 2018 -o "$work/RidoDur.dat" >/dev/null
export QT_QPA_PLATFORM=offscreen

for cards in 6000 32766; do
    : >"$work/times"
    i=0
    while [ "$i" -lt "$runs" ]; do
        # The settings are the program's own (vel.cnf beside it, or the defaults).
        /usr/bin/time -f '%e %M' -o "$work/one" \
            "$program" --archivio "$work" --cartelle "$cards" --orientamento orizzontale \
            -o "$work/out.pdf" 2>/dev/null
        cat "$work/one" >>"$work/times"
        i=$((i + 1))
    done
    size=$(stat -c %s "$work/out.pdf")
    sort -n "$work/times" | awk -v cards="$cards" -v size="$size" '
        { t[NR] = $1; if ($2 > peak) peak = $2 }
        END {
            m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
            printf "%6d cards: median %.2f s, %.0f cards/s, peak %.1f MiB, PDF %.1f MiB (%d runs)\n",
                cards, m, cards / m, peak / 1024, size / 1048576, NR
        }'
done
