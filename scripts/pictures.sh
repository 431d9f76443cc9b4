#!/usr/bin/env bash
# Takes the README's pictures of the dialog anew: the operator suite's
# parallel case runs the built program under Wine, with the serial port
# chosen and then a parallel port, and the screenshots go to docs/pictures/.
set -euo pipefail
. "$(dirname "$0")/common.sh"
. "$root/scripts/wine.sh"

"$root/scripts/install-deps.sh"
build_all
arch=32
wine_can_run 32 || arch=64
work="$build_root/pictures"
rm -rf "$work"
mkdir -p "$work" "$root/docs/pictures"
PORTSETUP_PICTURES="$root/docs/pictures" OPERATOR_CASES=parallel-mouse with_display \
    "$root/tests/blackbox/operator_test.sh" "$arch" "$build_root/win$arch/PortSetup.exe" \
    "$build_root/win64/tests/standin/rundll32.exe" "$build_root/win$arch/tests/standin/rundll32.exe" \
    "$build_root/wine-base" "$work" "$build_root/win$arch/tests/library_failure_probe.exe"
echo "Pictures of the $arch-bit program: docs/pictures/dialog-serial.png, docs/pictures/dialog-parallel.png"
