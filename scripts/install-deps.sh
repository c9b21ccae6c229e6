#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quorvel needs that are not installed yet.
#   install-deps.sh run    to build and run the program
#   install-deps.sh test   to build and run every test as well
set -euo pipefail

run_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-wayland qt6-translations-l10n
    fonts-liberation fonts-arphic-ukai
)
test_packages=(
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth xdotool xclip x11-utils imagemagick python3 python3-xlib
    python3-dbus at-spi2-core dbus-daemon fontconfig
    desktop-file-utils appstream dpkg-dev file lintian weston
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 googletest icoutils
    wine wine64 fonts-arphic-uming
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
)

case "${1:-}" in
    run) wanted=("${run_packages[@]}") ;;
    test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
