#!/usr/bin/env bash
# Installs and removes the installer packages in DIST with Wine's own
# msiexec, as a deployment system would, in a prefix whose rundll32.exe is
# the stand-in: a port the PC does not have fails the installation and
# leaves nothing; COM2 with settings installs the files, the printer and the
# value; a removal whose set-up fails keeps them and the product; the removal
# takes all of it away again. The 32-bit package where
# the machine runs 32-bit programs.
# package_test.sh DIST WORK_DIR BASE_PREFIX STANDIN64
set -uo pipefail
dist=$1 work=$2 base=$3 standin64=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/checks.sh"
. "$here/../../scripts/wine.sh"

model='Q7 MiniPrinter(Cut Mode)'
printers='HKLM\System\CurrentControlSet\Control\Print\Printers'
ports_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports'

# msiexec ARGUMENT...: its exit code.
msiexec() {
    "$(wine_loader 64)" msiexec "$@" >/dev/null 2>&1
    echo $?
}

# What the package left: its files, the printer's port, the COM2 value and
# what Add/Remove Programs shows of it (in either registry view).
left() {
    (cd "$prefix/drive_c/$program_files" && find PortSetup -type f 2>/dev/null | LC_ALL=C sort)
    "$(wine_loader 64)" reg query "$printers\\$model" /v Port 2>/dev/null | tr -d '\r' | awk '/Port/ { print "port " $3 }'
    "$(wine_loader 64)" reg query "$ports_key" /v COM2: 2>/dev/null | tr -d '\r' | awk '/COM2:/ { print "COM2: " $3 }'
    for view in '' 'Wow6432Node\'; do
        "$(wine_loader 64)" reg query "HKLM\\Software\\${view}Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null |
            tr -d '\r' | awk '$1 ~ /^(DisplayName|Publisher|DisplayVersion)$/ { print $1 " " $3 }'
    done
}

for arch in x64 x86; do
    if [ "$arch" = x86 ] && ! wine_can_run 32; then
        echo "the x86 package is not tried: this machine cannot run 32-bit Windows programs"
        continue
    fi
    echo "package $arch"
    program_files=$([ "$arch" = x64 ] && echo "Program Files" || echo "Program Files (x86)")
    prefix=$work/msi-$arch
    make_test_prefix "$base" "$prefix" "$standin64" "$standin64" || exit 1
    start_wineserver "$prefix"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=rundll32.exe=n RUNDLL32_STANDIN_LOG="Z:${work//\//\\}\\launches"
    msi=$(echo "$dist"/PortSetup-*-"$arch".msi)
    cp "$msi" "$prefix/drive_c/PortSetup.msi"
    version=${msi##*/PortSetup-}
    before=$(left)

    code=$(msiexec /i 'C:\PortSetup.msi' PORT=COM9 /qn)
    [ "$code" != 0 ] || fail "$arch: a port the PC does not have was installed"
    [ "$(left)" = "$before" ] || fail "$arch: a failed installation left [$(left)]"

    code=$(msiexec /i 'C:\PortSetup.msi' PORT=COM2 SETTINGS=19200,n,8,1,p /qn)
    [ "$code" = 0 ] || fail "$arch: the installation ended with $code"
    files=$(printf '%s\n' PortSetup/PortSetup.exe PortSetup/ZUTW2KXPDrvs.INF PortSetup/amd64/q7.sys)
    registered=$(printf '%s\n' 'DisplayName PortSetup' "DisplayVersion ${version%-*}" 'Publisher PortSetup')
    expected=$(printf '%s\n' "$files" 'port COM2:' 'COM2: 19200,n,8,1,p' "$registered")
    [ "$(left)" = "$expected" ] || fail "$arch: after the installation [$(left)], not [$expected]"
    cmp -s "$prefix/drive_c/$program_files/PortSetup/PortSetup.exe" \
        "$dist/$([ "$arch" = x64 ] && echo win64 || echo win32)/PortSetup.exe" || fail "$arch: another program installed"
    # Wine's Temp folder is spelt temp.
    tail -n 1 "$prefix/drive_c/windows/temp/PortSetup.log" 2>/dev/null | grep -q 'exit code 0: done' ||
        fail "$arch: no log in the default place"

    # A removal that fails (the set-up leaves the driver) keeps the files, and the product, which the
    # next removal finds. Wine's msiexec drops its Add/Remove Programs entry all the same.
    code=$(RUNDLL32_STANDIN_FAILS=1 msiexec /x 'C:\PortSetup.msi' /qn)
    [ "$code" != 0 ] || fail "$arch: a failed removal went through"
    expected=$(printf '%s\n' "$files" 'COM2: 19200,n,8,1,p')
    [ "$(left | grep -v -E '^(DisplayName|DisplayVersion|Publisher) ')" = "$expected" ] ||
        fail "$arch: after a failed removal [$(left)], not [$expected]"

    code=$(msiexec /x 'C:\PortSetup.msi' /qn)
    [ "$code" = 0 ] || fail "$arch: the removal ended with $code"
    [ "$(left)" = 'COM2: 19200,n,8,1,p' ] || fail "$arch: after the removal [$(left)]"
    "$(wine_loader 64)" reg query 'HKLM\System\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3' |
        grep -q "$model" && fail "$arch: the driver is still there"
    stop_wineserver "$prefix"
    rm -rf "$prefix"
done
exit $((failures > 0))
