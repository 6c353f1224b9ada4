#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need, when missing.
# Works as root, or through sudo otherwise. Usage: scripts/deps.sh [run|test|package|look]
# ("look": a window manager for looking at the windows under Xvfb with their real frames).
set -euo pipefail

# qt6-declarative-dev: on Debian 12 the TextToSpeech headers need Qt's Qml ones to build.
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
                fonts-liberation2 ccache qt6-speech-dev qt6-declarative-dev
                qt6-base-private-dev # the hall board's test hears the screen reader's events
                libqrencode-dev) # the QR code of the phones' address
# Qt's own Italian texts for its dialogs (colour and print dialogs), loaded at start-up; the
# SQLite driver of the print register, loaded when a run starts.
# The numbers said aloud: Qt's speech library, its speech-dispatcher plugin and an Italian voice.
run_packages=(qt6-translations-l10n libqt6sql6-sqlite libqt6texttospeech6 qt6-speech-speechd-plugin
              speech-dispatcher speech-dispatcher-espeak-ng espeak-ng)
test_packages=(xvfb xauth poppler-utils cups cups-client printer-driver-cups-pdf clang
               dpkg-dev file appstream desktop-file-utils
               valgrind
               x11-xserver-utils # xrandr: the two screens of the hall's board test
               chromium  # a real browser loads the phones' page
               speech-dispatcher-audio-plugins libao4 # the voice's tests: libao's null output, OSS
               zbar-tools # reads the QR codes back
               nodejs) # drives Chromium for axe-core's check of the phones' page

packages=("${build_packages[@]}")
if [[ ${1:-run} == run ]]; then
    packages+=("${run_packages[@]}")
elif [[ ${1:-run} == test ]]; then
    packages+=("${run_packages[@]}" "${test_packages[@]}")
elif [[ ${1:-run} == look ]]; then
    packages+=(xvfb xauth imagemagick openbox)
elif [[ ${1:-run} == package ]]; then
    packages+=(dpkg-dev file) # dpkg-shlibdeps works out the package's dependencies; cpack runs file
fi

# The sanitizer and fuzzer runtime of the clang the system installs: clang 14 on Debian 12,
# clang 19 on Debian 13. Read from the clang installed, else from the package index.
clang_runtime() {
    local major=
    if command -v clang >/dev/null; then
        major=$(clang -dumpversion | cut -d. -f1)
    else
        major=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9]\+\)$/\1/p' | head -n1)
    fi
    [[ -n $major ]] && echo "libclang-rt-$major-dev"
}

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
if [[ ${1:-run} == test ]]; then
    runtime=$(clang_runtime) || true
    if [[ -z $runtime ]]; then # a machine whose package index was never read
        "${sudo[@]}" apt-get update -qq
        runtime=$(clang_runtime)
    fi
    packages+=("$runtime")
    # npm fetches axe-core for that check. A Node.js that brings its own npm (nodesource's)
    # needs no package, and Debian's npm would conflict with it.
    command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installo i pacchetti mancanti: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
