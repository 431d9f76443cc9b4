#!/usr/bin/env bash
# Makes releases as scripts/release.sh does, from copies of the working tree
# in two folders: the same bytes; a throw-away certificate signs them, the
# signature verifies; a wrong password or a
# missing certificate stops the release with dist/ unchanged.
# The installer packages: the same bytes from both folders, Windows
# Installer's rules on their tables (package_rules.sh), and what Wine's
# msiexec makes of them (package_test.sh).
# release_test.sh ROOT WORK_DIR BASE_PREFIX STANDIN64
set -uo pipefail
root=$1 work=$2 base=$3 standin64=$4
. "$root/tests/blackbox/checks.sh"
. "$root/scripts/wine.sh"

rm -rf "$work"
for copy in one "second place/two"; do
    mkdir -p "$work/$copy"
    git -C "$root" ls-files -z --cached --others --exclude-standard |
        (cd "$root" && tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$work/$copy"
done
"$work/one/scripts/release.sh" >"$work/one.log" 2>&1 || fail "the release failed: $(cat "$work/one.log")"
sleep 1
"$work/second place/two/scripts/release.sh" >"$work/two.log" 2>&1 || fail "the second release failed"
cmp "$work/one/dist/SHA256SUMS" "$work/second place/two/dist/SHA256SUMS" || fail "two releases differ"
grep -q 'unsigned' "$work/one.log" || fail "an unsigned release does not say so"

# A driver folder of the test's own, with a subfolder and a program.
mkdir -p "$work/drivers/amd64"
echo '[Version]' >"$work/drivers/ZUTW2KXPDrvs.INF"
cp "$work/one/dist/win64/PortSetup.exe" "$work/drivers/amd64/q7.sys"  # a driver binary with a version record
cp "$work/one/dist/win64/PortSetup.exe" "$work/drivers/portsetup.exe"  # as the README's manual use has it
for copy in one "second place/two"; do
    "$work/$copy/scripts/package.sh" "$work/drivers" >"$work/package.log" 2>&1 ||
        fail "the packages were not built: $(cat "$work/package.log")"
done
for msi in "$work/one/dist"/PortSetup-*.msi; do
    cmp "$msi" "$work/second place/two/dist/${msi##*/}" || fail "two packages ${msi##*/} differ"
    # Add/Remove Programs takes the icon from the program, kept in the package.
    program=$([[ $msi == *-x64.msi ]] && echo win64 || echo win32)/PortSetup.exe
    msiinfo export "$msi" Property | grep -P '^ARPPRODUCTICON\tPortSetup.exe\r?$' >/dev/null &&
        msiinfo extract "$msi" Icon.PortSetup.exe | cmp -s - "$work/one/dist/$program" ||
        fail "${msi##*/} shows no icon of the program's"
done
(cd "$work/one/dist" && sha256sum --quiet -c SHA256SUMS && [ "$(grep -c 'msi$' SHA256SUMS)" = 2 ]) ||
    fail "SHA256SUMS does not hold both packages"
"$root/tests/blackbox/package_rules.sh" "$work/one/dist"/PortSetup-*.msi || failures=$((failures + 1))
"$root/tests/blackbox/package_test.sh" "$work/second place/two" "$work/one/dist" "$work/drivers" "$work/package" "$base" \
    "$standin64" || failures=$((failures + 1))

# A code-signing certificate of the test's own.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=PortSetup test" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" -passout pass:right
dist="$work/second place/two/dist"
PORTSETUP_SIGN_PFX="$work/cert.pfx" PORTSETUP_SIGN_PASSWORD=right "$work/second place/two/scripts/package.sh" \
    "$work/drivers" >"$work/signed.log" 2>&1 || fail "the signed release failed: $(cat "$work/signed.log")"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "the checksums are not the signed files'"
for file in win32/PortSetup.exe win64/PortSetup.exe $(cd "$dist" && ls PortSetup-*.msi); do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$dist/$file" >/dev/null 2>&1 ||
        fail "the signature of $file does not verify"
done

# The signed program still starts: a refused command line ends it with 87.
make_test_prefix "$base" "$work/prefix" && start_wineserver "$work/prefix"
WINEPREFIX="$work/prefix" WINEDEBUG=-all "$(wine_loader 64)" "$dist/win64/PortSetup.exe" /frobnicate /quiet
code=$?
[ "$code" = 87 ] || fail "the signed program ended with $code, not 87"
stop_wineserver "$work/prefix"

before=$(cd "$dist" && sha256sum win32/PortSetup.exe win64/PortSetup.exe SHA256SUMS)
for setting in "PORTSETUP_SIGN_PASSWORD=wrong" "PORTSETUP_SIGN_PFX=$work/none.pfx"; do
    if env PORTSETUP_SIGN_PFX="$work/cert.pfx" PORTSETUP_SIGN_PASSWORD=right "$setting" \
        "$work/second place/two/scripts/release.sh" >"$work/refused.log" 2>&1; then
        fail "a release with $setting went through"
    fi
    grep -q 'dist/ is unchanged' "$work/refused.log" || fail "no clear message with $setting"
    [ "$(cd "$dist" && sha256sum win32/PortSetup.exe win64/PortSetup.exe SHA256SUMS)" = "$before" ] ||
        fail "dist/ changed with $setting"
done

[ "$failures" -eq 0 ] && echo "release checks passed"
exit $((failures > 0))
