#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quorvel needs that are not installed yet.
#   install-deps.sh run    to build and run the program
#   install-deps.sh test   to build and run every test as well; this also makes,
#                          once, the two Debian chroots whose Wines run the
#                          32-bit Quorvel.exe (scripts/wine32/, scripts/wow64/)
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
    mmdebstrap arch-test mount diffoscope unzip
)
# The Wines that run the 32-bit exe, each in a chroot that holds it with the X
# libraries it loads at run time and the faces that stand in for the ones
# Windows ships: the i386 Wine 8 of Debian 12, as 32-bit Windows runs it, and
# an amd64 Wine built with its i386-windows side (new WoW64), as 64-bit
# Windows runs it.
wine_chroot_packages=(
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
    libfreetype6 libfontconfig1
    fonts-arphic-ukai fonts-arphic-uming fonts-liberation fonts-wine fonts-wqy-microhei
)
wine32_packages=$(IFS=,; echo "wine,wine32,${wine_chroot_packages[*]}")
wow64_packages=$(IFS=,; echo "wine,wine64,libwine,${wine_chroot_packages[*]}")
wine32_root=${QUORVEL_WINE32_ROOT:-/var/cache/quorvel/wine32}
wow64_root=${QUORVEL_WOW64_ROOT:-/var/cache/quorvel/wow64}

case "${1:-}" in
    run) wanted=("${run_packages[@]}") ;;
    test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=chroot.sh
. "$here/chroot.sh"

wine32_runs() { "${sudo[@]}" env QUORVEL_WINE32_ROOT="$1" "$here/wine32/wine" --version >/dev/null 2>&1; }
wow64_runs() { "${sudo[@]}" env QUORVEL_WOW64_ROOT="$1" "$here/wow64/wine" --version >/dev/null 2>&1; }

# Says why a Wine's chroot is not made here, if it is not.
cannot_make() {
    local label=$1 skip=$2
    if [[ -n $skip ]]; then
        echo "$label: $skip; its tests will be skipped"
    elif [[ ${#sudo[@]} -gt 0 ]] && ! sudo -n true 2>/dev/null; then
        echo "$label: making its chroot needs root, which this user cannot get; its tests will be skipped"
    else
        return 1
    fi
}

# From bookworm's main suite alone: its i386 security index does not always
# download, and the updates suite has nothing newer for these packages.
make_wine32_root() {
    if ! arch-test i386 >/dev/null 2>&1; then
        echo "32-bit Wine: this machine runs no 32-bit programs (arch-test i386); its tests will be skipped"
        return 0
    fi
    cannot_make "32-bit Wine" "${QUORVEL_WINE32_SKIP:-}" && return 0
    make_chroot "$wine32_root" i386 "$wine32_packages" wine32_runs bookworm "$(debian_mirror)" ||
        { echo "32-bit Wine does not run in $wine32_root" >&2; return 1; }
}

# From the first of Debian's suites, the most settled first, whose amd64 Wine
# has the i386-windows side that runs 32-bit programs (Debian 13's has only
# zlib1.dll there): the check, not a name, chooses it.
make_wow64_root() {
    if ! arch-test i386 >/dev/null 2>&1; then
        echo "WoW64 Wine: this machine makes no 32-bit system calls (arch-test i386), which it needs; its tests will be skipped"
        return 0
    fi
    cannot_make "WoW64 Wine" "${QUORVEL_WOW64_SKIP:-}" && return 0
    local suite status log
    log=$(mktemp)
    for suite in stable testing unstable; do
        status=0
        make_chroot "$wow64_root" amd64 "$wow64_packages" wow64_runs "$suite" "$(debian_mirror)" 2>"$log" ||
            status=$?
        case $status in
            0) rm -f "$log"; return 0 ;;
            1) echo "WoW64 Wine: not from Debian $suite: $(head -n 1 "$log")" ;;
            *) echo "WoW64 Wine: not from Debian $suite, whose amd64 Wine has no i386-windows side" ;;
        esac
    done
    rm -f "$log"
    echo "WoW64 Wine: no Debian suite's amd64 Wine runs 32-bit programs (an i386-windows side); its tests will be skipped"
}

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
# The host's own Wine runs the 64-bit exe's tests where this Debian has one;
# where it has none (forky, today), those tests are skipped.
where_there=(wine wine64 fonts-wine)
has_candidate() { [[ ! $(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p') =~ ^(\(none\))?$ ]]; }
if [[ ${#missing[@]} -gt 0 ]]; then
    "${sudo[@]}" apt-get update -qq
    available=()
    absent=()
    for package in "${missing[@]}"; do
        if [[ " ${where_there[*]} " == *" $package "* ]] && ! has_candidate "$package"; then
            absent+=("$package")
        else
            available+=("$package")
        fi
    done
    [[ ${#absent[@]} -eq 0 ]] || echo "Not in this Debian: ${absent[*]}; the tests under its Wine will be skipped"
    if [[ ${#available[@]} -gt 0 ]]; then
        echo "Installing: ${available[*]}"
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${available[@]}"
    fi
fi
if [[ $1 == test ]]; then
    make_wine32_root
    make_wow64_root
fi
exit 0
