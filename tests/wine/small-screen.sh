#!/usr/bin/env bash
# Runs the dialog's placement test on a screen smaller than the window, on a
# display and in a prefix of its own: small-screen.sh BASE WORK_PREFIX TESTS_EXE
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
base=$1 prefix=$2 tests=$3
wine_can_run 64 || { echo "SKIPPED: Wine cannot run here"; exit 77; }
stop_wineserver "$prefix"
rm -rf "$prefix"
ensure_base_prefix "$base" || exit 1
mkdir -p "$(dirname "$prefix")"
cp -a "$base" "$prefix"
# Everything in the prefix, Wine's desktop included, starts on the small display.
WINEPREFIX=$prefix xvfb-run -a -s '-screen 0 320x200x24' \
    "$(wine_loader 64)" "$tests" --gtest_filter=Form1Test.WindowHasItsCaptionSizeAndPlace
status=$?
stop_wineserver "$prefix"
rm -rf "$prefix"
exit $status
