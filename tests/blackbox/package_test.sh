#!/usr/bin/env bash
# The installer packages through their life, with Wine's own msiexec, as a
# deployment system would run them, in a prefix whose rundll32.exe is the
# stand-in. For each package (the x86 one where the machine runs 32-bit
# programs): a port the PC does not have fails the installation and leaves
# nothing; COM2 with settings installs the files, the printer and the value;
# the same package again, a repair after the printer was deleted, a major
# upgrade and a rebuild, all without properties, keep the printer on COM2
# and COM1's value as it was, with one product registered; a step that fails
# after the printer's set-up rolls it back; a removal that fails keeps
# everything, KEEPPRINTER=1 then removes the product alone; the removal
# takes all of it away. The x86 package replaces the x64 one.
# package_test.sh ROOT DIST DRIVERS WORK_DIR BASE_PREFIX STANDIN64
# ROOT is a copy of the project whose scripts build the newer and the
# rebuilt packages from the driver folder DRIVERS.
set -uo pipefail
root=$1 dist=$2 drivers=$3 work=$4 base=$5 standin64=$6
here=$(cd "$(dirname "$0")" && pwd)
. "$here/checks.sh"
. "$here/../../scripts/wine.sh"

model='Q7 MiniPrinter(Cut Mode)'
print='HKLM\System\CurrentControlSet\Control\Print'
ports_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports'

# Packages of a version of their own, and a rebuild of that version with
# another driver file, from the same checkout.
mkdir -p "$work/newer" "$work/rebuilt" "$work/drivers2"
PORTSETUP_PACKAGE_VERSION=1.1.1.0 "$root/scripts/package.sh" "$drivers" >"$work/newer.log" 2>&1 &&
    cp "$root"/dist/PortSetup-1.1.1.0-*.msi "$work/newer/" || fail "no newer packages: $(tail -n 3 "$work/newer.log")"
cp -R "$drivers/." "$work/drivers2/" && echo 'readme' >"$work/drivers2/readme.txt"
PORTSETUP_PACKAGE_VERSION=1.1.1.0 "$root/scripts/package.sh" "$work/drivers2" >"$work/rebuilt.log" 2>&1 &&
    cp "$root"/dist/PortSetup-1.1.1.0-*.msi "$work/rebuilt/" || fail "no rebuilt packages"

msiexec() {
    "$(wine_loader 64)" msiexec "$@" >/dev/null 2>&1
    echo $?
}
reg() {
    "$(wine_loader 64)" reg "$@" 2>/dev/null | tr -d '\r'
}

