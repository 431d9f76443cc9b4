#!/usr/bin/env bash
# The installer packages through their life, with Wine's own msiexec, as a
# deployment system would run them, in a prefix whose rundll32.exe is the
# stand-in. For each package (the x86 one where the machine runs 32-bit
# programs): a port the PC does not have fails the installation and leaves
# nothing; COM2 with settings installs the files, the printer and the value;
# the same package again, a repair after the printer was deleted, a major
# upgrade and a rebuild, all without properties, keep the printer on COM2
# and COM1's value as it was, with one product registered, and an upgrade
# installs its own program; a KEEPPRINTER=1 removal that rolls back forgets
# nothing; a printer installed without the package stays on its port with
# its settings; a step that fails after the printer's set-up rolls it back;
# a removal that fails keeps everything, KEEPPRINTER=1 then removes the
# product alone; the removal takes all of it away. The x86 package replaces
# the x64 one.
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

# Packages of a version of their own, whose programs differ from the
# installed ones (the file version stays 1.1.0.0), and a rebuild of that
# version with another driver file, from the same checkout.
mkdir -p "$work/newer" "$work/rebuilt" "$work/drivers2"
version_record=$root/src/resources/version.rc.in
cp "$version_record" "$work/version.rc.in"
sed -i 's|^\( *\)VALUE "CompanyName".*|&\n\1VALUE "Comments", "newer\\0"|' "$version_record"
PORTSETUP_PACKAGE_VERSION=1.1.1.0 "$root/scripts/package.sh" "$drivers" >"$work/newer.log" 2>&1 &&
    cp -R "$root"/dist/PortSetup-1.1.1.0-*.msi "$root/dist/win32" "$root/dist/win64" "$work/newer/" ||
    fail "no newer packages: $(tail -n 3 "$work/newer.log")"
cp -R "$drivers/." "$work/drivers2/" && echo 'readme' >"$work/drivers2/readme.txt"
PORTSETUP_PACKAGE_VERSION=1.1.1.0 "$root/scripts/package.sh" "$work/drivers2" >"$work/rebuilt.log" 2>&1 &&
    cp "$root"/dist/PortSetup-1.1.1.0-*.msi "$work/rebuilt/" || fail "no rebuilt packages"
