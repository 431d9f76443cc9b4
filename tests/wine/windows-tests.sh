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
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG_TESTS:--all} PORTSETUP_EXPECTED_DPI=$dpi
# The system's message font at 9 points (a LOGFONTW of Tahoma), larger than
# the dialog's own font.
font=$(printf '%08x' $((0x100000000 - dpi * 9 / 72)) | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/')
font+=000000000000000000000000900100000000000100000000$(printf 'Tahoma' | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')
font+=$(printf '%0*d' 104 0)  # the rest of the 32-character face name
# Everything in the prefix, Wine's desktop included, starts on that display.
xvfb-run -a -s "-screen 0 ${screen}x24" sh -c "
    '$(wine_loader 64)' reg add 'HKCU\\Control Panel\\Desktop\\WindowMetrics' /v MessageFont /t REG_BINARY /d $font /f >/dev/null &&
    '$(wine_loader 64)' reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null &&
    '$(wine_loader "$arch")' '$tests' --gtest_filter='$filter'"
status=$?
stop_wineserver "$prefix"
rm -rf "$prefix"
exit $status
