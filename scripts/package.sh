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
# (the programs' otherwise, as the build gives it).
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

# A driver file's version and language as Windows Installer's File table takes them
# ("1.1.0.0 1042"), from its version record: in the fixed part, after the
# signature FEEF04BD and the record's own version, the file version as four
# 16-bit numbers, minor, major, tweak, patch; the language is the first of
# its Translation value. Nothing for a file without a version record.
file_version() {
    local resource offset words language
    resource=$(mktemp)
    if wrestool -x --raw -t 16 "$1" >"$resource" 2>/dev/null && [ -s "$resource" ]; then
        offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$resource" | awk -F: 'NR == 1 { print $1 }')
        read -ra words < <(od -An -tu2 -j $((offset + 8)) -N 8 "$resource")
        # The Translation value follows its key ("Translation", NUL) on a 32-bit boundary.
        offset=$(LC_ALL=C grep -obUaP 'T\x00r\x00a\x00n\x00s\x00l\x00a\x00t\x00i\x00o\x00n\x00\x00\x00' "$resource" |
            awk -F: 'NR == 1 { print $1 }')
        language=0
        [ -z "$offset" ] || language=$(od -An -tu2 -j $(((offset + 24 + 3) / 4 * 4)) -N 2 "$resource" | tr -d ' ')
        echo "${words[1]}.${words[0]}.${words[3]}.${words[2]} $language"
    fi
    rm -f "$resource"
}

# Windows Installer's custom action types, by their bits (learn.microsoft.com:
# "Summary List of All Custom Action Types", "Custom Action In-Script
# Execution Options", "Custom Action Return Processing Options"), and the
# Upgrade table's attributes ("Upgrade Table").
readonly exe_in_binary=2 exe_in_installed_file=18 property_from_text=51
readonly continue_on_failure=64 rollback=256 commit=512 in_script=1024 no_impersonate=2048
readonly migrate_features=1 version_max_inclusive=512

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
    # The program's version, language and names as its build wrote them into its version record.
    # shellcheck source=/dev/null
    . "$build_root/release/$program_dir/generated/version.env"
    version=${PORTSETUP_PACKAGE_VERSION:-$PORTSETUP_VERSION}
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
    # The package code and the product code come from the contents: any rebuild (other driver files, the
    # same version) is a package and a product of its own, which replaces the one installed.
    contents="$(sha256sum "$root/src/resources/PortSetup.wxs" | cut -c1-64) $version $(cd "$work" &&
        find . -type f ! -name '*.msi' ! -name '*.log' -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)"
    # wixl takes the files' paths relative to its current folder only.
    (cd "$work" && "${fixed_clock[@]}" wixl -a "$arch" -o "$msi" "${defines[@]}" -D Program=PortSetup.exe -D DriverFolder=drivers \
        -D ProductName="$PORTSETUP_PRODUCT_NAME" -D Manufacturer="$PORTSETUP_COMPANY_NAME" -D Version="$version" \
        -D DisplayVersion="$PORTSETUP_VERSION_TEXT" \
        -D ProductCode="$(guid_of "product $contents")" \
        "$root/src/resources/PortSetup.wxs" drivers.wxs 2>"$work/wixl.log") ||
        { cat "$work/wixl.log" >&2; exit 1; }
    # What wixl cannot say. Property actions without the no-impersonation bit it adds (ICE68); rollback
    # actions in the script; the actions that run the program the package carries (Binary table), which
    # it drops; the same version replacing the one installed (WiX's AllowSameVersionUpgrades); the old
    # product removed first, inside the script, so that Windows puts it back if the new one fails.
    binary_action="INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES"
    undo_type=$((continue_on_failure | rollback | in_script | no_impersonate))
    patches=("UPDATE \`CustomAction\` SET \`Type\` = $property_from_text WHERE \`Type\` = $((property_from_text | no_impersonate))"
        "UPDATE \`CustomAction\` SET \`Type\` = $((exe_in_installed_file | undo_type)) WHERE \`Action\` = 'UndoRemovePrinter' \
            OR \`Action\` = 'UndoRemovePrinterWithSettings'"
        "$binary_action ('UndoInstallPrinter', $((exe_in_binary | undo_type)), 'PortSetupProgram', \
            '/remove /quiet /log \"[LOGFILE]\"')"
        "$binary_action ('UndoRepairPrinter', $((exe_in_binary | undo_type)), 'PortSetupProgram', \
            '/remove /keepremembered /quiet /log \"[LOGFILE]\"')"
        "$binary_action ('KeepPrinter', $((exe_in_binary | continue_on_failure | commit | in_script | no_impersonate)), \
            'PortSetupProgram', '/remove /keepprinter /quiet /log \"[LOGFILE]\"')"
        "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
        "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES \
            ('$(msiinfo export "$msi" Upgrade | tr -d '\r' | awk -F'\t' 'NR == 4 { print $1 }')', '$version', \
            $((migrate_features | version_max_inclusive)), 'WIX_UPGRADE_DETECTED')"
        "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 1501 WHERE \`Action\` = 'RemoveExistingProducts'")
    # Each file's version and language, as Windows' own tools record them: the file-versioning rules
    # compare them with an installed file's. The program's from its build, the driver files' from their
    # version records.
    patches+=("UPDATE \`File\` SET \`Version\` = '$PORTSETUP_VERSION', \`Language\` = '$PORTSETUP_LANGUAGE' \
        WHERE \`File\` = 'PortSetupExe'")
    while IFS=$'\t' read -r file path; do
        read -r file_version_number file_language < <(file_version "$work/$path") || continue
        patches+=("UPDATE \`File\` SET \`Version\` = '$file_version_number', \`Language\` = '$file_language' \
            WHERE \`File\` = '$file'")
    done < <(sed -n 's|.*File Id="\([^"]*\)".*Source="$(var.DriverFolder)/\([^"]*\)".*|\1\tdrivers/\2|p' "$work/drivers.wxs")
    for patch in "${patches[@]}"; do
        "${fixed_clock[@]}" msibuild "$msi" -q "$patch"
    done
    "${fixed_clock[@]}" msibuild "$msi" -s "$PORTSETUP_PRODUCT_NAME" "$PORTSETUP_COMPANY_NAME" "$template" "$(guid_of "package $contents")"
    if [ -n "${PORTSETUP_SIGN_PFX:-}" ]; then
        sign_file "$msi" "$PORTSETUP_PRODUCT_NAME" "$work/sign.log" || { cat "$work/sign.log" >&2; exit 1; }
    fi
    packages+=("$msi")
done

rm -f "$root"/dist/PortSetup-*.msi
cp "${packages[@]}" "$root/dist/"
(cd "$root/dist" && sha256sum win32/PortSetup.exe win64/PortSetup.exe PortSetup-*.msi >SHA256SUMS)
echo "package: dist/${packages[0]##*/}, dist/${packages[1]##*/}"
cat "$root/dist/SHA256SUMS"
