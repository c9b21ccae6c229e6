#!/usr/bin/env bash
# How the program starts, as a user in a terminal meets it: the command line
# needs no display, a missing display or face is said in one line, and a
# Wayland session without X shows the window, which keeps its size and its
# box there, as the window tests (Qt Test programs) check in that session.
#   startup_test.sh PROGRAM VERSION_TEXT FORM1_TEST
set -uo pipefail
program=$1
version=$2
form1_test=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs the program with the arguments and no display (or the DISPLAY given);
# sets status, out and err.
run_without_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work" ${display:+DISPLAY=$display} \
        "$program" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out=$(<"$work/out")
    err=$(<"$work/err")
}

# DISPLAY | arguments | exit status | what stdout holds | what the one stderr line holds (none if empty)
while IFS='|' read -r display arguments expected_status expected_out expected_err; do
    read -ra args <<<"$arguments"
    run_without_display "${args[@]}"
    what="DISPLAY=$display quorvel $arguments"
    [[ $status -eq $expected_status ]] || fail "$what: exit $status, expected $expected_status"
    [[ -z $expected_out || $out == *"$expected_out"* ]] || fail "$what: stdout lacks '$expected_out': $out"
    err_lines=$(grep -c . <<<"$err")
    if [[ -z $expected_err ]]; then
        [[ $err_lines -eq 0 ]] || fail "$what: stderr should be empty: $err"
    else
        [[ $err_lines -eq 1 && $err == *"$expected_err"* ]] || fail "$what: stderr should be one line with '$expected_err': $err"
    fi
done <<ROWS
|--version|0|quorvel $version|
|-v|0|quorvel $version|
|--help|0|Usage: quorvel [options]|
|-h|0|--version|
|--bogus|2||Unknown option 'bogus'
|-platform offscreen|2||Unknown option 'platform'
|some-file.txt|2||Unexpected argument 'some-file.txt'
|--version extra|2||Unexpected argument 'extra'
||1||quorvel: no display to show the window on (DISPLAY=unset
:4242||1||quorvel: no display to show the window on (DISPLAY=:4242
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

# A Wayland session with no X server: the window opens through Qt's Wayland
# platform, in a headless compositor.
export XDG_RUNTIME_DIR=$work
weston --backend=headless-backend.so --socket=quorvel-wayland --idle-time=0 >"$work/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 50); do [[ -S $work/quorvel-wayland ]] && break; sleep 0.1; done
env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=quorvel-wayland XDG_SESSION_TYPE=wayland "$program" 2>"$work/err" &
app=$!
sleep 2
if ! kill -0 $app 2>/dev/null; then
    fail "under Wayland the program ended at once: $(cat "$work/err")"
elif ! grep -q 'libQt6WaylandClient' /proc/$app/maps; then
    fail "under Wayland the program did not use Qt's Wayland platform"
fi
kill $app 2>/dev/null
wait $app 2>/dev/null
grep -q '^quorvel:' "$work/err" && fail "under Wayland: $(cat "$work/err")"
# Qt draws the title bar itself there, with maximise and minimise buttons.
env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=quorvel-wayland LC_ALL=C.UTF-8 \
    "$form1_test" keepsItsSizeWhenMaximised boxComesBackWhenMinimised >"$work/out" 2>&1 ||
    fail "under Wayland: $(grep -E 'FAIL|rror' "$work/out" | head -5)"
kill $compositor 2>/dev/null
wait $compositor 2>/dev/null

[[ $failures -eq 0 ]] && echo "command line and start-up messages as expected"
exit $((failures > 0))
