#!/usr/bin/env bash
# Opens the built dialog under Wine. On a real display it stays open until it
# is closed; with none, a screenshot is saved and the dialog is closed.
set -euo pipefail
. "$(dirname "$0")/common.sh"
. "$root/tests/wine/lib.sh"

prefix="$build_root/wine-show"
shot="$build_root/screenshots/dialog.png"
arch=32
wine_can_run 32 || arch=64
exe="$root/dist/win$arch/PortSetup.exe"
ensure_base_prefix "$build_root/wine-base"
[ -d "$prefix" ] || cp -a "$build_root/wine-base" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all

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
    window=$(xdotool search --name '^Select Port Type$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.2
done
if [ -z "$window" ]; then
    echo "The dialog did not appear" >&2
    kill "$program" 2>/dev/null || true
    exit 1
fi
sleep 1
/usr/bin/import -window root "$shot"
echo "Screenshot of the dialog ($arch-bit program): $shot"
xdotool windowclose "$window" 2>/dev/null || kill "$program"
wait "$program" || true
wineserver -k 2>/dev/null || true
