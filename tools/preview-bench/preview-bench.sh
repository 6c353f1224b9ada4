#!/bin/sh
# Times the preview of the main window: from "Anteprima" to the first page shown, for 60, 6,000
# and 32,766 landscape cards, with the resident memory before and with the preview open; then
# the whole process under /usr/bin/time (seconds, peak memory).
# Usage: tools/preview-bench/preview-bench.sh [BUILD_DIR] [RUNS]
set -eu
build=${1:-build}
runs=${2:-3}
bench=$build/tools/preview-bench/velmora-preview-bench
maker=$build/tools/archive-maker/velmora-archive-maker
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

"$maker" --carte 32766 --seme 2018 -o "$work/RidoDur.dat" >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_CONFIG_HOME="$work/config"

for cards in 60 6000 32766; do
    i=0
    while [ "$i" -lt "$runs" ]; do
        /usr/bin/time -f 'processo: %e s, picco %M KiB' -o "$work/t" \
            "$bench" --archivio "$work" --cartelle "$cards"
        cat "$work/t"
        i=$((i + 1))
    done
done
