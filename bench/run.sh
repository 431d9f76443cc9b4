#!/usr/bin/env bash
# Measures the program against the plainest Win32 build of the same dialog
# (the floor) and an empty window with two buttons, under Wine: start-up to a
# window ready for input, peak working set, Next-to-exit time, over RUNS
# alternating runs (40 unless given), and the sizes and imported DLLs of the
# files. Prints a table and keeps it in build/bench/results.md.
#
# bench/run.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"
. "$root/scripts/wine.sh"
runs=${1:-40}

"$root/scripts/install-deps.sh"
targets=(PortSetup floor_dialog empty_window bench_launcher rundll32_standin)
for tree in win32 win64; do
    configure_tree $tree
    cmake --build "$build_root/$tree" --target "${targets[@]}" >/dev/null
done

# The shipped program is the 32-bit one; where Wine cannot run it here, the
# 64-bit build of the same sources is measured.
arch=32
wine_can_run 32 || arch=64
tree="$build_root/win$arch"
out="$build_root/bench"
prefix="$out/prefix"
mkdir -p "$out"
stop_wineserver "$prefix"
make_test_prefix "$build_root/wine-base" "$prefix" "$build_root/win64/tests/standin/rundll32.exe" \
    "$tree/tests/standin/rundll32.exe"
mkdir -p "$prefix/drive_c/bench"
cp "$tree/PortSetup.exe" "$tree/bench/floor_dialog.exe" "$tree/bench/empty_window.exe" \
    "$tree/bench/bench_launcher.exe" "$prefix/drive_c/bench/"
# What Next needs to do its work: the driver information file beside the
# program (the stand-in rundll32.exe records nothing without a log to write).
echo '[Version]' >"$prefix/drive_c/bench/ZUTW2KXPDrvs.INF"

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="rundll32.exe=n"
start_wineserver "$prefix"
# Wine's own virtual desktop: with no window manager, Wine would otherwise
# wait on the X server when a focused window goes away.
echo "Running $runs rounds of the $arch-bit programs under Wine..."
if ! with_display "$(wine_loader "$arch")" explorer /desktop=bench,1024x768 'C:\bench\bench_launcher.exe' "$runs" \
    'program=C:\bench\PortSetup.exe' 'floor=C:\bench\floor_dialog.exe' 'empty=C:\bench\empty_window.exe' \
    </dev/null | tr -d '\r' >"$out/runs.txt"; then
    stop_wineserver "$prefix"
    echo "bench: a run did not complete (the launcher's messages are above); no figures" >&2
    exit 1
fi
stop_wineserver "$prefix"
for name in program floor empty; do
    count=$(grep -c "^$name " "$out/runs.txt" || true)
    [ "$count" -eq "$runs" ] || { echo "only $count of $runs runs of $name completed" >&2; exit 1; }
done

# Median and quartiles of column COLUMN of NAME's runs, with DIGITS decimals.
stats() {
    awk -v name="$1" -v column="$2" '$1 == name { print $column }' "$out/runs.txt" | sort -g |
        awk -v digits="$3" '{ v[NR] = $1 } END {
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            q1 = v[int((NR + 3) / 4)]; q3 = v[int((3 * NR + 1) / 4)]
            f = "%." digits "f %." digits "f %." digits "f\n"; printf f, m, q1, q3 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() {
    local label=$1 column=$2 unit=$3 digits=$4 pm pmin pmax fm fmin fmax em emin emax
    read -r pm pmin pmax < <(stats program "$column" "$digits")
    read -r fm fmin fmax < <(stats floor "$column" "$digits")
    read -r em emin emax < <(stats empty "$column" "$digits")
    printf '| %s | %s (%s–%s) | %s (%s–%s) | %s (%s–%s) | %s |\n' "$label, $unit" "$pm" "$pmin" "$pmax" \
        "$fm" "$fmin" "$fmax" "$em" "$emin" "$emax" "$(ratio "$pm" "$fm")"
}
size_kib() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", b / 1024 }'; }
imports() { "${2}-objdump" -p "$1" | awk '/DLL Name:/ { print $3 }' | sort -u | tr '\n' ' '; }
import_count() { imports "$1" "$2" | wc -w; }
objdump_prefix() { if [ "$1" = 32 ]; then echo i686-w64-mingw32; else echo x86_64-w64-mingw32; fi; }

prefix_tool=$(objdump_prefix "$arch")
cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
{
    echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}; $(uname -sr); $("$(wine_loader 64)" --version)."
    echo "Programs: $arch-bit, $runs alternating rounds, in a Wine virtual desktop on Xvfb."
    echo "Figures: median (first–third quartile); ratio = program median / floor median."
    echo
    echo "| | program | floor | empty window | program / floor |"
    echo "|---|---|---|---|---|"
    row "start to ready for input" 3 ms 1
    row "peak working set" 4 KiB 0
    row "Next click to exit" 5 ms 1
    printf '| file size, KiB | %s | %s | %s | %s |\n' "$(size_kib "$tree/PortSetup.exe")" \
        "$(size_kib "$tree/bench/floor_dialog.exe")" "$(size_kib "$tree/bench/empty_window.exe")" \
        "$(ratio "$(stat -c %s "$tree/PortSetup.exe")" "$(stat -c %s "$tree/bench/floor_dialog.exe")")"
    printf '| DLLs imported | %s | %s | %s | %s |\n' "$(import_count "$tree/PortSetup.exe" "$prefix_tool")" \
        "$(import_count "$tree/bench/floor_dialog.exe" "$prefix_tool")" \
        "$(import_count "$tree/bench/empty_window.exe" "$prefix_tool")" \
        "$(ratio "$(import_count "$tree/PortSetup.exe" "$prefix_tool")" "$(import_count "$tree/bench/floor_dialog.exe" "$prefix_tool")")"
    echo
    # Each round runs both, so the difference within a round is free of
    # the slow drifts of a shared machine.
    paired=$(awk '$1 == "program" { p[$2] = $3 } $1 == "floor" { f[$2] = $3 }
        END { for (r in p) if (r in f) print p[r] - f[r] }' "$out/runs.txt" | sort -g |
        awk '{ v[NR] = $1 } END { printf "%.1f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
    echo "Start-up, program minus floor within the same round: median $paired ms."
    echo
    for a in 32 64; do
        exe="$build_root/win$a/PortSetup.exe"
        echo "PortSetup.exe, $a-bit: $(stat -c %s "$exe") bytes ($(size_kib "$exe") KiB), imports $(imports "$exe" "$(objdump_prefix $a)")"
    done
} | tee "$out/results.md"
