#!/usr/bin/env bash
# Runs the Windows tests and the operator suite of the built programs under
# the Wine of the root it runs in (Wine 10, see scripts/wine10.sh), each
# result naming that Wine, as ctest runs them under Wine 8. Appends one line
# a test, "wine10.NAME passed|failed|skipped|known-different REASON", to
# RESULTS. wine10-tests.sh RESULTS
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/common.sh"
. "$here/../../scripts/wine.sh"
results=$1
base="$build_root/wine10-base"

record() {
    local name=$1 status=$2 verdict=failed
    case $status in 0) verdict=passed ;; 77) verdict=skipped ;; esac
    echo "wine10.$name $verdict $(sed -n 's/^SKIPPED: //p' "$3")" | tee -a "$results"
    [ "$verdict" != failed ] || tail -n 30 "$3"
}

for arch in 64 32; do
    tree="$build_root/win$arch"
    standins=("$build_root/win64/tests/standin/rundll32.exe" "$tree/tests/standin/rundll32.exe"
        "$tree/tests/standin/winspool.drv")
    for run in "windows;96;1280x1024;*" "layout-144dpi;144;1280x1024;Form1Test.LaysItself*" \
        "layout-small-screen;96;320x200;Form1Test.LaysItself*"; do
        IFS=';' read -r name dpi screen filter <<<"$run"
        "$here/windows-tests.sh" "$arch" "$base" "$tree/wine10-$name" "$tree/tests/windows_tests.exe" "$dpi" "$screen" \
            "$filter" "${standins[@]}" >"$tree/wine10-$name.log" 2>&1
        record "win$arch.$name" $? "$tree/wine10-$name.log"
    done
    xvfb-run -a -s '-screen 0 1280x1024x24' "$here/../blackbox/operator_test.sh" "$arch" "$tree/PortSetup.exe" \
        "${standins[0]}" "${standins[1]}" "$base" "$tree/tests/operator10" "$tree/tests/library_failure_probe.exe" \
        "${standins[2]}" >"$tree/wine10-operator.log" 2>&1
    record "win$arch.operator" $? "$tree/wine10-operator.log"
done
