#!/usr/bin/env bash
# Builds the release files from this clean checkout into dist/:
#   quorvel_<version>_amd64.deb
#   Quorvel-<version>-windows-x86.zip, Quorvel-<version>-windows-x64.zip
#       (Quorvel.exe and README.txt each)
#   SHA256SUMS over them
# The same commit gives the same bytes, in any folder and on any day: every
# time stamp in them is the last commit's (SOURCE_DATE_EPOCH). The Linux
# program is built with Debian's hardening flags (dpkg-buildflags).
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
    echo "release.sh: the checkout has uncommitted changes; commit or stash them first" >&2
    exit 1
fi
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
# Nothing of the builder's own setup may reach the files.
export LC_ALL=C.UTF-8 TZ=UTC
umask 022

build=build/dist
rm -rf "$build" dist
mkdir -p "$build" dist

# Linux: hardened as Debian builds its packages. dpkg-buildflags would map the
# source folder out of the program unquoted, which a folder with a blank in its
# path breaks; it is mapped here, quoted, instead.
# Debian 12's dpkg-buildflags has no stack clash or CET protection yet: they
# are added as later Debian releases add them.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-fixfilepath,-fixdebugpath"
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -fstack-clash-protection \
-fcf-protection \"-ffile-prefix-map=$PWD=.\"" \
LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
    cmake --preset release -B "$build/linux" >/dev/null
cmake --build "$build/linux" -j2
(cd "$build/linux" && cpack -G DEB -B "$PWD/../deb" >/dev/null)
cp "$build"/deb/quorvel_*.deb dist/
version=$("$build/linux/app/quorvel" --version | awk '{ print $2 }')

# Windows: one portable zip per architecture.
for arch in x86 x64; do
    cmake --preset "windows-$arch" -B "$build/windows-$arch" -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build/windows-$arch" -j2 --target quorvel
    case $arch in x86) windows="32-bit Windows" ;; x64) windows="64-bit Windows" ;; esac
    sed -e "s/@VERSION@/$version/" -e "s/@WINDOWS@/$windows/" resources/windows/README.txt.in |
        sed 's/$/\r/' >"$build/windows-$arch/README.txt"
    python3 scripts/reproducible_zip.py "dist/Quorvel-$version-windows-$arch.zip" \
        "$build/windows-$arch/app/Quorvel.exe" "$build/windows-$arch/README.txt"
done

(cd dist && sha256sum -- *.deb *.zip >SHA256SUMS)
echo "dist/ for $version, from $(git rev-parse --short HEAD):"
cat dist/SHA256SUMS
