# Shared by the project's scripts; sourced.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="$root/build"

# Configures one tree: configure_tree TREE [CMAKE_OPTION...], where TREE is
# native, win32 or win64, or a folder below build/ ending in one of them.
configure_tree() {
    local tree=$1 options=(-DCMAKE_BUILD_TYPE=Debug)
    shift
    case ${tree##*/} in
        win32) options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
            -DPORTSETUP_STANDIN64="$build_root/win64/tests/standin/rundll32.exe") ;;
        win64) options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake") ;;
    esac
    cmake -S "$root" -B "$build_root/$tree" -G Ninja -DPORTSETUP_WINE_BASE="$build_root/wine-base" "${options[@]}" \
        "$@" >/dev/null
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

# Signs FILE in place with the certificate PORTSETUP_SIGN_PFX and its password
# PORTSETUP_SIGN_PASSWORD (Authenticode, SHA-256), time-stamped by
# PORTSETUP_SIGN_TIMESTAMP_URL when that is set; the tool's output goes to
# LOG. sign_file FILE NAME LOG
sign_file() {
    local timestamp=()
    [ -z "${PORTSETUP_SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$PORTSETUP_SIGN_TIMESTAMP_URL")
    osslsigncode sign -pkcs12 "$PORTSETUP_SIGN_PFX" -readpass <(printf '%s' "${PORTSETUP_SIGN_PASSWORD:-}") \
        -h sha256 -n "$2" "${timestamp[@]}" -in "$1" -out "$1.signed" >"$3" 2>&1 && mv "$1.signed" "$1"
}
