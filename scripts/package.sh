#!/usr/bin/env bash
# Builds the installer packages for Group Policy, Intune and Configuration
# Manager: dist/PortSetup-VERSION-x64.msi from the 64-bit program and
# dist/PortSetup-VERSION-x86.msi from the 32-bit one, each with every file of
# DRIVER_FOLDER beside the program, and adds their checksums to
# dist/SHA256SUMS.
#
# package.sh DRIVER_FOLDER
#
# The programs come from scripts/release.sh, run first; with
# PORTSETUP_SIGN_PFX and PORTSETUP_SIGN_PASSWORD the packages are signed as
# the programs are. The same commit and driver files give the same bytes.
# PORTSETUP_PACKAGE_VERSION gives the packages a version of their own
# (the programs' otherwise).
set -euo pipefail
. "$(dirname "$0")/common.sh"

if [ $# -ne 1 ] || [ ! -f "$1/ZUTW2KXPDrvs.INF" ]; then
    echo "usage: package.sh DRIVER_FOLDER (the folder with ZUTW2KXPDrvs.INF and the files it names)" >&2
    exit 2
fi
drivers=$(cd "$1" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/release.sh" >/dev/null

SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1)
# wixl and msibuild write the clock's time into the package: the commit's instead.
fixed_clock=(env TZ=UTC LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
    FAKETIME="@$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')")

# A text of the program's version record: version_text PROGRAM NAME.
version_text() {
    strings -el "$1" | sed -n "/^$2\$/{n;p;q}"
}

# The program's version number (1.1.0.0), from the fixed part of its version
# record: after the signature FEEF04BD and the record's own version, the
# file version as four 16-bit numbers, minor, major, tweak, patch.
version_number() {
    local offset words
    offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | head -n 1 | cut -d: -f1)
    read -ra words < <(od -An -tu2 -j $((offset + 8)) -N 8 "$1")
    echo "${words[1]}.${words[0]}.${words[3]}.${words[2]}"
}

# A GUID made from a text: the same text, the same GUID.
guid_of() {
    local hash
    hash=$(printf '%s' "$1" | sha1sum | tr 'a-f' 'A-F')
    echo "{${hash:0:8}-${hash:8:4}-5${hash:13:3}-8${hash:17:3}-${hash:20:12}}"
}

staging="$build_root/package"
rm -rf "$staging"
mkdir -p "$staging"
packages=()
for arch in x64 x86; do
    program_dir=$([ "$arch" = x64 ] && echo win64 || echo win32)
    work="$staging/$arch"
    mkdir -p "$work"
    cp "$root/dist/$program_dir/PortSetup.exe" "$work/PortSetup.exe"
    cp -R "$drivers" "$work/drivers"
    # A program left beside the driver files would take the package's own place.
    find "$work/drivers" -maxdepth 1 -iname PortSetup.exe -delete
    find "$work" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +  # the cabinet keeps the files' times
    program="$work/PortSetup.exe"
    version=${PORTSETUP_PACKAGE_VERSION:-$(version_number "$program")}
    name=$(version_text "$program" ProductName)
    manufacturer=$(version_text "$program" CompanyName)
    # wixl-heat names folders at random: by their order instead.
    (cd "$work" && find drivers -type f | LC_ALL=C sort | wixl-heat --prefix drivers/ --var var.DriverFolder \
        --component-group DriverFiles --directory-ref INSTALLFOLDER --win64 |
        awk '{ if (sub(/Directory Id="dir[0-9A-F]+"/, "Directory Id=\"DriverFolder" n + 1 "\"")) n++; print }' >drivers.wxs)
    msi="$work/PortSetup-$version-$arch.msi"
    if [ "$arch" = x64 ]; then
        defines=(-D Win64=yes -D ProgramFilesFolder=ProgramFiles64Folder) template="x64;1033"
    else
        defines=(-D Win64=no -D ProgramFilesFolder=ProgramFilesFolder) template="Intel;1033"
    fi
    # wixl takes the files' paths relative to its current folder only.
    # The package code and the product code come from the contents: any rebuild (other driver files, the
    # same version) is a package and a product of its own, which replaces the one installed.
    contents="$(sha256sum "$root/src/resources/PortSetup.wxs" | cut -c1-64) $version $(cd "$work" &&
        find . -type f ! -name '*.msi' ! -name '*.log' -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)"
    # wixl takes the files' paths relative to its current folder only.
    (cd "$work" && "${fixed_clock[@]}" wixl -a "$arch" -o "$msi" "${defines[@]}" -D Program=PortSetup.exe -D DriverFolder=drivers \
        -D ProductName="$name" -D Manufacturer="$manufacturer" -D Version="$version" \
        -D DisplayVersion="$(version_text "$program" ProductVersion)" \
        -D ProductCode="$(guid_of "product $contents")" \
        "$root/src/resources/PortSetup.wxs" drivers.wxs 2>"$work/wixl.log") ||
        { cat "$work/wixl.log" >&2; exit 1; }
    # What wixl cannot say: property actions without the no-impersonation bit (ICE68); rollback actions
    # in the script, one of them running the program the package carries (Binary table); the same version replacing the one installed (WiX's AllowSameVersionUpgrades:
    # VersionMaxInclusive); the old product removed only once the new one is installed (between
    # InstallExecute and InstallFinalize, so that a failed upgrade leaves the old one).
    patches=("UPDATE \`CustomAction\` SET \`Type\` = 51 WHERE \`Type\` = 2099"
        "UPDATE \`CustomAction\` SET \`Type\` = 3410 WHERE \`Type\` = 2130"
        "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('UndoInstallPrinter', 3394, \
            'PortSetupProgram', '/remove /quiet /log \"[LOGFILE]\"')"
        "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
        "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES \
            ('$(msiinfo export "$msi" Upgrade | tr -d '\r' | awk -F'\t' 'NR > 3 { print $1; exit }')', '$version', 513, \
            'WIX_UPGRADE_DETECTED')"
        "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('InstallExecute', 6500)"
        "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 6550 WHERE \`Action\` = 'RemoveExistingProducts'")
    for patch in "${patches[@]}"; do
        "${fixed_clock[@]}" msibuild "$msi" -q "$patch"
    done
    "${fixed_clock[@]}" msibuild "$msi" -s "$name" "$manufacturer" "$template" "$(guid_of "package $contents")"
    if [ -n "${PORTSETUP_SIGN_PFX:-}" ]; then
        sign_file "$msi" "$name" "$work/sign.log" || { cat "$work/sign.log" >&2; exit 1; }
    fi
    packages+=("$msi")
done

rm -f "$root"/dist/PortSetup-*.msi
cp "${packages[@]}" "$root/dist/"
(cd "$root/dist" && sha256sum win32/PortSetup.exe win64/PortSetup.exe PortSetup-*.msi >SHA256SUMS)
echo "package: dist/${packages[0]##*/}, dist/${packages[1]##*/}"
cat "$root/dist/SHA256SUMS"
