#!/usr/bin/env bash
# Opens the built dialog under Wine. On a real display it stays open until it
# is closed; with none, a screenshot is saved and the dialog is closed.
set -euo pipefail
. "$(dirname "$0")/common.sh"
. "$root/scripts/wine.sh"

prefix="$build_root/wine-show"
shot="$build_root/screenshots/dialog.png"
arch=32
wine_can_run 32 || arch=64
exe="$root/dist/win$arch/PortSetup.exe"
ensure_base_prefix "$build_root/wine-base"
export WINEPREFIX=$prefix WINEDEBUG=-all
if [ ! -d "$prefix" ]; then
    cp -a "$build_root/wine-base" "$prefix"
    # Wine draws the window's frame and caption itself where no window
    # manager runs, as on a virtual display.
    "$(wine_loader 64)" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true  # the next start picks up the display
fi

if [ -n "${DISPLAY:-}" ] && [ -z "${PORTSETUP_SCREENSHOT:-}" ]; then
    echo "Opening $exe"
    exec "$(wine_loader $arch)" "$exe"
fi

if [ -z "${PORTSETUP_IN_XVFB:-}" ] && [ -z "${DISPLAY:-}" ]; then
    PORTSETUP_IN_XVFB=1 PORTSETUP_SCREENSHOT=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0"
fi

mkdir -p "$(dirname "$shot")"
"$(wine_loader $arch)" "$exe" &
program=$!
window=""
for _ in $(seq 1 150); do
    window=$(xdotool search --name '^Select Port Type$' 2>/dev/null | awk 'NR == 1') && [ -n "$window" ] && break
    sleep 0.2
done
if [ -z "$window" ]; then
    echo "The dialog did not appear" >&2
    kill "$program" 2>/dev/null || true
    exit 1
fi
sleep 1
/usr/bin/import -window "$window" "$shot"
echo "Screenshot of the dialog ($arch-bit program): $shot"
xdotool key --window "$window" alt+F4 2>/dev/null || true
for _ in $(seq 1 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill "$program" 2>/dev/null || true
wineserver -k 2>/dev/null || true
