#!/usr/bin/env bash
# A Debian 13 root with Wine 10, to run the Windows tests under a second,
# newer Wine beside Debian 12's Wine 8. The root is made once under
# build/wine10-root, from the package source this machine's apt uses, and
# made again when its package list changes; /proc, /dev, /dev/pts and
# /dev/shm are mounted into it while it is used, and unmounted again, also
# when a test fails or the run is interrupted.
#
# wine10.sh COMMAND [ARGUMENT...]   runs COMMAND in the root, the project
#                                   mounted at its own path
# Ends with 77 and the reason when the root cannot be made or used here.
set -uo pipefail
. "$(dirname "$0")/common.sh"

. "$root/scripts/wine.sh"
target="$build_root/wine10-root"
packages="wine64 xvfb xauth xdotool x11-utils libfaketime procps"
# The 32-bit Wine too where this machine runs 32-bit programs.
wine_can_run 32 && packages+=" wine32:i386"

skip() {
    echo "SKIPPED: Wine 10 cannot run here: $*"
    exit 77
}

# The Debian archive this machine's apt takes its packages from.
mirror() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '/^deb / && $0 !~ /security/ { print $2; exit }
             /^URIs:/ && $2 !~ /security/ { print $2; exit }'
}

mounts=()
unmount_all() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null; done
    mounts=()
}
trap unmount_all EXIT
trap 'unmount_all; exit 130' INT TERM

mount_all() {
    mkdir -p "$target/proc" "$target/dev" "$target/$root"
    mount -t proc proc "$target/proc" 2>/dev/null && mounts+=("$target/proc") &&
        mount --bind /dev "$target/dev" && mounts+=("$target/dev") &&
        mount --bind /dev/pts "$target/dev/pts" && mounts+=("$target/dev/pts") &&
        mount -t tmpfs tmpfs "$target/dev/shm" && mounts+=("$target/dev/shm") &&
        mount --bind "$root" "$target$root" && mounts+=("$target$root")
}

[ "$(id -u)" = 0 ] || skip "making and mounting the Debian 13 root needs root"
if [ "$(cat "$target/.portsetup-packages" 2>/dev/null)" != "$packages" ]; then
    command -v debootstrap >/dev/null || skip "no debootstrap"
    source=$(mirror)
    [ -n "$source" ] || skip "no Debian archive in this machine's apt sources"
    if [ ! -x "$target/usr/bin/apt-get" ]; then
        rm -rf "$target"
        echo "making the Debian 13 root from $source..."
        debootstrap --variant=minbase trixie "$target" "$source" >"$build_root/wine10-debootstrap.log" 2>&1 ||
            { rm -rf "$target"; skip "debootstrap failed (see $build_root/wine10-debootstrap.log)"; }
    fi
    mount_all || skip "cannot mount /proc, /dev and the project into the root"
    echo "installing $packages in the Debian 13 root..."
    architectures=""
    [[ $packages != *:i386* ]] || architectures="dpkg --add-architecture i386 && "
    chroot "$target" env DEBIAN_FRONTEND=noninteractive sh -c \
        "${architectures}apt-get update -q && apt-get install -y -q --no-install-recommends $packages" \
        >"$build_root/wine10-apt.log" 2>&1 ||
        skip "the root's packages could not be installed (see $build_root/wine10-apt.log)"
    echo "$packages" >"$target/.portsetup-packages"
else
    mount_all || skip "cannot mount /proc, /dev and the project into the root"
fi
# Wine 10 keeps its server beside its loaders.
chroot "$target" /usr/bin/env PATH="/usr/lib/wine:/usr/bin:/bin" HOME=/root sh -c 'cd "$0" && exec "$@"' "$PWD" "$@"
