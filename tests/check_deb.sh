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
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n fonts-liberation \
    fonts-arphic-ukai; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || { echo "Depends lacks $needed: $depends"; exit 1; }
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
