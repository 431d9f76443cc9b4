#!/usr/bin/env bash
# Makes the prefix the Windows tests run in and keeps its wineserver up:
# prepare-prefix.sh BASE DEST STANDIN
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
stop_wineserver "$2"
make_test_prefix "$1" "$2" "$3"
start_wineserver "$2"
