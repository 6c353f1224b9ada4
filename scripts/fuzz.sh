#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz, then runs each for SECONDS seconds starting from
# its committed seed corpus (copied: what a run finds stays in a temporary folder).
# Usage: scripts/fuzz.sh SECONDS [settings|archive|numbers|mailto|validator|carddrawing|http|lists|register ...]
# A target that finds a fault stops the script with its report; the input that broke it is
# kept as crash-*/leak-*/timeout-* in the run's folder, named on the way out.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ || $1 -lt 1 ]]; then
    echo "Uso: scripts/fuzz.sh SECONDI [bersaglio ...]" >&2
    exit 2
fi
seconds=$1
shift
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for source in tests/fuzz/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name#fuzz_}")
    done
fi

build=${VELMORA_FUZZ_BUILD:-$root/build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target fuzz_all -j "$(nproc)"

export ASAN_OPTIONS=detect_odr_violation=0:detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The targets write their files (settings, archives) under TMPDIR; saving syncs the file to
# disk, so a memory file system keeps them from waiting on the disk at every run.
scratch=${TMPDIR:-/tmp}
[[ -d /dev/shm && -w /dev/shm ]] && scratch=/dev/shm

for target in "${targets[@]}"; do
    binary=$build/tests/fuzz/fuzz_$target
    if [[ ! -x $binary ]]; then
        echo "Bersaglio sconosciuto: $target" >&2
        exit 2
    fi
    work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-fuzz-$target.XXXXXX")
    mkdir -p "$work/corpus"
    cp -r "tests/fuzz/corpus/$target/." "$work/corpus/" 2>/dev/null || true
    echo "== fuzz_$target: $seconds s in $work"
    if ! (cd "$work" && TMPDIR=$scratch "$binary" -max_total_time="$seconds" -print_final_stats=1 \
              -timeout=10 -rss_limit_mb=2048 corpus >"$work/log" 2>&1); then
        tail -n 60 "$work/log" >&2
        echo "fuzz_$target ha trovato un errore: l'ingresso e il registro sono in $work" >&2
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|cov: .* ft: ' \
        "$work/log" | tail -n 4 || true
    rm -rf "$work"
done
