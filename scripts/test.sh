#!/usr/bin/env bash
# Installs what is missing, builds Velmora and runs every test; then builds the suite again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs it again. Both runs must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

# Fuzzing smoke check: each libFuzzer target for a few seconds (clang, both sanitizers, in
# build-fuzz). Longer runs: scripts/fuzz.sh SECONDS [target ...].
bash scripts/fuzz.sh 5
