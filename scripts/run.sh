#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it on the sample card archive.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
# The command line names the folder of the card archive; the program ends if it is missing.
mkdir -p build/data
exec ./build/velmora "$PWD/build/data"
