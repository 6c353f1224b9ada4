#!/usr/bin/env bash
# Installs what is missing, builds Velmora and runs every test; then builds the suite again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs it again, fuzzes each target briefly,
# and last builds and runs the normal tests again inside a Debian 13 system
# (scripts/debian13.sh). Every stage must pass.
#
# scripts/test.sh --quick [ctest options]: the everyday loop. Installs what is missing, builds
# the normal tree and runs its tests (the given ctest options added, e.g. -R Print), without the
# Debian package test, the print queue, the sanitizer build or fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

if [[ ${1:-} == --quick ]]; then
    shift
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j "$jobs"
    ctest --test-dir build --output-on-failure -j "$jobs" -E '^tst_DebPackage$' "$@"
    exit 0
fi

# A real print queue for the queue test: the CUPS scheduler runs for the whole test run and is
# stopped at exit. The test points the queue at its own folder. Without root it cannot start,
# and the queue test skips, saying why.
if [[ $(id -u) -eq 0 ]]; then
    queue_dir=$(mktemp -d)
    chmod 0777 "$queue_dir"
    trap 'bash scripts/test-printer.sh stop || true; rm -rf "$queue_dir"' EXIT
    bash scripts/test-printer.sh start "$queue_dir" >/dev/null ||
        echo "La coda di stampa di prova non si avvia: il test della coda verrà saltato." >&2
else
    echo "Senza root non si avvia CUPS: il test della coda di stampa verrà saltato." >&2
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

# Fuzzing smoke check: each libFuzzer target for a few seconds (clang, both sanitizers, in
# build-fuzz). Longer runs: scripts/fuzz.sh SECONDS [target ...].
bash scripts/fuzz.sh 5

# The other supported Debian release: the normal tree and its tests in a kept Debian 13 system.
bash scripts/debian13.sh
