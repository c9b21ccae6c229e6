#!/usr/bin/env bash
# The program's command line and start-up messages, as a user in a terminal
# meets them: no display is needed to ask for help or the version.
#   cli_test.sh PROGRAM VERSION_TEXT
set -uo pipefail
program=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs the program with the arguments and no display; sets status, out, err.
run_without_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out=$(<"$work/out")
    err=$(<"$work/err")
}

# arguments | exit status | what stdout holds | lines on stderr
while IFS='|' read -r arguments expected_status expected_out expected_err_lines; do
    read -ra args <<<"$arguments"
    run_without_display "${args[@]}"
    [[ $status -eq $expected_status ]] || fail "quorvel $arguments: exit $status, expected $expected_status"
    [[ -z $expected_out || $out == *"$expected_out"* ]] || fail "quorvel $arguments: stdout lacks '$expected_out': $out"
    err_lines=$(grep -c . <<<"$err")
    [[ $err_lines -eq $expected_err_lines ]] || fail "quorvel $arguments: $err_lines stderr lines: $err"
done <<ROWS
--version|0|quorvel $version|0
-v|0|quorvel $version|0
--help|0|Usage: quorvel [options]|0
-h|0|--version|0
--bogus|2||1
-platform offscreen|2||1
some-file.txt|2||1
--version extra|2||1
ROWS

# At start, a line on stderr names the package to install when no installed
# font can draw the button's caption, and nothing is printed when one can.
mkdir -p "$work/fontcache"
cat >"$work/latin-only.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>/usr/share/fonts/truetype/liberation</dir><cachedir>$work/fontcache</cachedir></fontconfig>
CONF
for fonts in system latin-only; do
    extra=()
    [[ $fonts == latin-only ]] && extra=(FONTCONFIG_FILE="$work/latin-only.conf")
    env "${extra[@]}" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" timeout 3 "$program" 2>"$work/err" >/dev/null
    warnings=$(grep -c '^quorvel:' "$work/err")
    expected=$([[ $fonts == latin-only ]] && echo 1 || echo 0)
    [[ $warnings -eq $expected ]] || fail "$fonts fonts: $warnings warning lines, expected $expected: $(cat "$work/err")"
    if [[ $fonts == latin-only ]] && ! grep -q 'fonts-arphic-ukai' "$work/err"; then
        fail "the warning does not name fonts-arphic-ukai"
    fi
done

[[ $failures -eq 0 ]] && echo "command line and start-up messages as expected"
exit $((failures > 0))
