#!/usr/bin/env bash
# Builds Velmora and runs its normal tests (the package's and the print queue's included) inside
# a Debian 13 system, as scripts/test.sh does on the machine itself, so that both Debian
# releases are checked by one command. The system is made once with debootstrap, from the
# Debian mirror the machine's own apt sources name, and kept with its build tree and compiler
# cache under /var/cache/velmora (VELMORA_DEBIAN13_ROOT to put it elsewhere), so a second run
# only builds what changed. A machine that cannot make it (no root, no Debian mirror, no
# network) skips this stage and says why.
#
# Usage: scripts/debian13.sh [ctest options]
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
root=${VELMORA_DEBIAN13_ROOT:-/var/cache/velmora/debian13}
release=trixie

skip() {
    echo "Fase Debian 13 saltata: $*" >&2
    exit 0
}

# The Debian archive of the machine's apt sources (not its security or updates archives).
debian_mirror() {
    apt-get indextargets --format '$(REPO_URI) $(LABEL) $(CODENAME)' 2>/dev/null |
        awk '$2 == "Debian" && $3 !~ /-/ { print $1; exit }'
}

make_system() {
    local mirror
    mirror=$(debian_mirror)
    [[ -n $mirror ]] || skip "le fonti di apt di questa macchina non nominano un archivio Debian."
    if ! command -v debootstrap >/dev/null; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap ||
            skip "debootstrap non si installa."
    fi
    echo "Preparo un sistema Debian 13 in $root da $mirror (una volta sola)"
    rm -rf "$root.new"
    mkdir -p "$(dirname "$root")"
    debootstrap --variant=minbase --include=ca-certificates "$release" "$root.new" "$mirror" \
        >"$root.new.log" 2>&1 || skip "debootstrap non è riuscito (vedi $root.new.log)."
    # Packages installed in the system start no service of their own; the tests start theirs.
    printf '#!/bin/sh\nexit 101\n' >"$root.new/usr/sbin/policy-rc.d"
    chmod +x "$root.new/usr/sbin/policy-rc.d"
    mv "$root.new" "$root"
    rm -f "$root.new.log"
}

[[ $(cut -d. -f1 /etc/debian_version 2>/dev/null) != 13 ]] ||
    skip "questa macchina è già Debian 13: i test appena passati valgono per Debian 13."
[[ $(id -u) -eq 0 ]] || skip "servono i permessi di root per debootstrap e chroot."
[[ -x $root/usr/bin/apt-get ]] || make_system

# What the tests need of a running system: processes, devices, /sys (a test reads a file
# there) and the sources, mounted for this run only.
mounted=()
cleanup() {
    local m
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -lR "${mounted[i]}" || true
    done
}
trap cleanup EXIT
mount_in() { # mount_in TARGET mount-options...
    mkdir -p "$root$1"
    mount "${@:2}" "$root$1"
    mounted+=("$root$1")
}
# The system's root a mount point of its own, so that tests can make a private mount namespace
# there (their full disks and read-only media are small mounts of their own).
mount --bind "$root" "$root"
mounted+=("$root")
mount_in /proc -t proc proc
mount_in /sys --rbind /sys
mount_in /dev --rbind /dev
mount_in /src --bind "$src"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The authorities this machine trusts beyond Debian's own (a network that inspects HTTPS signs
# with one): the registry npm fetches from is reached through them inside too.
mkdir -p "$root/usr/local/share/ca-certificates"
find /usr/local/share/ca-certificates -name '*.crt' -exec cp {} "$root/usr/local/share/ca-certificates/" \; 2>/dev/null || true

# The build tree is outside the sources, in the kept system; the tests run as test.sh runs them.
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    CCACHE_DIR=/var/cache/ccache bash -s -- "$@" <<'EOF'
set -euo pipefail
cd /src
bash scripts/deps.sh test
update-ca-certificates >/dev/null
# Node.js reads the system's bundle, whatever store it was built to use.
export NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
queue_dir=$(mktemp -d)
chmod 0777 "$queue_dir"
trap 'bash scripts/test-printer.sh stop || true; rm -rf "$queue_dir"' EXIT
bash scripts/test-printer.sh start "$queue_dir" >/dev/null ||
    echo "La coda di stampa di prova non si avvia: il test della coda verrà saltato." >&2
echo "Debian $(cat /etc/debian_version): compilo e provo Velmora"
cmake -S /src -B /build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build /build -j "$jobs"
ctest --test-dir /build --output-on-failure -j "$jobs" "$@"
EOF
