#!/usr/bin/env bash
# Installs a built .deb into a fresh, minimal Debian 12 (debootstrap) and starts
# it there under Xvfb with the end-to-end window test. Needs root and the
# network to Debian's mirror; not part of the test command.
#   check-deb-on-clean-debian.sh build/release/quorvel_<version>_amd64.deb
set -euo pipefail
deb=$(readlink -f "$1")
e2e="$(cd "$(dirname "$0")/.." && pwd)/tests/e2e"
root=$(mktemp -d)
cleanup() { umount "$root/proc" 2>/dev/null || true; rm -rf "$root"; }
trap cleanup EXIT

command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
debootstrap --variant=minbase bookworm "$root" >/dev/null  # from debootstrap's default mirror
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
mkdir -p "$root/tmp/e2e" && cp "$e2e"/*.py "$root/tmp/e2e/"

chroot "$root" /bin/bash -euc "
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/$(basename "$deb") >/dev/null
    # Only what the test itself needs; the program's own dependencies came with the package.
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb python3 python3-xlib imagemagick >/dev/null
    cd /tmp/e2e && python3 window_e2e.py /usr/bin/quorvel"
