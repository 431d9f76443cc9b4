#!/usr/bin/env bash
# Windows Installer's rules that the packages rely on and that Wine's msiexec
# does not enforce, read from the built tables: package_rules.sh MSI...
# Every number here is taken from the Microsoft page cited beside it.
set -uo pipefail
. "$(dirname "$0")/checks.sh"

# "Custom Action In-Script Execution Options" (learn.microsoft.com):
# msidbCustomActionTypeRollback 0x100, msidbCustomActionTypeCommit 0x200,
# msidbCustomActionTypeInScript 0x400, msidbCustomActionTypeNoImpersonate 0x800.
# "Summary List of All Custom Action Types": the low six bits give the type;
# 2 runs an EXE stored in the Binary table, 18 an installed file, 51 sets a property.
rollback=256 commit=512 in_script=1024 no_impersonate=2048

table() {
    msiinfo export "$msi" "$1" | tr -d '\r' | awk 'NR > 3'
}

for msi in "$@"; do
    case_name=${msi##*/}
    sequence=$(table InstallExecuteSequence | awk -F'\t' '{ print $3 "\t" $1 "\t" $2 }' | sort -n)
    at() { awk -F'\t' -v action="$1" '$2 == action { print $1 }' <<<"$sequence"; }

    # ICE63 and "RemoveExistingProducts Action": placed immediately after
    # InstallInitialize, the old product's removal is part of the script and
    # is undone if the installation fails; before InstallFiles, the new files
    # are not judged against the old ones by the file-versioning rules.
    after_initialize=$(awk -F'\t' 'found { print $2; exit } $2 == "InstallInitialize" { found = 1 }' <<<"$sequence")
    [ "$after_initialize" = RemoveExistingProducts ] && [ "$(at RemoveExistingProducts)" -lt "$(at InstallFiles)" ] ||
        fail "RemoveExistingProducts is not right after InstallInitialize and before InstallFiles"

    # "File Table": Version holds a versioned file's version, Language its
    # language IDs. Compared with each file's own version record: after the
    # signature 0xFEEF04BD ("VS_FIXEDFILEINFO structure"), dwStrucVersion,
    # then dwFileVersionMS and dwFileVersionLS; the language of its version
    # resource as the resource directory names it.
    files=$(mktemp -d)
    msiextract -C "$files" "$msi" >/dev/null 2>&1 && [ -n "$(ls -A "$files")" ] || fail "no files extracted"
    while IFS= read -r -d '' file; do
        offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$file" | awk -F: 'NR == 1 { print $1 }')
        [ -n "$offset" ] || continue
        read -r minor major patch build < <(od -An -tu2 -j $((offset + 8)) -N 8 "$file")
        language=$(wrestool -l -t 16 "$file" 2>/dev/null | sed -n 's/.*--language=\([0-9]*\).*/\1/p')
        rows=$(table File | awk -F'\t' -v name="${file##*/}" '{ sub(/.*\|/, "", $3) } $3 == name { print $5 " " $6 }')
        grep -x "$major.$minor.$build.$patch ${language:-0}" <<<"$rows" >/dev/null ||
            fail "${file##*/} has the version $major.$minor.$build.$patch ${language:-0}; its File row: [$rows]"
    done < <(find "$files" -type f -print0)
    rm -rf "$files"

    # "Custom Action In-Script Execution Options", "Rollback Custom Actions"
    # and ICE68: what runs the program changes the system, so it is deferred
    # (in the script) and not impersonated (SYSTEM); the no-impersonation
    # bit only ever with the script's bit; a rollback action precedes every
    # action it may undo (one that runs the opposite of its own /install or
    # /remove), and each of those has one.
    actions=$(table CustomAction)
    while IFS=$'\t' read -r action type _ target; do
        ! ((type & no_impersonate)) || ((type & in_script)) || fail "$action: elevated outside the script (ICE68)"
        [[ $((type & 63)) =~ ^(2|18)$ ]] || continue
        ((type & in_script && type & no_impersonate)) || fail "$action runs the program outside the script or impersonated"
        ((type & (rollback | commit))) && continue
        undone=""
        while IFS=$'\t' read -r undo undo_type _ undo_target; do
            ((undo_type & rollback)) && [ "${undo_target%% *}" != "${target%% *}" ] || continue
            undone=yes
            [ "$(at "$undo")" -lt "$(at "$action")" ] || fail "the rollback action $undo comes after $action"
        done <<<"$actions"
        [ -n "$undone" ] || fail "nothing undoes $action"
    done <<<"$actions"

    # "SecureCustomProperties Property" and "Restricted Public Properties":
    # what is listed there a standard user may set on a managed installation.
    secure=$(table Property | awk -F'\t' '$1 == "SecureCustomProperties" { print $2 }')
    for property in PORT SETTINGS LOGFILE KEEPPRINTER; do
        [[ ";$secure;" != *";$property;"* ]] || fail "a standard user may set $property"
    done
done
[ "$failures" -eq 0 ] && echo "package rules hold: $*"
exit $((failures > 0))
