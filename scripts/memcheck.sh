#!/usr/bin/env bash
# One whole window session (tools/session-check) under valgrind's memcheck, offscreen: start-up,
# a walk of the pages, a recolour, 12 cards printed to a PDF, Esci. Fails on any definite leak
# or memory error. Suppressions in scripts/memcheck.supp cover system libraries only.
#   scripts/memcheck.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v valgrind >/dev/null || { echo "manca valgrind (apt-get install valgrind)" >&2; exit 1; }
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target velmora-session-check
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
QT_QPA_PLATFORM=offscreen valgrind --tool=memcheck --leak-check=full \
    --show-leak-kinds=definite --errors-for-leak-kinds=definite --error-exitcode=1 \
    --num-callers=30 --suppressions=scripts/memcheck.supp --log-file="$log" \
    "$build/tools/session-check/velmora-session-check" || status=$?
grep -E 'definitely lost|indirectly lost|possibly lost|still reachable|ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== *//'
if [[ $status -ne 0 ]]; then
    cat "$log" >&2
fi
exit "$status"
