#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the debug build's
# suite (core, window, end to end in Xvfb), the core and the window's tests
# under AddressSanitizer, LeakSanitizer and UBSan, the fuzzer for a while, and
# Quorvel.exe for 32- and 64-bit Windows: each checked as a file and run under
# Wine (core suite, Win32 parts, the end-to-end scenarios), the 32-bit one under
# the two Wines of scripts/wine32 and scripts/wow64 (each skipped, and said why,
# where it cannot run: no 32-bit programs for the first, no root for either).
# Last, the release files made twice and compared, each step timed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

passed=0
failed=0
skipped=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Builds a preset with warnings as errors and runs its tests (extra ctest arguments follow).
build_and_test() {
    local preset=$1
    shift
    echo "== $preset"
    SECONDS=0
    cmake --preset "$preset" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
    cmake --build --preset "$preset" -j2
    local status=0
    ctest --preset "$preset" "$@" 2>&1 | tee "$log" || status=$?
    local summary
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" || true)
    if [[ $summary =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        failed=$((failed + BASH_REMATCH[1]))
        passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    fi
    # ctest counts a skipped test among the passed ones; here it is neither.
    local not_run
    not_run=$(grep -cE '^\s*[0-9]+ - .* \(Skipped\)$' "$log" || true)
    passed=$((passed - not_run))
    skipped=$((skipped + not_run))
    echo "== $preset: ${SECONDS} s"
    return $status
}

# QUORVEL_LEAVE_OUT names steps not to run here (fuzz, release), for a
# second pass on another release whose first pass runs them.
left_out() {
    [[ " ${QUORVEL_LEAVE_OUT:-} " == *" $1 "* ]] || return 1
    echo "== $1: left out here"
}

status=0
build_and_test dev || status=1
build_and_test asan -L "core|ui" || status=1
left_out fuzz || build_and_test fuzz || status=1
build_and_test windows-x86 || status=1
build_and_test windows-x64 || status=1
if ! left_out release; then
    echo "== release"
    if tests/check_release.sh; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        status=1
    fi
fi
# Only the tests under the chroots' Wines skip themselves; the Wine that would run them says why.
why=""
if [[ $skipped -gt 0 ]]; then
    why=$(for wine in wine64 wine32 wow64; do
        scripts/$wine/wine --version 2>&1 >/dev/null | sed -n 's/^\(.*\) is not available: \(.*\); skipped$/\1: \2/p' || true
    done | paste -sd '|' | sed 's/|/; /g')
    why=${why:+ ($why)}
fi
echo
echo "all: $passed passed, $failed failed, $skipped skipped$why${QUORVEL_LEAVE_OUT:+; left out: $QUORVEL_LEAVE_OUT}"
exit $status
