#!/usr/bin/env bash
# Runs the README's test command, scripts/test.sh, on another Debian release:
# on a fresh clone of this checkout's HEAD, in a chroot of that release. The
# chroot is made with mmdebstrap from the mirrors apt uses here, kept in
# /var/cache/quorvel/debian-RELEASE (QUORVEL_CHROOT_CACHE) with whatever the
# tests installed into it, and made again when missing or broken; this
# machine's own dpkg is never touched.
#   test-on-debian.sh RELEASE              bookworm, trixie ...
#   test-on-debian.sh --prepare RELEASE    only makes the chroot and installs
#                                          what the tests need into it
# Needs root, or sudo without a password.
set -euo pipefail
command=scripts/test.sh
if [[ ${1:-} == --prepare ]]; then
    command="scripts/install-deps.sh test"
    shift
fi
release=${1:?usage: $0 [--prepare] RELEASE (bookworm, trixie ...)}
checkout=$(cd "$(dirname "$0")/.." && pwd)
root=${QUORVEL_CHROOT_CACHE:-/var/cache/quorvel}/debian-$release
base_packages=(git ca-certificates sudo procps)
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo -n)

ready() {
    [[ $(cat "$root/.quorvel-packages" 2>/dev/null) == "${base_packages[*]}" ]] &&
        "${sudo[@]}" chroot "$root" apt-get --version >/dev/null 2>&1
}

# The first mirror apt here uses for a suite, e.g. bookworm-security.
mirror_of() {
    apt-get indextargets --format '$(CODENAME) $(REPO_URI)' 'Identifier: Packages' |
        awk -v suite="$1" '$1 == suite { print $2; exit }'
}

make_root() {
    "${sudo[@]}" mkdir -p "$(dirname "$root")"
    # One maker at a time; a second one waits and then finds it ready.
    exec 9>>"$(dirname "$root")/.lock-$(basename "$root")"
    flock 9
    ready && return 0
    command -v mmdebstrap >/dev/null ||
        { "${sudo[@]}" apt-get update -qq && "${sudo[@]}" apt-get install -y -qq --no-install-recommends mmdebstrap; }
    local host mirror security
    host=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(mirror_of "$host")
    security=$(mirror_of "$host-security")
    mirror=${mirror:-http://deb.debian.org/debian/}
    security=${security:-http://deb.debian.org/debian-security/}
    echo "Making a Debian $release chroot in $root (from $mirror)"
    local include
    include=$(IFS=,; echo "${base_packages[*]}")
    "${sudo[@]}" rm -rf "$root.new"
    "${sudo[@]}" mmdebstrap --quiet --variant=apt --include="$include" "$release" "$root.new" \
        "deb $mirror $release main" "deb $mirror $release-updates main" "deb $security $release-security main"
    echo "${base_packages[*]}" | "${sudo[@]}" tee "$root.new/.quorvel-packages" >/dev/null
    "${sudo[@]}" rm -rf "$root"
    "${sudo[@]}" mv "$root.new" "$root"
    ready || { echo "the Debian $release chroot in $root does not work" >&2; exit 1; }
}

make_root
"${sudo[@]}" rm -rf "$root/src/quorvel"
"${sudo[@]}" git -c safe.directory="*" clone --quiet --no-hardlinks "$checkout" "$root/src/quorvel"
"${sudo[@]}" git -C "$root/src/quorvel" checkout --quiet --detach "$(git -C "$checkout" rev-parse HEAD)"
"${sudo[@]}" cp /etc/resolv.conf "$root/etc/resolv.conf"

# The 32-bit exe runs under the bookworm i386 chroot's Wine whatever the
# release, which the host's own pass uses; it is not made again in here.
# QUORVEL_LEAVE_OUT, passed on, names more of what the host's pass runs already.
skip_wine32="not run in the Debian $release pass; the host's pass runs it"
leave_out=${QUORVEL_LEAVE_OUT:-}
echo "== Debian $release: $(. "$root/etc/os-release" && echo "$PRETTY_NAME"), HEAD $(git -C "$checkout" rev-parse --short HEAD)"
# Its own process and mount namespaces: everything the tests start ends with
# them, and the mounts vanish.
# shellcheck disable=SC2016 # expanded by the inner shell
exec "${sudo[@]}" unshare --mount --pid --fork --propagation private sh -euc '
    root=$1 skip=$2 leave_out=$3 command=$4
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    exec chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 QUORVEL_WINE32_SKIP="$skip" QUORVEL_LEAVE_OUT="$leave_out" sh -c "cd /src/quorvel && exec $command"
' sh "$root" "$skip_wine32" "$leave_out" "$command"
