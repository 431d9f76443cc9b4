#!/usr/bin/env bash
# Runs the Windows test program in a fresh prefix and on a display of its own:
# windows-tests.sh ARCH BASE PREFIX TESTS_EXE DPI SCREEN [GTEST_FILTER]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine.sh"
arch=$1 base=$2 prefix=$3 tests=$4 dpi=$5 screen=$6 filter=${7:-*}
wine_can_run "$arch" || { echo "SKIPPED: this machine cannot run $arch-bit Windows programs"; exit 77; }
stop_wineserver "$prefix"
make_test_prefix "$base" "$prefix" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all PORTSETUP_EXPECTED_DPI=$dpi
# Everything in the prefix, Wine's desktop included, starts on that display.
xvfb-run -a -s "-screen 0 ${screen}x24" sh -c "
    '$(wine_loader 64)' reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null &&
    '$(wine_loader "$arch")' '$tests' --gtest_filter='$filter'"
status=$?
stop_wineserver "$prefix"
rm -rf "$prefix"
exit $status
