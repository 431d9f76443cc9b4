#!/usr/bin/env bash
# Makes releases as scripts/release.sh does, from copies of the working tree
# in two folders: the same bytes; a throw-away certificate signs them, the
# signature verifies; a wrong password or a
# missing certificate stops the release with dist/ unchanged.
# release_test.sh ROOT WORK_DIR BASE_PREFIX
set -uo pipefail
root=$1 work=$2 base=$3
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

# A code-signing certificate of the test's own.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=PortSetup test" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" -passout pass:right
dist="$work/second place/two/dist"
PORTSETUP_SIGN_PFX="$work/cert.pfx" PORTSETUP_SIGN_PASSWORD=right "$work/second place/two/scripts/release.sh" \
    >"$work/signed.log" 2>&1 || fail "the signed release failed: $(cat "$work/signed.log")"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "the checksums are not the signed files'"
for arch in win32 win64; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$dist/$arch/PortSetup.exe" >/dev/null 2>&1 ||
        fail "the $arch program's signature does not verify"
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
