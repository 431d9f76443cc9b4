#!/usr/bin/env bash
# Makes the prefix the Windows tests run in and keeps its wineserver up:
# prepare-prefix.sh BASE DEST STANDIN64 STANDIN [DPI]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
stop_wineserver "$2"
make_test_prefix "$1" "$2" "$3" "$4"
start_wineserver "$2"
if [ -n "${5:-}" ]; then
    WINEPREFIX=$2 WINEDEBUG=-all "$(wine_loader 64)" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
        /t REG_DWORD /d "$5" /f >/dev/null
fi
