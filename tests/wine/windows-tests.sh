#!/usr/bin/env bash
# Runs the Windows test program in a fresh prefix and on a display of its own,
# where the stand-in rundll32.exe records what is started and, for the test
# program alone, the stand-in winspool.drv behaves as Windows' spooler:
# windows-tests.sh ARCH BASE PREFIX TESTS_EXE DPI SCREEN GTEST_FILTER STANDIN64 STANDIN WINSPOOL
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine.sh"
arch=$1 base=$2 prefix=$3 tests=$4 dpi=$5 screen=$6 filter=$7 standin64=$8 standin=$9 winspool=${10}
wine_can_run "$arch" || { echo "SKIPPED: this machine cannot run $arch-bit Windows programs"; exit 77; }
stop_wineserver "$prefix"
make_test_prefix "$base" "$prefix" "$standin64" "$standin" || exit 1
cp "$winspool" "$prefix/drive_c/windows/$([ "$arch" = 32 ] && echo syswow64 || echo system32)/winspool.drv"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG_TESTS:--all} PORTSETUP_EXPECTED_DPI=$dpi
export WINEDLLOVERRIDES=rundll32.exe=n RUNDLL32_STANDIN_LOG="Z:${prefix//\//\\}\\launches"
# The system's message font at 9 points (a LOGFONTW of Tahoma), larger than
# the dialog's own font.
font=$(printf '%08x' $((0x100000000 - dpi * 9 / 72)) | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/')
font+=000000000000000000000000900100000000000100000000$(printf 'Tahoma' | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')
font+=$(printf '%0*d' 104 0)  # the rest of the 32-character face name
# Everything in the prefix, Wine's desktop included, starts on that display;
# the resolution and the font are read when Wine starts, as Windows reads
# them at sign-in, so Wine starts again once they are set.
xvfb-run -a -s "-screen 0 ${screen}x24" sh -c "
    '$(wine_loader 64)' reg add 'HKCU\\Control Panel\\Desktop\\WindowMetrics' /v MessageFont /t REG_BINARY /d $font /f >/dev/null &&
    '$(wine_loader 64)' reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null &&
    '$(wine_loader "$arch")' reg add 'HKCU\\Software\\Wine\\AppDefaults\\$(basename "$tests")\\DllOverrides' /v winspool.drv /d native,builtin /f >/dev/null &&
    wineserver -k; wineserver -w;
    '$(wine_loader "$arch")' '$tests' --gtest_filter='$filter'"
status=$?
stop_wineserver "$prefix"
rm -rf "$prefix"
exit $status
