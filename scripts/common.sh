# Shared by the project's scripts; sourced.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="$root/build"

# Configures one tree: configure_tree NAME, for native, win32 or win64.
configure_tree() {
    local options=(-DCMAKE_BUILD_TYPE=Debug)
    [ "$1" = win32 ] && options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
        -DPORTSETUP_STANDIN64="$build_root/win64/tests/standin/rundll32.exe")
    [ "$1" = win64 ] && options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake")
    cmake -S "$root" -B "$build_root/$1" -G Ninja -DPORTSETUP_WINE_BASE="$build_root/wine-base" "${options[@]}" \
        >/dev/null
}

# Configures and builds one tree: build_tree NAME
build_tree() {
    configure_tree "$1"
    cmake --build "$build_root/$1"
}

build_all() {
    build_tree native
    build_tree win64
    build_tree win32
}

# Runs a command with a display: the one there is, or a virtual one.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s '-screen 0 1280x1024x24' "$@"
    fi
}
