#!/usr/bin/env bash
# Reads the built program's file: what it imports, its security flags and
# its resources (version record, icon, manifest).
# pe_check.sh ARCH PROGRAM WORK_DIR
set -uo pipefail
. "$(dirname "$0")/checks.sh"
arch=$1 program=$2 work=$3
mkdir -p "$work"
objdump=x86_64-w64-mingw32-objdump
headers=$("$objdump" -p "$program") || { echo "FAIL: cannot read $program"; exit 1; }

# Imports: Windows' own DLLs only.
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|msvcrt)\.dll$'
imports=$(echo "$headers" | awk '/DLL Name:/ { print tolower($3) }')
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    [[ $dll =~ $allowed ]] || fail "imports $dll"
done

# ASLR (0x40) and DEP (0x100); high-entropy ASLR (0x20) for 64-bit.
flags=$((16#$(echo "$headers" | awk '/DllCharacteristics/ { print $2 }')))
wanted_flags=$((0x140 | (arch == 64 ? 0x20 : 0)))
(( (flags & wanted_flags) == wanted_flags )) || fail "DllCharacteristics $flags lacks some of $wanted_flags"
grep -q -E '^Subsystem\s+0+2\s' <<< "$headers" || fail "not a GUI program"

# The version record: 1.1.0.0, texts "1.01", Korean, code page 1200.
wrestool -x -R --type=16 "$program" > "$work/version.bin" 2>/dev/null || fail "no version record"
version_hex=$(od -An -tx1 -v "$work/version.bin" | tr -d ' \n')
[[ $version_hex == *bd04effe000001000100010000000000010001000000000* ]] || fail "numeric version is not 1.1.0.0"
[[ $version_hex == *1204b004* ]] || fail "no translation 0x0412 / 1200"
# As one line, with the binary lengths and padding between the texts as '|'.
version_text=$(iconv -f UTF-16LE -t UTF-8 "$work/version.bin" 2>/dev/null | tr -c '[:alnum:]. -' '|')
grep -q '|041204B0|' <<< "$version_text" || fail "no string table 041204B0"
[ "$(grep -o -E '\|(File|Product)Version\|+1\.01\|' <<< "$version_text" | wc -l)" = 2 ] || fail "version texts are not 1.01"

# The icon: 32, 24 and 16 pixels, each at 8 and 32 bits per pixel.
wrestool -x --type=14 "$program" > "$work/icon.ico" 2>/dev/null || fail "no icon"
images=$(icotool -l "$work/icon.ico" 2>/dev/null | sed -E 's/.*--width=([0-9]+) --height=([0-9]+) --bit-depth=([0-9]+).*/\1x\2x\3/' | sort | tr '\n' ' ')
[ "$images" = "16x16x32 16x16x8 24x24x32 24x24x8 32x32x32 32x32x8 " ] || fail "icon images: $images"

# The manifest.
wrestool -x -R --type=24 "$program" > "$work/manifest.xml" 2>/dev/null || fail "no manifest"
for needle in 'level="requireAdministrator"' 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    '<dpiAware' 'PerMonitorV2' '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
    grep -q -F "$needle" <<< "$(tr -s ' \n' ' ' < "$work/manifest.xml")" || fail "manifest lacks $needle"
done

[ "$failures" -eq 0 ] && echo "file checks passed"
exit $((failures > 0))
