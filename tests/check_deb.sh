#!/usr/bin/env bash
# Builds the .deb from a build folder and checks what it declares and installs.
#   check_deb.sh BUILD_FOLDER
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/quorvel_*.deb)

depends=$(dpkg-deb -f "$deb" Depends)
depends_on() { [[ ", $depends," == *", $1"[\ ,]* ]] || { echo "Depends lacks $1 ($2): $depends"; exit 1; }; }
# Every library the program links comes from a package it depends on, under
# whatever name this release gives that package (libqt6core6, libqt6core6t64).
dpkg-deb -x "$deb" "$out/root"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for library in $(objdump -p "$out/root/usr/bin/quorvel" | awk '$1 == "NEEDED" { print $2 }'); do
    package=$(dpkg-query -S "*/$multiarch/$library" | awk -F: 'NR == 1 { print $1 }')
    depends_on "${package:?no installed package holds $library}" "for $library"
done
for needed in qt6-qpa-plugins qt6-translations-l10n fonts-liberation fonts-arphic-ukai; do
    depends_on "$needed" "named by the build"
done
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/quorvel \
    ./usr/share/applications/org.quorvel.Quorvel.desktop \
    ./usr/share/metainfo/org.quorvel.Quorvel.metainfo.xml \
    ./usr/share/icons/hicolor/16x16/apps/org.quorvel.Quorvel.png \
    ./usr/share/icons/hicolor/256x256/apps/org.quorvel.Quorvel.png \
    ./usr/share/doc/quorvel/copyright \
    ./usr/share/doc/quorvel/changelog.gz \
    ./usr/share/man/man1/quorvel.1.gz; do
    grep -qxF "$path" <<<"$files" || { echo "the package lacks $path"; exit 1; }
done
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-wayland* ]] || { echo "the package does not recommend qt6-wayland"; exit 1; }

lintian --fail-on error,warning "$deb"
echo "$(basename "$deb"): dependencies and files as expected"