cp "$work/version.rc.in" "$version_record"

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
            awk '$1 ~ /^(Comments|DisplayName|DisplayVersion|InstallLocation|Publisher)$/ {
                name = $1; sub(/^ *[^ ]+ +REG_SZ +/, ""); print name " " $0 }'
    done | LC_ALL=C sort
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
    # A test-only copy with a failing step after the printer's set-up, taken with FAILAFTER=1.
    cp "$prefix/drive_c/PortSetup.msi" "$prefix/drive_c/failing-PortSetup.msi"
    for query in "INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('FailingProgram', 'C:\\windows\\system32\\cmd.exe')" \
        "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('Fail', 3122, 'FailingProgram', '/c exit 1')" \
        "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('Fail', 'FAILAFTER', 4020)"; do
        msibuild "$prefix/drive_c/failing-PortSetup.msi" -q "$query" || fail "no failing package"
    done
    before=$(left)

    [ "$(msiexec /i 'C:\PortSetup.msi' PORT=COM9 /qn)" != 0 ] || fail "$arch: a port the PC does not have was installed"
    expect_left "$before" "after a failed installation"

    [ "$(msiexec /i 'C:\PortSetup.msi' PORT=COM2 SETTINGS=19200,n,8,1,p /qn)" = 0 ] || fail "$arch: the installation failed"
    files=$(printf '%s\n' PortSetup/PortSetup.exe PortSetup/ZUTW2KXPDrvs.INF PortSetup/amd64/q7.sys)
    port_values=$(printf '%s\n' 'COM1: 4800,e,7,2' 'COM2: 19200,n,8,1,p')
    remembered=$(printf '%s\n' 'remembered Port COM2:' 'remembered Settings 19200,n,8,1,p')
    values=$(printf '%s\n' 'port COM2:' "$port_values" "$remembered")
    registered=$(printf '%s\n' "Comments Sets up the printer $model on its port." 'DisplayName PortSetup' \
        'DisplayVersion 1.1.0.0' "InstallLocation C:\\$program_files\\PortSetup\\" 'Publisher PortSetup')
    expect_left "$(printf '%s\n' "$files" "$values" "$registered")" "after the installation"
    program_dir=$([ "$arch" = x64 ] && echo win64 || echo win32)
    installed_program="$prefix/drive_c/$program_files/PortSetup/PortSetup.exe"
    cmp -s "$installed_program" "$dist/$program_dir/PortSetup.exe" || fail "$arch: another program installed"
    log_end=$(tail -n 1 "$prefix/drive_c/windows/logs/PortSetup.log" 2>/dev/null)
    [[ $log_end == *'exit code 0: done'* ]] || fail "$arch: no log in the default place"

    # Without properties, each keeps the printer where it is; the repair
    # puts back a printer someone deleted. (Wine runs no rollback for a
    # repair that fails, so that the printer's removal that keeps what is
    # remembered cannot be shown here; the operator suite runs its
    # /keepremembered.)
    [ "$(msiexec /i 'C:\PortSetup.msi' /qn)" = 0 ] || fail "$arch: the same package again failed"
    expect_left "$(printf '%s\n' "$files" "$values" "$registered")" "after the same package again"
    reg delete "$print\\Printers\\$model" /f >/dev/null
    [ "$(msiexec /i 'C:\PortSetup.msi' REINSTALL=ALL REINSTALLMODE=omus /qn)" = 0 ] || fail "$arch: the repair failed"
    expect_left "$(printf '%s\n' "$files" "$values" "$registered")" "after the repair"

    # The upgrade's program is not the installed one, at the same file
    # version: Windows replaces it only because the old product is removed
    # before the new files are installed.
    cmp -s "$work/newer/$program_dir/PortSetup.exe" "$installed_program" && fail "$arch: the newer program is the same"
    [ "$(msiexec /i 'C:\newer.msi' /qn)" = 0 ] || fail "$arch: the upgrade failed"
    newer=$(printf '%s\n' "$files" "$values" "${registered/1.1.0.0/1.1.1.0}")
    expect_left "$newer" "after the upgrade"
    cmp -s "$work/newer/$program_dir/PortSetup.exe" "$installed_program" || fail "$arch: the upgrade kept the old program"
    [ "$(msiexec /x 'C:\newer.msi' /qn)" = 0 ] || fail "$arch: the removal failed"
    expect_left "$port_values" "after the removal"
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
    expect_left "$port_values" "after a rolled-back installation"

    # A printer installed without the package, on COM3 with its settings and
    # nothing remembered, stays there with them; COM1 keeps its own value.
    mkdir -p "$prefix/drive_c/standalone"
    cp "$dist/win64/PortSetup.exe" "$drivers/ZUTW2KXPDrvs.INF" "$prefix/drive_c/standalone/"
    "$(wine_loader 64)" 'C:\standalone\PortSetup.exe' /install /port COM3 /settings 38400,n,8,1 /quiet >/dev/null 2>&1 ||
        fail "$arch: no printer installed without the package"
    reg delete 'HKLM\Software\PortSetup' /f >/dev/null
    [ "$(msiexec /i 'C:\PortSetup.msi' /qn)" = 0 ] || fail "$arch: the installation over COM3 failed"
    expect_left "$(printf '%s\n' "$files" 'port COM3:' "$port_values" 'remembered Port COM3:' "$registered")" \
        "over a printer on COM3"
    com3=$(reg query "$ports_key" /v COM3: | awk '$1 == "COM3:" { print $3 }')
    [ "$com3" = 38400,n,8,1 ] || fail "$arch: COM3's value is [$com3]"
    [ "$(msiexec /x 'C:\PortSetup.msi' /qn)" = 0 ] || fail "$arch: the removal from COM3 failed"

    # A removal that fails (another printer keeps the driver) keeps the
    # product; a KEEPPRINTER=1 removal that fails after the printer was kept
    # keeps what is remembered (and, on Windows, the product: Wine's rollback
    # does not register it again). KEEPPRINTER=1 then removes the product and
    # leaves the printers.
    [ "$(msiexec /i 'C:\PortSetup.msi' PORT=COM2 SETTINGS=19200,n,8,1,p /qn)" = 0 ] || fail "$arch: the installation failed"
    "$(wine_loader 64)" 'C:\windows\system32\rundll32.exe' printui.dll,PrintUIEntry /if /b 'Till printer' /r COM3: /m "$model" >/dev/null 2>&1
    [ "$(msiexec /x 'C:\PortSetup.msi' /qn)" != 0 ] || fail "$arch: a failed removal went through"
    [ "$(msiexec /x 'C:\failing-PortSetup.msi' KEEPPRINTER=1 FAILAFTER=1 /qn)" != 0 ] ||
        fail "$arch: the failing KEEPPRINTER=1 removal went through"
    left_after=$(left)
    [[ $'\n'$left_after$'\n' == *$'\n'$values$'\n'* ]] ||
        fail "$arch: after a failed KEEPPRINTER=1 removal: [$left_after]"
    [ "$(msiexec /x 'C:\PortSetup.msi' KEEPPRINTER=1 /qn)" = 0 ] || fail "$arch: KEEPPRINTER=1 did not remove the product"
    expect_left "$(printf '%s\n' 'port COM2:' "$port_values")" "after KEEPPRINTER=1"
    kept_log=$(cat "$prefix/drive_c/windows/logs/PortSetup.log")
    [[ $kept_log == *'printer, driver and settings kept (/keepprinter) - done'* ]] ||
        fail "$arch: the kept printer is not logged"
    if [ "$arch" = x86 ]; then
        # The x86 package over the x64 one: one product of the family, the printer where the x64 one put it.
        cp "$dist"/PortSetup-*-x64.msi "$prefix/drive_c/x64.msi"
        codes=$(msiexec /i 'C:\x64.msi' PORT=COM3 /qn)$(msiexec /i 'C:\PortSetup.msi' /qn)
        left_after=$(left)
        [ "$codes" = 00 ] && [ "$(grep -c '^DisplayName' <<<"$left_after")" = 1 ] &&
            [[ $'\n'$left_after$'\n' == *$'\n'"port COM3:"$'\n'* ]] || fail "x86: over x64: [$codes] [$left_after]"
    fi
    stop_wineserver "$prefix"
    rm -rf "$prefix"
done
exit $((failures > 0))
