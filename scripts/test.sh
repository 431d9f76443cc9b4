#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# the native unit tests, and the Windows tests of both programs under Wine 8
# and again under Wine 10.
set -uo pipefail
. "$(dirname "$0")/common.sh"

"$root/scripts/install-deps.sh" || exit 1
build_all || exit 1

failed_trees=0
passed=0 failed=0 skipped=0
for tree in native win64 win32; do
    echo "== Tests of $tree"
    junit="$build_root/$tree/results.xml"
    rm -f "$junit"
    jobs=1
    [ "$tree" = native ] && jobs=2
    with_display ctest --test-dir "$build_root/$tree" --output-on-failure -j "$jobs" --output-junit "$junit" ||
        failed_trees=$((failed_trees + 1))
    if [ -f "$junit" ]; then
        passed=$((passed + $(grep -c 'status="run"' "$junit")))
        failed=$((failed + $(grep -c 'status="fail"' "$junit")))
        skipped=$((skipped + $(grep -c -E 'status="(notrun|disabled)"' "$junit")))
    else
        failed_trees=$((failed_trees + 1))
    fi
done

# The Windows tests and the operator suite again under Wine 10 (Debian 13),
# in a root the script makes, or keeps from the last run.
echo "== Tests under Wine 10"
results="$build_root/wine10-results.txt"
: >"$results"
"$root/scripts/wine10.sh" "$root/tests/wine/wine10-tests.sh" "$results"
status=$?
if [ "$status" = 77 ]; then
    for arch in 64 32; do
        for name in windows layout-144dpi layout-small-screen operator; do echo "wine10.win$arch.$name skipped" >>"$results"; done
    done
elif [ ! -s "$results" ]; then
    failed_trees=$((failed_trees + 1))
fi
wine10_passed=$(grep -c ' passed' "$results")
wine10_failed=$(grep -c ' failed' "$results")
wine10_skipped=$(grep -c -E ' (skipped|known-different)' "$results")

echo
echo "Wine 8 and native: $passed passed, $failed failed, $skipped skipped; Wine 10: $wine10_passed passed," \
    "$wine10_failed failed, $wine10_skipped skipped"
echo "tests: $((passed + wine10_passed)) passed, $((failed + wine10_failed)) failed, $((skipped + wine10_skipped)) skipped"
[ "$failed_trees" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$wine10_failed" -eq 0 ]
