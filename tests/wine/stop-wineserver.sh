#!/usr/bin/env bash
# Ends the wineserver of a test prefix: stop-wineserver.sh PREFIX
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
stop_wineserver "$1"
