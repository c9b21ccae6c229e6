#!/usr/bin/env bash
# Makes the release twice, from two clones of this commit at different paths,
# and checks that the files are the same byte for byte (diffoscope says what
# differs if not), that SHA256SUMS holds, what each zip holds, that every time
# stamp is the commit's, and that the Linux program is hardened.
#   check_release.sh [REPOSITORY]    (default: the one this script is in)
set -euo pipefail
repository=$(cd "${1:-$(dirname "$0")/..}" && git rev-parse --show-toplevel)
commit=$(git -C "$repository" rev-parse HEAD)
epoch=$(git -C "$repository" log -1 --format=%ct)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL $*"; failed=1; }

for place in first "second/at another depth"; do
    git clone --quiet --no-hardlinks "$repository" "$work/$place"
    git -C "$work/$place" checkout --quiet --detach "$commit"
    (cd "$work/$place" && scripts/release.sh >"$work/${place%%/*}.log" 2>&1) ||
        { tail -30 "$work/${place%%/*}.log"; echo "FAIL release.sh in $place"; exit 1; }
done
first=$work/first/dist
second="$work/second/at another depth/dist"

if cmp -s "$first/SHA256SUMS" "$second/SHA256SUMS"; then
    echo "ok   two folders give the same files"
else
    fail "two folders give different files:"
    diff "$first/SHA256SUMS" "$second/SHA256SUMS" || true
    while read -r _ name; do
        cmp -s "$first/$name" "$second/$name" || diffoscope --text - "$first/$name" "$second/$name" | head -200 || true
    done <"$first/SHA256SUMS"
fi
(cd "$first" && sha256sum --quiet -c SHA256SUMS) && echo "ok   SHA256SUMS holds" || fail "SHA256SUMS does not hold"
listed=$(awk '{ print $2 }' "$first/SHA256SUMS" | sort | tr '\n' ' ')
present=$(cd "$first" && ls | grep -vx SHA256SUMS | sort | tr '\n' ' ')
[[ $listed == "$present" ]] && echo "ok   SHA256SUMS covers $present" || fail "SHA256SUMS lists $listed; dist/ holds $present"

# Each zip: Quorvel.exe and README.txt, dated the commit, and the exe stamped with it.
# Zip times are in 2-second steps.
stamp=$(TZ=UTC date -d "@$((epoch - epoch % 2))" '+%Y%m%d.%H%M%S')
for zip in "$first"/Quorvel-*-windows-x86.zip "$first"/Quorvel-*-windows-x64.zip; do
    name=$(basename "$zip")
    entries=$(zipinfo -1 "$zip" | tr '\n' ' ')
    [[ $entries == "Quorvel.exe README.txt " ]] && echo "ok   $name holds $entries" || fail "$name holds $entries"
    dates=$(zipinfo -T "$zip" | awk '$1 ~ /^[-d]/ { print $7 }' | sort -u)
    [[ $dates == "$stamp" ]] && echo "ok   $name's entries are dated $dates" || fail "$name's entries are dated $dates, not $stamp"
    pe_stamp=$(unzip -p "$zip" Quorvel.exe | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
offset = struct.unpack_from("<I", data, 0x3C)[0]
print(struct.unpack_from("<I", data, offset + 8)[0])')
    [[ $pe_stamp == "$epoch" ]] && echo "ok   $name's exe is stamped $pe_stamp" || fail "$name's exe is stamped $pe_stamp, not $epoch"
done

# The .deb: its files dated no later than the commit, its program hardened.
deb=$(ls "$first"/quorvel_*_amd64.deb)
late=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time | awk -v limit="$(TZ=UTC date -d "@$epoch" '+%F %T')" \
    '($4 " " substr($5, 1, 8)) > limit')
[[ -z $late ]] && echo "ok   the .deb's files are dated no later than the commit" || fail "files later than the commit: $late"
dpkg-deb -x "$deb" "$work/installed"
program=$work/installed/usr/bin/quorvel
dynamic=$(readelf -d "$program")
grep -q 'BIND_NOW' <<<"$dynamic" && echo "ok   bound now (full RELRO)" || fail "not BIND_NOW"
grep -q 'GNU_RELRO' <<<"$(readelf -lW "$program")" && echo "ok   RELRO" || fail "no RELRO"
grep -q 'Flags: .*PIE' <<<"$dynamic" && echo "ok   PIE" || fail "not PIE"
nm -D "$program" | grep -q '__[a-z]*_chk@' && echo "ok   fortified (_chk functions)" || fail "no _chk function: not fortified"
nm -D "$program" | grep -q '__stack_chk_fail@' && echo "ok   stack protector" || fail "no stack protector"
hardening=$(lintian -I --tag-display-limit 0 "$deb" 2>/dev/null | grep ' hardening-' || true)
[[ -z $hardening ]] && echo "ok   lintian: no hardening tag" || fail "lintian: $hardening"
exit $failed
