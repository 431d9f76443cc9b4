# Shared by the project's scripts; sourced.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="$root/build"

# Configures and builds one tree: build_tree NAME [CMAKE ARGUMENTS...]
build_tree() {
    local name=$1
    shift
    cmake -S "$root" -B "$build_root/$name" -G Ninja -DPORTSETUP_WINE_BASE="$build_root/wine-base" "$@" >/dev/null
    cmake --build "$build_root/$name"
}

build_all() {
    build_tree native -DCMAKE_BUILD_TYPE=Debug
    build_tree win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
    build_tree win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
}

# Runs a command with a display: the one there is, or a virtual one.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s '-screen 0 1280x1024x24' "$@"
    fi
}
