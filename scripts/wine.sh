# Helpers for running the Windows programs under Wine (the dialog, the
# benchmark, the pictures and the tests); sourced.

# The Wine loader for 32- or 64-bit programs.
wine_loader() {
    if [ "$1" = 32 ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

# True when this machine can run Wine's loader of that size. Some kernels
# cannot execute 32-bit Linux programs, and the 32-bit loader is one.
wine_can_run() {
    "$(wine_loader "$1")" --version >/dev/null 2>&1
}

# Makes a fresh Wine prefix at DIR unless one is there already.
ensure_base_prefix() {
    local dir=$1
    [ -f "$dir/system.reg" ] && [ -f "$dir/.portsetup-ready" ] && return 0
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    # Without mono and gecko: nothing here needs them, and their installers ask.
    WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        "$(wine_loader 64)" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$dir wineserver -w
    [ -f "$dir/system.reg" ] || { echo "could not make a Wine prefix in $dir" >&2; return 1; }
    touch "$dir/.portsetup-ready"
}

# Copies BASE to DEST and, when given, puts the stand-ins in place of the
# system's rundll32.exe: STANDIN64 in system32, STANDIN (the tested
# program's size) in syswow64, where a 32-bit program must not go.
make_test_prefix() {
    local base=$1 dest=$2 standin64=${3:-} standin=${4:-}
    ensure_base_prefix "$base" || return 1
    rm -rf "$dest"
    mkdir -p "$(dirname "$dest")"
    cp -a "$base" "$dest"
    [ -n "$standin64" ] || return 0
    cp "$standin64" "$dest/drive_c/windows/system32/rundll32.exe"
    cp "$standin" "$dest/drive_c/windows/syswow64/rundll32.exe"
}

# Keeps the prefix's wineserver running between the test programs, so that
# each does not pay for starting it again.
# Wine's own services start with it, detached from any caller's output, which
# a test runner would otherwise wait on for as long as they run.
start_wineserver() {
    WINEPREFIX=$1 wineserver -p </dev/null >/dev/null 2>&1
    WINEPREFIX=$1 WINEDEBUG=-all "$(wine_loader 64)" wineboot </dev/null >/dev/null 2>&1
}

stop_wineserver() {
    WINEPREFIX=$1 wineserver -k 2>/dev/null || true
}
