#!/usr/bin/env bash
# Runs the README's test command, scripts/test.sh, on another Debian release:
# on a fresh clone of this checkout's HEAD, in a chroot of that release (made
# by scripts/chroot.sh, kept in /var/cache/quorvel/debian-RELEASE with
# whatever the tests installed into it).
#   test-on-debian.sh RELEASE              bookworm, trixie, forky, sid ...
#   test-on-debian.sh --prepare RELEASE    only makes the chroot and installs
#                                          what the tests need into it
# Needs root, or sudo without a password.
set -euo pipefail
command=scripts/test.sh
if [[ ${1:-} == --prepare ]]; then
    command="scripts/install-deps.sh test"
    shift
fi
release=${1:?usage: $0 [--prepare] RELEASE (bookworm, trixie, forky, sid ...)}
here=$(cd "$(dirname "$0")" && pwd)
checkout=$(cd "$here/.." && pwd)
# shellcheck source=chroot.sh
. "$here/chroot.sh"
root=$chroot_cache/debian-$release
base_packages=git,ca-certificates,sudo,procps
sudo=("${chroot_sudo[@]}")

apt_runs() { "${sudo[@]}" chroot "$1" apt-get --version >/dev/null 2>&1; }

# The release's own suite, and its updates and security suites where it has them (testing and unstable have none).
make_root() {
    command -v mmdebstrap >/dev/null ||
        { "${sudo[@]}" apt-get update -qq && "${sudo[@]}" apt-get install -y -qq --no-install-recommends mmdebstrap; }
    local mirror security sources=()
    mirror=$(debian_mirror)
    security=$(security_mirror)
    release_field "$mirror" "$release-updates" Suite >/dev/null && sources+=("deb $mirror $release-updates main")
    release_field "$security" "$release-security" Suite >/dev/null && sources+=("deb $security $release-security main")
    make_chroot "$root" amd64 "$base_packages" apt_runs "$release" "$mirror" "${sources[@]}" ||
        { echo "the Debian $release chroot in $root could not be made" >&2; exit 1; }
}

make_root
"${sudo[@]}" rm -rf "$root/src/quorvel"
"${sudo[@]}" git -c safe.directory="*" clone --quiet --no-hardlinks "$checkout" "$root/src/quorvel"
"${sudo[@]}" git -C "$root/src/quorvel" checkout --quiet --detach "$(git -C "$checkout" rev-parse HEAD)"
"${sudo[@]}" cp /etc/resolv.conf "$root/etc/resolv.conf"

# The 32-bit exe runs under the Wines of the host's own chroots whatever the
# release (the i386 Wine 8 and the WoW64 one), which the host's own pass uses;
# they are not made again in here. QUORVEL_LEAVE_OUT, passed on, names more of
# what the host's pass runs already.
skip_wine="not run in the Debian $release pass; the host's pass runs it"
leave_out=${QUORVEL_LEAVE_OUT:-}
echo "== Debian $release: $(. "$root/etc/os-release" && echo "$PRETTY_NAME"), HEAD $(git -C "$checkout" rev-parse --short HEAD)"
# Its own process and mount namespaces: everything the tests start ends with
# them, and the mounts vanish.
exec "${sudo[@]}" "$here/in-chroot" --isolated "$root" /usr/bin/env -i HOME=/root \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    QUORVEL_WINE32_SKIP="$skip_wine" QUORVEL_WOW64_SKIP="$skip_wine" QUORVEL_LEAVE_OUT="$leave_out" \
    sh -c "cd /src/quorvel && exec $command"
