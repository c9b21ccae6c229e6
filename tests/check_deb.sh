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
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-liberation fonts-arphic-ukai; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || { echo "Depends lacks $needed: $depends"; exit 1; }
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/quorvel \
    ./usr/share/applications/org.quorvel.Quorvel.desktop \
    ./usr/share/metainfo/org.quorvel.Quorvel.metainfo.xml \
    ./usr/share/icons/hicolor/16x16/apps/org.quorvel.Quorvel.png \
    ./usr/share/icons/hicolor/256x256/apps/org.quorvel.Quorvel.png; do
    grep -qxF "$path" <<<"$files" || { echo "the package lacks $path"; exit 1; }
done
echo "$(basename "$deb"): dependencies and files as expected"
