#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# the native unit tests, and the Windows tests of both programs under Wine.
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

echo
echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed_trees" -eq 0 ] && [ "$failed" -eq 0 ]
