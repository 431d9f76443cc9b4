#!/usr/bin/env bash
# Builds both programs in release form and writes dist/win32/PortSetup.exe,
# dist/win64/PortSetup.exe and dist/SHA256SUMS. The same commit gives the
# same bytes, in any folder and at any time.
#
# With PORTSETUP_SIGN_PFX (a PKCS#12 file) and PORTSETUP_SIGN_PASSWORD set,
# both programs are Authenticode-signed with SHA-256 first, and time-stamped
# by the RFC 3161 server PORTSETUP_SIGN_TIMESTAMP_URL when that is set; the
# checksums are then those of the signed files. dist/ changes only once
# everything has worked.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$root/scripts/install-deps.sh"

# A time, where a tool wants one, from the commit rather than the clock.
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1)
export SOURCE_DATE_EPOCH
staging="$build_root/release/staging"
rm -rf "$staging"
for arch in win32 win64; do
    tree="$build_root/release/$arch"
    configure_tree "release/$arch" -DCMAKE_BUILD_TYPE=Release -DPORTSETUP_TESTS=OFF -DPORTSETUP_RELEASE=ON
    cmake --build "$tree" --target PortSetup >/dev/null
    mkdir -p "$staging/$arch"
    cp "$tree/PortSetup.exe" "$staging/$arch/PortSetup.exe"
done

signed="unsigned (set PORTSETUP_SIGN_PFX and PORTSETUP_SIGN_PASSWORD to sign it)"
if [ -n "${PORTSETUP_SIGN_PFX:-}${PORTSETUP_SIGN_PASSWORD:-}" ]; then
    if [ ! -f "${PORTSETUP_SIGN_PFX:-}" ]; then
        echo "release: no certificate file at '${PORTSETUP_SIGN_PFX:-}' (PORTSETUP_SIGN_PFX); dist/ is unchanged" >&2
        exit 1
    fi
    for arch in win32 win64; do
        if ! sign_file "$staging/$arch/PortSetup.exe" PortSetup "$staging/sign.log"; then
            echo "release: signing failed (a wrong password, or not a code-signing certificate?); dist/ is unchanged:" >&2
            cat "$staging/sign.log" >&2
            exit 1
        fi
    done
    signed="signed with $(basename "$PORTSETUP_SIGN_PFX")"
fi

(cd "$staging" && sha256sum win32/PortSetup.exe win64/PortSetup.exe >SHA256SUMS)
mkdir -p "$root/dist/win32" "$root/dist/win64"
rm -f "$root"/dist/PortSetup-*.msi  # packages of the programs replaced here
for file in win32/PortSetup.exe win64/PortSetup.exe SHA256SUMS; do
    cp "$staging/$file" "$root/dist/$file"
done
echo "release: dist/win32/PortSetup.exe, dist/win64/PortSetup.exe, dist/SHA256SUMS; $signed"
cat "$root/dist/SHA256SUMS"
