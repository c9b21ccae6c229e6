# The Debian chroots the tests use, sourced by install-deps.sh and
# test-on-debian.sh: each made with mmdebstrap from the mirrors apt uses here,
# kept in /var/cache/quorvel (QUORVEL_CHROOT_CACHE), made again when missing
# or broken, and entered through scripts/in-chroot. The host's dpkg is never
# touched.

chroot_cache=${QUORVEL_CHROOT_CACHE:-/var/cache/quorvel}
chroot_sudo=()
[[ $(id -u) -eq 0 ]] || chroot_sudo=(sudo -n)

# The first mirror apt here uses for a suite (bookworm, bookworm-security ...).
mirror_of() {
    apt-get indextargets --format '$(CODENAME) $(REPO_URI)' 'Identifier: Packages' |
        awk -v suite="$1" '$1 == suite { print $2; exit }'
}
host_release() { (. /etc/os-release && echo "$VERSION_CODENAME"); }
debian_mirror() {
    local mirror
    mirror=$(mirror_of "$(host_release)")
    echo "${mirror:-http://deb.debian.org/debian/}"
}
security_mirror() {
    local mirror
    mirror=$(mirror_of "$(host_release)-security")
    echo "${mirror:-http://deb.debian.org/debian-security/}"
}

# A field of a suite's Release file on a mirror; fails where the mirror has no such suite.
release_field() {
    local mirror=$1 suite=$2 field=$3 file
    file=$(mktemp)
    if ! /usr/lib/apt/apt-helper download-file "${mirror%/}/dists/$suite/Release" "$file" >/dev/null 2>&1; then
        rm -f "$file"
        return 1
    fi
    sed -n "s/^$field: //p" "$file"
    rm -f "$file"
}

# Sets `aptopts` for a chroot of a suite. Where the mirror serves its Release
# file past its Valid-Until, as a snapshot does, apt refuses it: that check is
# turned off for that chroot alone (mmdebstrap keeps the option in it), and said.
apt_options_for() {
    local mirror=$1 suite=$2 until
    aptopts=()
    until=$(release_field "$mirror" "$suite" Valid-Until) || return 0
    if [[ -n $until ]] && (($(date -d "$until" +%s) < $(date +%s))); then
        echo "$suite: the mirror's Release file expired on $until (a snapshot); apt's check of that is off for this chroot"
        aptopts=(--aptopt='Acquire::Check-Valid-Until "false"')
    fi
}

# make_chroot ROOT ARCH PACKAGES CHECK SUITE MIRROR [SOURCE...]
# Makes ROOT from SUITE on MIRROR (and the further sources.list lines) holding PACKAGES
# (separated by commas), unless it holds them already and the command CHECK
# passes on it. One maker at a time; a second one waits and then finds it
# ready. Fails, saying why and leaving nothing behind, where the suite has no
# such packages (1) or the new chroot fails CHECK (2).
make_chroot() {
    local root=$1 arch=$2 packages=$3 check=$4 suite=$5 mirror=$6
    shift 6
    "${chroot_sudo[@]}" mkdir -p "$(dirname "$root")"
    if { exec 9>>"$(dirname "$root")/.lock-$(basename "$root")"; } 2>/dev/null; then
        flock 9
    fi
    if [[ $(cat "$root/.quorvel-packages" 2>/dev/null) == "${packages//,/ }" ]] && "$check" "$root"; then
        return 0
    fi
    local aptopts
    apt_options_for "$mirror" "$suite"
    echo "Making a Debian $suite ($arch) chroot in $root (from $mirror)"
    "${chroot_sudo[@]}" rm -rf "$root.new"
    local log
    log=$(mktemp)
    if ! "${chroot_sudo[@]}" mmdebstrap --arch="$arch" --variant=apt --include="$packages" "${aptopts[@]}" \
        "$suite" "$root.new" "$mirror" "$@" 2>"$log"; then
        # apt's own words (no such package ...) rather than mmdebstrap's summary of them.
        grep -E '^E: ' "$log" | grep -vE '^E: (setup failed|mmdebstrap failed)' >&2 || tail -n 5 "$log" >&2
        rm -f "$log"
        "${chroot_sudo[@]}" rm -rf "$root.new"
        return 1
    fi
    rm -f "$log"
    # Mount points for what scripts/in-chroot gives it.
    "${chroot_sudo[@]}" mkdir -p "$root.new/proc" "$root.new/sys" "$root.new/dev" "$root.new/tmp"
    echo "${packages//,/ }" | "${chroot_sudo[@]}" tee "$root.new/.quorvel-packages" >/dev/null
    "${chroot_sudo[@]}" rm -rf "$root"
    "${chroot_sudo[@]}" mv "$root.new" "$root"
    if ! "$check" "$root"; then
        "${chroot_sudo[@]}" rm -rf "$root"
        return 2
    fi
}