# What the packages left: files, the printer's port, COM1's and COM2's
# values, what the program remembers, and what Add/Remove Programs shows.
left() {
    (cd "$prefix/drive_c/$program_files" && find PortSetup -type f 2>/dev/null | LC_ALL=C sort)
    reg query "$print\\Printers\\$model" /v Port | awk '/Port/ { print "port " $3 }'
    reg query "$ports_key" | awk '/COM[12]:/ { print $1 " " $3 }'
    reg query 'HKLM\Software\PortSetup' | awk '/REG_SZ/ { print "remembered " $1 " " $3 }'
    for view in '' 'Wow6432Node\'; do
        reg query "HKLM\\Software\\${view}Microsoft\\Windows\\CurrentVersion\\Uninstall" /s |
            awk '$1 ~ /^(DisplayName|Publisher|DisplayVersion)$/ { print $1 " " $3 }'
    done
}
expect_left() {
    [ "$(left)" = "$1" ] || fail "$arch: $2: [$(left)], not [$1]"
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
    mkdir -p "$prefix/drive_c/windows/logs"  # as Windows has it
    cp "$(dirname "$standin64")/msiexec.exe" "$prefix/drive_c/windows/system32/msiexec.exe"
    start_wineserver "$prefix"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES='rundll32.exe,msiexec.exe=n'
    export RUNDLL32_STANDIN_LOG="Z:${work//\//\\}\\launches"
    reg add "$ports_key" /v COM1: /d 4800,e,7,2 /f >/dev/null
    cp "$dist"/PortSetup-*-"$arch".msi "$prefix/drive_c/PortSetup.msi"
    cp "$work"/newer/*-"$arch".msi "$prefix/drive_c/newer.msi"
    cp "$work"/rebuilt/*-"$arch".msi "$prefix/drive_c/rebuilt.msi"
    # Test-only copies with a failing step after the printer's set-up, taken with FAILAFTER=1.
    for package in PortSetup newer; do
        cp "$prefix/drive_c/$package.msi" "$prefix/drive_c/failing-$package.msi"
        for query in "INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('FailingProgram', 'C:\\windows\\system32\\cmd.exe')" \
            "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('Fail', 3122, 'FailingProgram', '/c exit 1')" \
            "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('Fail', 'FAILAFTER', 4020)"; do
            msibuild "$prefix/drive_c/failing-$package.msi" -q "$query" || fail "no failing package"
        done
    done
    ! msiinfo export "$prefix/drive_c/PortSetup.msi" CustomAction | tr -d '\r' | awk -F'\t' '$2 == 2099' | grep -q . ||
        fail "$arch: a property action carries the no-impersonation bit (ICE68)"
    [ "$(msiinfo export "$prefix/drive_c/PortSetup.msi" Property | tr -d '\r' | awk '$1 == "SecureCustomProperties" { print $2 }')" = \
        'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' ] || fail "$arch: a user may set PORT, SETTINGS or LOGFILE"
    before=$(left)

    [ "$(msiexec /i 'C:\PortSetup.msi' PORT=COM9 /qn)" != 0 ] || fail "$arch: a port the PC does not have was installed"
    expect_left "$before" "after a failed installation"

    [ "$(msiexec /i 'C:\PortSetup.msi' PORT=COM2 SETTINGS=19200,n,8,1,p /qn)" = 0 ] || fail "$arch: the installation failed"
    files=$(printf '%s\n' PortSetup/PortSetup.exe PortSetup/ZUTW2KXPDrvs.INF PortSetup/amd64/q7.sys)
    values=$(printf '%s\n' 'port COM2:' 'COM1: 4800,e,7,2' 'COM2: 19200,n,8,1,p' 'remembered Port COM2:' \
        'remembered Settings 19200,n,8,1,p')
    registered=$(printf '%s\n' 'DisplayName PortSetup' "DisplayVersion 1.1.0.0" 'Publisher PortSetup')
    expect_left "$(printf '%s\n' "$files" "$values" "$registered")" "after the installation"
    cmp -s "$prefix/drive_c/$program_files/PortSetup/PortSetup.exe" \
        "$dist/$([ "$arch" = x64 ] && echo win64 || echo win32)/PortSetup.exe" || fail "$arch: another program installed"
    tail -n 1 "$prefix/drive_c/windows/logs/PortSetup.log" 2>/dev/null | grep -q 'exit code 0: done' ||
        fail "$arch: no log in the default place"

    # Without properties, each keeps the printer where it is; the repair
    # puts back a printer someone deleted.
    [ "$(msiexec /i 'C:\PortSetup.msi' /qn)" = 0 ] || fail "$arch: the same package again failed"
    expect_left "$(printf '%s\n' "$files" "$values" "$registered")" "after the same package again"
    # An upgrade that fails leaves the old version and its printer. (Its
    # files too on Windows, which restores the files it replaced on
    # rollback; Wine deletes them, and the repair below puts them back.)
    [ "$(msiexec /i 'C:\failing-newer.msi' FAILAFTER=1 /qn)" != 0 ] || fail "$arch: the failing upgrade went through"
    expect_left "$(printf '%s\n' "$values" "$registered")" "after a failed upgrade"
    reg delete "$print\\Printers\\$model" /f >/dev/null
    [ "$(msiexec /i 'C:\PortSetup.msi' REINSTALL=ALL REINSTALLMODE=omus /qn)" = 0 ] || fail "$arch: the repair failed"
    expect_left "$(printf '%s\n' "$files" "$values" "$registered")" "after the repair"
    [ "$(msiexec /i 'C:\newer.msi' /qn)" = 0 ] || fail "$arch: the upgrade failed"
    newer=$(printf '%s\n' "$files" "$values" "${registered/1.1.0.0/1.1.1.0}")
    expect_left "$newer" "after the upgrade"
    [ "$(msiexec /x 'C:\newer.msi' /qn)" = 0 ] || fail "$arch: the removal failed"
    expect_left "$(printf '%s\n' 'COM1: 4800,e,7,2' 'COM2: 19200,n,8,1,p')" "after the removal"
    # Wine's removal of a replaced product takes the family's registration
    # with it (Windows removes only the product's own entry), so that Wine
    # finds no product to replace after one replacement: the rebuild starts
    # from the newer package installed anew.
    [ "$(msiexec /i 'C:\newer.msi' PORT=COM2 SETTINGS=19200,n,8,1,p /qn)" = 0 ] || fail "$arch: no newer package installed"
    [ "$(msiexec /i 'C:\rebuilt.msi' /qn)" = 0 ] || fail "$arch: the rebuilt package was not installed"
    expect_left "$(printf '%s\n' "$files" PortSetup/readme.txt | LC_ALL=C sort; echo "$values"; echo "${registered/1.1.0.0/1.1.1.0}")" \
        "after the rebuilt package"
    [ "$(msiexec /x 'C:\rebuilt.msi' /qn)" = 0 ] || fail "$arch: the removal failed"

    # A step that fails after the printer's set-up takes the printer away
    # again. (A removal rolled back after the printer's removal would put it
    # back; Wine runs a rollback script forwards, not backwards as Windows
    # does, so that the files are still gone then and it cannot show that.)
    [ "$(msiexec /i 'C:\failing-PortSetup.msi' PORT=COM2 SETTINGS=19200,n,8,1,p FAILAFTER=1 /qn)" != 0 ] ||
        fail "$arch: the failing installation went through"
    expect_left "$(printf '%s\n' 'COM1: 4800,e,7,2' 'COM2: 19200,n,8,1,p')" "after a rolled-back installation"
    [ "$(msiexec /i 'C:\PortSetup.msi' PORT=COM2 SETTINGS=19200,n,8,1,p /qn)" = 0 ] || fail "$arch: the installation failed"

    # A removal that fails (another printer keeps the driver) keeps the
    # product; KEEPPRINTER=1 removes it and leaves the printers.
    "$(wine_loader 64)" 'C:\windows\system32\rundll32.exe' printui.dll,PrintUIEntry /if /b 'Till printer' /r COM3: /m "$model" >/dev/null 2>&1
    [ "$(msiexec /x 'C:\PortSetup.msi' /qn)" != 0 ] || fail "$arch: a failed removal went through"
    [ "$(msiexec /x 'C:\PortSetup.msi' KEEPPRINTER=1 /qn)" = 0 ] || fail "$arch: KEEPPRINTER=1 did not remove the product"
    expect_left "$(printf '%s\n' 'port COM2:' 'COM1: 4800,e,7,2' 'COM2: 19200,n,8,1,p')" "after KEEPPRINTER=1"
    grep -q 'printer, driver and settings kept (/keepprinter) - done' "$prefix/drive_c/windows/logs/PortSetup.log" ||
        fail "$arch: the kept printer is not logged"
    if [ "$arch" = x86 ]; then
        # The x86 package over the x64 one: one product of the family, the printer where the x64 one put it.
        cp "$dist"/PortSetup-*-x64.msi "$prefix/drive_c/x64.msi"
        [ "$(msiexec /i 'C:\x64.msi' PORT=COM3 /qn)$(msiexec /i 'C:\PortSetup.msi' /qn)" = 00 ] &&
            [ "$(left | grep -c '^DisplayName')" = 1 ] && left | grep -qx 'port COM3:' || fail "x86: over x64: [$(left)]"
    fi
    stop_wineserver "$prefix"
    rm -rf "$prefix"
done
exit $((failures > 0))
