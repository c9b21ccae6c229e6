#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quorvel needs that are not installed yet.
#   install-deps.sh run    to build and run the program
#   install-deps.sh test   to build and run every test as well; this also makes
#                          the i386 Debian chroot whose 32-bit Wine runs the
#                          32-bit Quorvel.exe (scripts/wine32/), once
set -euo pipefail

run_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-wayland qt6-translations-l10n
    fonts-liberation fonts-arphic-ukai
)
test_packages=(
    libgtest-dev libbenchmark-dev
    clang libclang-rt-dev
    xvfb xauth xclip x11-utils imagemagick python3 python3-xlib
    python3-pytest python3-pytest-timeout python3-pyatspi at-spi2-core dbus-daemon fontconfig
    desktop-file-utils appstream dpkg-dev file lintian weston
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 googletest icoutils
    wine wine64 fonts-arphic-uming fonts-wine fonts-wqy-microhei
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
    mmdebstrap arch-test diffoscope unzip
)
# What the i386 chroot holds: Wine with the X libraries it loads at run time,
# and the faces that stand in for the ones Windows ships.
wine32_packages=(
    wine wine32
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
    libfreetype6 libfontconfig1
    fonts-arphic-ukai fonts-arphic-uming fonts-liberation fonts-wine fonts-wqy-microhei
)
wine32_root=${QUORVEL_WINE32_ROOT:-/var/cache/quorvel/wine32}

case "${1:-}" in
    run) wanted=("${run_packages[@]}") ;;
    test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

# The chroot is made from bookworm's main suite alone, from the mirror apt uses
# here: its i386 security index does not always download, and the updates
# suite has nothing newer for these packages. Never on the host's own dpkg,
# which keeps its one architecture.
wine32_ready() {
    [[ $(cat "$wine32_root/.quorvel-packages" 2>/dev/null) == "${wine32_packages[*]}" ]] &&
        "${sudo[@]}" env QUORVEL_WINE32_ROOT="$wine32_root" "$(dirname "$0")/wine32/wine" --version >/dev/null 2>&1
}
make_wine32_root() {
    if ! arch-test i386 >/dev/null 2>&1; then
        echo "32-bit Wine: this machine runs no 32-bit programs (arch-test i386); its tests will be skipped"
        return 0
    fi
    if [[ -n ${QUORVEL_WINE32_SKIP:-} ]]; then
        echo "32-bit Wine: $QUORVEL_WINE32_SKIP; its tests will be skipped"
        return 0
    fi
    if [[ ${#sudo[@]} -gt 0 ]] && ! sudo -n true 2>/dev/null; then
        echo "32-bit Wine: making its chroot needs root, which this user cannot get; its tests will be skipped"
        return 0
    fi
    "${sudo[@]}" mkdir -p "$(dirname "$wine32_root")"
    # One maker at a time; a second one waits and then finds it ready.
    if { exec 9>>"$(dirname "$wine32_root")/.lock-$(basename "$wine32_root")"; } 2>/dev/null; then
        flock 9
    fi
    wine32_ready && return 0
    local mirror
    mirror=$(apt-get indextargets --format '$(CODENAME) $(REPO_URI)' 'Identifier: Packages' |
        awk '$1 == "bookworm" { print $2; exit }')
    mirror=${mirror:-http://deb.debian.org/debian/}
    echo "Making the i386 chroot for 32-bit Wine in $wine32_root (from $mirror)"
    local include
    include=$(IFS=,; echo "${wine32_packages[*]}")
    "${sudo[@]}" rm -rf "$wine32_root.new"
    "${sudo[@]}" mmdebstrap --quiet --arch=i386 --variant=apt --include="$include" \
        bookworm "$wine32_root.new" "$mirror"
    # Mount points for the folders the wrappers share with it.
    "${sudo[@]}" mkdir -p "$wine32_root.new/proc" "$wine32_root.new/sys" "$wine32_root.new/dev" "$wine32_root.new/tmp"
    echo "${wine32_packages[*]}" | "${sudo[@]}" tee "$wine32_root.new/.quorvel-packages" >/dev/null
    "${sudo[@]}" rm -rf "$wine32_root"
    "${sudo[@]}" mv "$wine32_root.new" "$wine32_root"
    wine32_ready || { echo "32-bit Wine does not run in $wine32_root" >&2; return 1; }
}

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[[ $1 == test ]] && make_wine32_root
exit 0
