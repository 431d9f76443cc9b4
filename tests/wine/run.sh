#!/usr/bin/env bash
# Runs a Windows program under Wine: run.sh 32|64 PROGRAM [ARGUMENTS...]
# Exits 77 (a skipped test) when this machine cannot run programs of that size.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
arch=$1
shift
if ! wine_can_run "$arch"; then
    echo "SKIPPED: this machine cannot run $arch-bit Windows programs ($(wine_loader "$arch") does not start)"
    exit 77
fi
export WINEDEBUG=${WINEDEBUG:--all}
exec "$(wine_loader "$arch")" "$@"
