#!/usr/bin/env bash
# Runs the built program under Wine as an operator would: real key presses
# and clicks on its window, then checks the exit code, what was launched
# (recorded by a stand-in rundll32.exe) and the Ports values.
#
# operator_test.sh ARCH PROGRAM STANDIN64 STANDIN BASE_PREFIX WORK_DIR PROBE
#                  WINSPOOL_STANDIN
# OPERATOR_CASES, when set, names the cases to run; PORTSETUP_PICTURES, when
# set, is the folder where the parallel case leaves pictures of both states.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/checks.sh"
. "$here/../../scripts/wine.sh"

arch=$1 program=$2 standin64=$3 standin=$4 base=$5 work=$6 probe=$7 winspool=$8
if ! wine_can_run "$arch"; then
    echo "SKIPPED: this machine cannot run $arch-bit Windows programs"
    exit 77
fi
loader=$(wine_loader "$arch")
export LC_ALL=C.UTF-8  # Wine reads file names and arguments in the locale's character set
ports_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports'

expect_eq() {
    [ "$1" == "$2" ] || fail "$3: expected [$2], got [$1]"
}

# One prefix for every case; the program keeps no state between runs. Wine
# draws the window's frame itself, as there is no window manager. A
# rundll32.exe is planted in the folder the program is started from.
prefix=$work/prefix
log=$work/launches
output=$work/output
stop_wineserver "$prefix"
make_test_prefix "$base" "$prefix" "$standin64" "$standin" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="rundll32.exe=n" RUNDLL32_STANDIN_LOG="Z:${log//\//\\}"
"$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
stop_wineserver "$prefix"
start_wineserver "$prefix"
cp "$standin" "$work/rundll32.exe"
# The program, and it alone, meets a spooler that marks a printer with jobs
# for deletion, as Windows' does, instead of deleting it at once.
cp "$winspool" "$prefix/drive_c/windows/$([ "$arch" = 32 ] && echo syswow64 || echo system32)/winspool.drv"
"$loader" reg add 'HKCU\Software\Wine\AppDefaults\PortSetup.exe\DllOverrides' /v winspool.drv /d native,builtin /f \
    >/dev/null 2>&1
export WINSPOOL_STANDIN_LOG=$work/spooler-steps

# The values of the Ports key as NAME=VALUE lines, read with Wine's reg.
ports_values() {
    "$loader" reg query "$ports_key" 2>/dev/null | tr -d '\r' | awk '/^ +[^ ]/ { print $1 "=" $3 }' | sort
}

# The spooler's printers and drivers, as Wine keeps them in the registry.
spooler_state() {
    local key='HKLM\System\CurrentControlSet\Control\Print'
    "$loader" reg query "$key\Printers" 2>/dev/null | tr -d '\r' | sed -n 's/^HKEY.*\\Printers\\/printer: /p'
    "$loader" reg query "$key\Environments\Windows x64\Drivers\Version-3" 2>/dev/null | tr -d '\r' |
        sed -n 's/^HKEY.*\\Version-3\\/driver: /p'
}

# Windows protected print mode on or off: the stand-in for its Windows
# Runtime class registered, or not.
cp "$(dirname "$winspool")/protected_print.dll" "$prefix/drive_c/windows/protected_print.dll"
protected_print() {
    local key='HKLM\Software\Microsoft\WindowsRuntime\ActivatableClassId\Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo'
    if [ "$1" = on ]; then
        "$loader" reg add "$key" /v DllPath /d 'C:\windows\protected_print.dll' /f &&
            "$loader" reg add "$key" /v ActivationType /t REG_DWORD /d 0 /f
    else
        "$loader" reg delete "$key" /f
    fi >/dev/null 2>&1
}

# Sets the Print Spooler service's start type (2 automatic, 3 manual, 4
# disabled) and, when given, its program (one that does not start: Windows
# still starting, the service not running yet); Wine's service manager reads
# them when it starts.
spooler_service() {
    local key='HKLM\System\CurrentControlSet\Services\Spooler'
    "$loader" reg add "$key" /v Start /t REG_DWORD /d "$1" /f &&
        "$loader" reg add "$key" /v ImagePath /t REG_EXPAND_SZ /d "${2:-C:\windows\system32\spoolsv.exe}" /f
    stop_wineserver "$prefix"
    start_wineserver "$prefix"
} >/dev/null 2>&1

# Takes the Ports key away, kept in the work folder, and brings it back.
hide_ports_key() {
    { "$loader" reg export "$ports_key" "Z:${work//\//\\}\\ports.reg" /y && "$loader" reg delete "$ports_key" /f; } >/dev/null 2>&1
}
restore_ports_key() {
    "$loader" reg import "Z:${work//\//\\}\\ports.reg" >/dev/null 2>&1
}

# True when case NAME is to run; makes it the current case.
wanted() {
    case_name=$1
    [ -z "${OPERATOR_CASES:-}" ] || [[ " $OPERATOR_CASES " == *" $1 "* ]] || return 1
    echo "case $1"
}

# The Unix path of a Windows folder on C:.
unix_folder() {
    local path="$prefix/drive_c/${1#C:\\}"
    echo "${path//\\//}"
}

# Starts a program: start [NAME=VALUE...] COMMAND [ARGUMENT...], from the
# work folder, with no input and its output in $output; pid is its process.
start() {
    (cd "$work" && exec env "$@" </dev/null >>"$output" 2>&1) &
    pid=$!
}

# Puts the program and the information file in FOLDER, starts it (with any environment given after the
# folder) and waits for its dialog.
launch_in() {
    folder=$1
    shift
    mkdir -p "$(unix_folder "$folder")"
    cp "$program" "$(unix_folder "$folder")/PortSetup.exe"
    echo '[Version]' >"$(unix_folder "$folder")/ZUTW2KXPDrvs.INF"
    rm -f "$log"
    : >"$output"
    ports_before=$(ports_values)
    start "$@" "$loader" "${folder%\\}\\PortSetup.exe"
    window=""
    for _ in $(seq 1 150); do
        window=$(xdotool search --onlyvisible --name '^Select Port Type$' 2>/dev/null | awk 'NR == 1')
        [ -n "$window" ] && break
        sleep 0.2
    done
    if [ -z "$window" ]; then
        cp "$output" "$work/$case_name.out"
        fail "the dialog did not appear; the program's output: $work/$case_name.out"
        kill "$pid"
        return 1
    fi
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
}

# Real key presses (XTEST) to the dialog, which has the focus.
keys() {
    xdotool windowfocus --sync "$window" key "$@" 2>/dev/null
    sleep 0.3
}

# Clicks the point X, Y given in twips from the client area's origin; the
# frame is measured from the window's size, 335 x 235 pixels inside.
click_at_twips() {
    local x y width height border top
    read -r x y width height < <(xdotool getwindowgeometry --shell "$window" |
        awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }')
    border=$(((width - 335) / 2))
    top=$((height - 235 - border))
    xdotool mousemove $((x + border + $1 / 15)) $((y + top + $2 / 15)) click 1 2>/dev/null
    sleep 0.3
}

# Waits for the program to end ($patience tenths of a second, a minute
# unless set: the removal alone may wait 30 seconds for a printer being
# deleted) and checks its exit code.
expect_exit_code() {
    for _ in $(seq 1 "${patience:-600}"); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" && fail "the program did not end"
    fi
    wait "$pid"
    local code=$?
    [ "$code" = "$1" ] || cp "$output" "$work/$case_name.out"
    expect_eq "$code" "$1" "exit code (the program's output: $work/$case_name.out)"
}

# Checks what the stand-in recorded, once a started process had time: LINE
# started from the system folder's rundll32.exe, minimised, in the system
# folder, or nothing. Unattended, the program has waited for what it started.
expect_launch() {
    local tries=30
    [ "$window" != none ] || tries=1
    for _ in $(seq 1 "$tries"); do
        [ -s "$log" ] && break
        sleep 0.1
    done
    local expected=""
    [ -z "$1" ] || expected="image=C:\\windows\\system32\\rundll32.exe	show=2	cwd=C:\\windows\\system32	cmdline=$1"
    expect_eq "$(iconv -f UTF-16LE -t UTF-8 "$log" 2>/dev/null)" "$expected" "launch"
}

# Waits for a message box from the program, checks that its text (read from
# Wine's trace) starts with TEXT, and answers it, found by its title (the
# dialog's, or $title), until the program ends.
expect_message() {
    local message=""
    for _ in $(seq 1 50); do
        message=$(sed -n 's/.*MSGBOX_OnInit L"//p' "$output")
        [ -n "$message" ] && break
        sleep 0.1
    done
    [[ $message == "$1"* ]] || fail "message: expected [$1...], got [$message]"
    for _ in $(seq 1 20); do
        box=$(xdotool search --name "^${title:-Select Port Type}\$" 2>/dev/null | grep -v -x "$window" | awk 'NR == 1')
        [ -n "$box" ] && xdotool windowfocus --sync "$box" key Return 2>/dev/null
        sleep 0.3
        kill -0 "$pid" 2>/dev/null || break
    done
}

install_line() {
    printf 'rundll32 printui.dll,PrintUIEntry /if /b "Q7 MiniPrinter(Cut Mode)" /f "%s\\ZUTW2KXPDrvs.INF" /r "%s" /m "Q7 MiniPrinter(Cut Mode)"' "$1" "$2"
}
removal_line='rundll32 printui.dll,PrintUIEntry /dd /m "Q7 MiniPrinter(Cut Mode)"'

# The program ends with EXIT, having started LINE (or nothing), and the
# Ports values that changed are CHANGES (NAME=VALUE lines).
expect_outcome() {
    expect_exit_code "$1"
    expect_launch "$2"
    expect_eq "$(diff <(echo "$ports_before") <(ports_values) | sed -n 's/^> //p')" "$3" "changed Ports values"
}

# PrintUIEntry run directly, as an administrator or a print server would:
# printui ARGUMENT...; nothing of it is left in the stand-in's record.
printui() {
    "$(wine_loader 64)" 'C:\windows\system32\rundll32.exe' printui.dll,PrintUIEntry "$@" >/dev/null 2>&1
    rm -f "$log"
}
model='Q7 MiniPrinter(Cut Mode)'
mkdir -p "$(unix_folder 'C:\Setup')"
cp "$program" "$(unix_folder 'C:\Setup')/PortSetup.exe"
information_file=$(unix_folder 'C:\Setup')/ZUTW2KXPDrvs.INF
echo '[Version]' >"$information_file"

# Runs the program from C:\Setup unattended with no input: it ends with EXIT,
# having started LINE (or nothing; - for not checked) and shown no window, or only a message
# starting with $message when that is set.
# unattended EXIT LINE [NAME=VALUE...] ARGUMENT...
unattended() {
    local code=$1 line=$2 environment=()
    shift 2
    while [[ $1 == *=* ]]; do environment+=("$1") && shift; done
    : >"$output"
    rm -f "$log" "$WINSPOOL_STANDIN_LOG"
    start "${environment[@]}" WINEDEBUG=+msgbox "$loader" 'C:\Setup\PortSetup.exe' "$@"
    window=none
    [ -z "${message:-}" ] || title=PortSetup expect_message "$message"
    expect_exit_code $((code % 256))  # Linux sees the low 8 bits of the exit code
    [ -n "${message:-}" ] || ! grep -q 'MSGBOX_OnInit' "$output" || fail "a window was shown"
    [ "$line" = - ] || expect_launch "$line"
}

# Unattended, as a deployment system runs it. Each row: case|[NAME=VALUE...]
# arguments|exit code|line launched (C:\Setup's install line for a port, or
# the removal line)|changed Ports values|spooler after|message shown|a line
# of C:\setup.log (a pattern), whose first line names the arguments and
# whose last line the exit code.
installed="printer: $model;driver: $model"
"$loader" reg add "$ports_key" /v COM7: /d 9600,n,8,1 /f >/dev/null 2>&1  # a USB-serial adapter's port
for row in "set-up-fails|RUNDLL32_STANDIN_FAILS=1 /install /port COM1 /settings 115200,e,7,2,x /quiet|1603|install COM1:||" \
    "spooler-stopped|WINEDLLOVERRIDES=rundll32.exe=n;localspl=d /install /port COM2 /quiet /log C:\\setup.log|1722|||||The Print Spooler service does not answer.* error 1722" \
    "spooler-disabled|WINEDLLOVERRIDES=rundll32.exe=n;localspl=d /remove /quiet /log C:\\setup.log|1058|||||The Print Spooler service is disabled.* error 1058" \
    "install|WINSPOOL_STANDIN_STARTING_MS=3000 /install /port com2: /settings 57600,n,8,1,p /quiet /log C:\\setup.log|0|install COM2:|COM2:=57600,n,8,1,p|$installed||service answered after&&stored COM2: = 57600,n,8,1,p - done" \
    "no-information-file|/install /port COM3 /quiet /log C:\\setup.log|2|||$installed||so nothing was started: C:.Setup.ZUTW2KXPDrvs.INF - failed, error 2:&&^exit code 2: the driver information file is not beside" \
    "install-again|-INSTALL -Port COM2 -Quiet /log C:\\setup.log|0|||$installed||^already installed on COM2:, nothing to start$&&^kept the settings COM2: has \\(none asked for\\)$" \
    "check|/check /port COM2 /settings 57600,N,8,1,P /quiet /log C:\\setup.log|0|||$installed||^check: installed on COM2: with 57600,n,8,1,p$" \
    "check-settings|/check /port COM2 /settings 9600,n,8,1 /quiet /log C:\\setup.log|1610|||$installed||^check: the printer is on COM2:, which has the settings 57600,n,8,1,p, not 9600,n,8,1$" \
    "check-port|/check /port COM3 /quiet /log C:\\setup.log|1796|||$installed||^check: the printer is on COM2:, not on COM3:$" \
    "settings-order|/install /port COM2 /settings 9600,8,n,1 /quiet /log C:\\setup.log|87|||$installed||The second field, parity, is 8: it takes e, o, n, m or s\\. The fields are bits per second, parity" \
    "log-missing-folder|/install /port COM3 /settings 1200,n,8,1 /log %SystemDrive%\\missing\\setup.log|1622|||$installed|The log C:\\\\missing\\\\setup.log was not written: its folder cannot be opened (" \
    "log-relative|/install /port COM3 /settings 1200,n,8,1 /quiet /log setup.log|1622|||$installed" \
    "protected-print|/install /port COM3 /quiet /log C:\\setup.log|1275|||$installed||Windows protected print mode is on.* error 1275" \
    "move|/install /port COM3 /quiet /log C:\\setup.log|0||COM3:=9600,n,8,1|$installed||printer moved from COM2: to COM3: - done&&stored COM3: = 9600,n,8,1 - done" \
    "remove|/remove /keepremembered /quiet /log C:\\setup.log|0|removal||||printer deleted - done&&driver package removed: C:.windows.System32.DriverStore&&kept what is remembered" \
    "remove-nothing|/remove /quiet /log C:\\setup.log|0|removal||||^no printer to delete$&&forgot the remembered port - done" \
    "check-nothing|/check /port COM2 /quiet /log C:\\setup.log|1605|||||^check: the printer is not installed$" \
    "twice|/install /port COM2 /port COM3 /quiet /log C:\\setup.log|87|||||/port is given twice" \
    "forgotten-value|/install /port COM2 /log /quiet|87|||" \
    "com9-absent|/install /port COM9 /quiet /log C:\\setup.log|87|||||COM9: is not a port of this PC. Its serial ports: COM1:, COM2:, COM3:, COM4:, COM7:.* error 87" \
    "com8-not-the-spoolers|WINSPOOL_STANDIN_HIDDEN_PORT=COM8: /install /port COM8 /quiet /log C:\\setup.log|87|||||COM8: is not a port of this PC. Its serial ports: COM1:, COM2:, COM3:, COM4:, COM7:.* error 87" \
    "com7|/install /port com07 /settings 19200,N,8,1,P /quiet|0|install COM7:|COM7:=19200,n,8,1,p|$installed" "remove-com7|/remove /quiet|0|removal||" \
    "lpt-settings|/install /port LPT1 /settings 9600,n,8,1 /quiet|87|||" "unknown|/frobnicate /quiet|87|||" \
    "shown|/install /log C:\\setup.log|87||||/install needs /port.\\n\\nPortSetup.exe /install /port|/install needs /port." \
    "usage|/?|0||||PortSetup.exe /install /port COMn" \
    "no-ports-key|/install /port COM4 /quiet|1603|install COM4:||$installed" "clean-up|/remove /quiet|0|removal||"; do
    IFS='|' read -r name arguments code launched changes spooler message last <<<"$row"
    wanted "unattended-$name" || continue
    # Without the Ports key the settings cannot be stored: a failure, the
    # printer installed all the same; the key comes back afterwards.
    [ "$name" != no-ports-key ] || hide_ports_key
    [ "$name" != no-information-file ] || rm "$information_file"
    # Windows still starting: the Print Spooler service set to start
    # automatically and not running yet; or the service disabled.
    [ "$name" != install ] || spooler_service 2 'C:\windows\system32\spoolsv-not-started-yet.exe'
    [ "$name" != spooler-disabled ] || spooler_service 4
    [ "$name" != protected-print ] || protected_print on
    [ "$name" != com8-not-the-spoolers ] || "$loader" reg add "$ports_key" /v COM8: /d 9600,n,8,1 /f >/dev/null 2>&1
    # A port without a value gets 9600,n,8,1; one with a value keeps it.
    [ "$name" != move ] || "$loader" reg delete "$ports_key" /v COM3: /f >/dev/null 2>&1
    ports_before=$(ports_values)
    rm -f "$prefix/drive_c/setup.log"
    case $launched in
        install*) launched="$(install_line 'C:\Setup' "${launched#install }") /q" ;;
        removal) launched="$removal_line /q" ;;
    esac
    read -ra words <<<"$arguments"
    touch "$work/row-start"
    unattended "$code" "$launched" "${words[@]}"
    message=
    expect_eq "$(diff <(echo "$ports_before") <(ports_values) | sed -n 's/^> //p')" "$changes" "changed Ports values"
    expect_eq "$(spooler_state | paste -sd ';')" "$spooler" "printers and drivers"
    # What the program remembers for the installer package: kept by /keepremembered, forgotten by /remove.
    remembered=$("$(wine_loader 64)" reg query 'HKLM\Software\PortSetup' /v Port 2>/dev/null | tr -d '\r' |
        awk '$1 == "Port" { print $3 }')
    [ "$name" != remove ] || expect_eq "$remembered" COM3: "the remembered port after /remove /keepremembered"
    [ "$name" != remove-nothing ] || expect_eq "$remembered" "" "the remembered port after /remove"
    [ "$name" != no-ports-key ] || restore_ports_key
    [ "$name" != log-relative ] || [ ! -e "$work/setup.log" ] || fail "a log was written in the current folder"
    [[ $name != install && $name != spooler-disabled ]] || spooler_service 3
    [ "$name" != protected-print ] || protected_print off
    [ "$name" != com8-not-the-spoolers ] || "$loader" reg delete "$ports_key" /v COM8: /f >/dev/null 2>&1
    echo '[Version]' >"$information_file"
    [ "$name" != forgotten-value ] || [ "$(find / "$prefix/drive_c" "$work" -maxdepth 1 -iname quiet -newer "$work/row-start")" = "" ] ||
        fail "a file was named after /quiet"
    [ -n "$last" ] || continue
    lines=$(sed 's/^.\{21\}//' "$prefix/drive_c/setup.log" | tr -d '\r')
    shown=$arguments
    while [[ $shown == [A-Z]*=* ]]; do shown=${shown#* }; done
    expect_eq "$(head -n 1 <<<"$lines")" "PortSetup 1.01, $arch-bit, arguments: $shown" "first log line"
    [[ $(tail -n 1 <<<"$lines") == "exit code $code: "?* ]] || fail "the log's last line does not end with $code"
    while read -r -d '&' pattern; do
        [ -z "$pattern" ] || grep -E -- "$pattern" <<<"$lines" >/dev/null || fail "no line of the log matches [$pattern]"
    done <<<"$last&"
done

# Where nobody can see a window (a window station that is not the visible
# one, as for SYSTEM under a deployment agent): a refused command line
# without /quiet, the dialog and the report of exhausted memory show none,
# and end with their codes at once.
if wanted hidden-station; then
    cp "$probe" "$(unix_folder 'C:\Setup')/probe.exe"
    rm -f "$log"
    for row in '87|PortSetup.exe /install /port COM9' '1459|PortSetup.exe' '8|probe.exe memory'; do
        read -r code program_name arguments <<<"${row//|/ }"
        read -ra words <<<"$arguments"
        : >"$output"
        start WINEDEBUG=+msgbox "$loader" "$probe" hidden "C:\\Setup\\$program_name" "${words[@]}"
        expect_exit_code $((code % 256))
        ! grep -q 'MSGBOX_OnInit' "$output" || fail "a window was shown for $program_name $arguments"
    done
    expect_launch ''
fi

# Logs a user could steer: a hard or a symbolic link to a file of the
# system's, a folder on the path that is a link (a Linux symbolic link, which
# Wine follows as Windows follows a junction) and a file another user made
# first (owned by another Unix user) are not written to, nor is any file made
# through them; the run ends with 1622 before anything is done, and without
# /quiet a message says why. An argument's control characters and quotes stay
# on one line.
if wanted log-links; then
    echo 'system data' >"$prefix/drive_c/victim.txt"
    mkdir -p "$prefix/drive_c/logs" "$prefix/drive_c/elsewhere"
    ln -f "$prefix/drive_c/victim.txt" "$prefix/drive_c/logs/hard.log"
    ln -sf ../victim.txt "$prefix/drive_c/logs/symbolic.log"
    ln -sfn elsewhere "$prefix/drive_c/linked"
    for named in 'logs\hard.log' 'logs\symbolic.log' 'linked\PortSetup.log'; do
        unattended 1622 '' /install /port LPT2 /quiet /log "C:\\$named"
    done
    expect_eq "$(cat "$prefix/drive_c/victim.txt")" 'system data' "the linked file"
    expect_eq "$(ls -A "$prefix/drive_c/elsewhere")" '' "files made through the linked folder"
    : >"$prefix/drive_c/logs/squatted.log"
    chown 65534:65534 "$prefix/drive_c/logs/squatted.log"
    message='The log C:\\logs\\squatted.log was not written: it was there before, and its owner is not' \
        unattended 1622 '' /install /port LPT2 /log 'C:\logs\squatted.log'
    expect_eq "$(stat -c %s "$prefix/drive_c/logs/squatted.log")" 0 "the squatted log's size"
    unattended 87 '' /install /port $'COM2\r"x\ty' /quiet /log 'C:\escaped.log'
    escaped=$(sed 's/^.\{21\}//' "$prefix/drive_c/escaped.log" | tr -d '\r' | sed -n '1,2p')
    [[ $escaped == "PortSetup 1.01, $arch-bit, arguments: /install /port \"COM2\\r\\\"x\\x09y\" /quiet /log C:\\escaped.log
command line refused: Unknown port: COM2\\r\"x\\x09y - failed, error 87: "* ]] || fail "the escaped log: $escaped"
    expect_eq "$(wc -l <"$prefix/drive_c/escaped.log")" 3 "the escaped log's lines"
    unattended 0 "$removal_line /q" /remove /quiet
fi

# Windows only marks a printer for deletion while a job is still being
# written to its port, and hides it at once while it keeps the driver in
# use: a paused printer is resumed and purged, and the removal runs again
# until the printer is gone (3 s), then its package goes; a job that never
# ends fails after 30 s, logged, the printer still there for the next run.
if wanted remove-pending; then
    printui /if /b "$model" /r COM2: /m "$model"
    unattended 0 - WINSPOOL_STANDIN_JOBS=1 WINSPOOL_STANDIN_PAUSED=1 WINSPOOL_STANDIN_PRINTING_MS=3000 /remove /quiet \
        /log 'C:\pending.log'
    expect_eq "$(paste -sd ' ' "$WINSPOOL_STANDIN_LOG")" 'resumed purged marked for deletion deleted package deleted' \
        "the spooler's steps"
    grep -q 'the driver is still held by the printer being deleted; the removal runs again' \
        "$prefix/drive_c/pending.log" || fail "no second run of the removal logged"
    expect_eq "$(spooler_state)" '' "printers and drivers left"
    # Each step is logged as it happens: a set-up of 3 seconds ends at least 2 seconds after it started.
    printui /if /b "$model" /r COM2: /m "$model"
    unattended 0 - RUNDLL32_STANDIN_SECONDS=3 /remove /quiet /log 'C:\slow.log'
    times=$(awk '($3 == "started:" && / \/dd /) || $3 $4 $5 == "printerset-upended" { print $1 " " $2 }' \
        "$prefix/drive_c/slow.log" | while read -r day time; do date -d "$day $time" +%s; done | paste -sd ' ')
    read -r started ended <<<"$times"
    [ -n "${ended:-}" ] && [ $((ended - started)) -ge 2 ] || fail "the set-up's start and end logged at [$times]"
    # A job that never ends: the printer marked for deletion, not deleted, and
    # the reruns of the removal told in one line.
    printui /if /b "$model" /r COM2: /m "$model"
    unattended 1618 - WINSPOOL_STANDIN_PRINTING_MS=-1 /remove /quiet /log 'C:\stuck.log'
    stuck=$(sed 's/^.\{21\}//' "$prefix/drive_c/stuck.log" | tr -d '\r')
    [ "$(wc -l <<<"$stuck")" -le 12 ] && [[ $stuck == *$'\nprinter marked for deletion: 1 job'* ]] &&
        [[ $stuck != *'printer deleted'* ]] && [ "$(grep -c '^the removal ran [0-9]* times in ' <<<"$stuck")" = 1 ] &&
        [[ $stuck == *'is still being deleted '*' - failed, error 3001'*'exit code 1618: try again later: the printer'* ]] ||
        fail "the stuck removal's log: $stuck"
    unattended 0 - /remove /quiet
fi

# The printer of the model's name with another driver is not installed; a
# 32-bit driver left beside it is not the native one, which was removed.
if wanted other-drivers; then
    printui /if /b "$model" /r COM2: /m 'Till driver'
    unattended 1603 "$(install_line 'C:\Setup' COM2:) /q" /install /port COM2 /quiet /log 'C:\other.log'
    grep -q 'the spooler shows the printer with another driver\. - failed' "$prefix/drive_c/other.log" || fail "not logged"
    unattended 0 "$removal_line /q" /remove /quiet
    printui /dd /m 'Till driver'
    printui /if /b "$model" /r COM2: /m "$model"
    printui /ia /m "$model" /h x86
    unattended 0 "$removal_line /q" /remove /quiet /log 'C:\x86.log'
    x86_log=$(cat "$prefix/drive_c/x86.log")
    [[ $x86_log == *'driver left for Windows NT x86'* ]] || fail "the x86 driver was not logged"
    [[ $x86_log == *'driver package kept, another driver uses it'*'exit code 0: done'* ]] || fail "the package in use: $x86_log"
    printui /dd /m "$model" /h x86
    expect_eq "$(spooler_state)" '' "printers and drivers left"
fi

# A spooler still starting after the program's wait of a minute (a real
# one: Wine's service manager does not answer in time on a fast clock): try
# again later.
if wanted spooler-still-starting; then
    spooler_service 2 'C:\windows\system32\spoolsv-not-started-yet.exe'
    patience=900 unattended 1618 '' WINSPOOL_STANDIN_STARTING_MS=90000 /install /port COM1 /quiet /log 'C:\starting.log'
    grep -q 'exit code 1618: try again later: the Print Spooler service was still starting' \
        "$prefix/drive_c/starting.log" || fail "the spooler's wait is not logged"
    spooler_service 3
fi

# Against a Wine whose clock runs fast, where the time limits pass at once: a
# set-up that never ends (ended before the stand-in records it) is ended,
# logged, and nothing of it is left; a spooler call that never returns ends
# the run at its deadline, logged.
if wanted time-limits; then
    stop_wineserver "$prefix"
    LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME='+0 x50' wineserver -p
    unattended 1460 - RUNDLL32_STANDIN_HANGS=1 /install /port COM1 /quiet /log 'C:\hang.log'
    grep -qF "started: $(install_line 'C:\Setup' COM1:) /q - done" "$prefix/drive_c/hang.log" || fail "not started"
    grep -q 'The printer set-up did not end in time and was stopped. - failed, error 1460' "$prefix/drive_c/hang.log" ||
        fail "no log line"
    sleep 2
    ! pgrep -f 'rundll32 printui.dll,PrintUIEntry' >/dev/null || fail "the set-up was left running"
    unattended 1460 '' WINSPOOL_STANDIN_HANGS=1 /install /port COM1 /quiet /log 'C:\deadline.log'
    grep -q 'still waiting for the spooler after 15 minutes, stopped - failed, error 1460' "$prefix/drive_c/deadline.log" ||
        fail "the deadline is not logged"
    stop_wineserver "$prefix"
    start_wineserver "$prefix"
    unattended 0 "$removal_line /q" /remove /quiet
fi

# Alt+N at once, from a folder with spaces, beside the information file and a
# planted rundll32.exe: COM1 with the default settings replaces its value.
if wanted next-defaults; then
    folder='C:\Program Files\Q7 Setup'
    mkdir -p "$(unix_folder "$folder")"
    echo "[Version]" >"$(unix_folder "$folder")/ZUTW2KXPDrvs.INF"
    cp "$standin" "$(unix_folder "$folder")/rundll32.exe"
    "$loader" reg add "$ports_key" /v COM1: /d "1200,e,7,2" /f >/dev/null 2>&1
    if launch_in "$folder"; then
        keys alt+n
        expect_outcome 0 "$(install_line "$folder" COM1:)" 'COM1:=9600,n,8,1'
    fi
fi

# The keyboard alone, in FOLDER: the six ports are one group. From COM1 the
# arrow keys go round to LPT2 and LPT1 (Up), choosing as they go; Tab from
# Delete lands on the port chosen (LPT2), and from there the arrows reach
# COM3 and Tab the lists. COM2 with 19200 and hardware flow control (a list
# opened with Alt+Down), then Enter on Next reached with Tab. COM4 at the
# fastest line from a Korean folder deeper than 260 characters.
deep="C:\\프린터 설치$(printf '\\Mini printer driver files for the Q7 MiniPrinter%.0s' {1..6})"
for choice in 'C:\Setup|Tab Tab Up Up alt+n|LPT1:|' 'C:\Setup|Tab Tab Up alt+n|LPT2:|' \
    'C:\Setup|Tab Tab Up shift+Tab Tab Down Down Down Tab End alt+n|COM3:|COM3:=128000,n,8,1' \
    'C:\Setup|Tab Tab Down Tab Down Down Tab Tab Tab Tab alt+Down Up Return Tab Return|COM2:|COM2:=19200,n,8,1,p' \
    "$deep|Tab Tab Down Down Down Tab End alt+n|COM4:|COM4:=128000,n,8,1"; do
    IFS='|' read -r folder presses port stored <<<"$choice"
    if wanted "keyboard-${port%:}" && launch_in "$folder"; then
        read -ra pressed <<<"$presses"
        keys "${pressed[@]}"
        expect_outcome 0 "$(install_line "$folder" "$port")" "$stored"
    fi
done

# LPT1 clicked with the mouse, then Alt+N: nothing is stored.
if wanted parallel-mouse && launch_in 'C:\Setup'; then
    [ -z "${PORTSETUP_PICTURES:-}" ] || /usr/bin/import -window "$window" "$PORTSETUP_PICTURES/dialog-serial.png"
    click_at_twips $((30 + 165 + 100)) $((1950 + 285 + 105))
    [ -z "${PORTSETUP_PICTURES:-}" ] || /usr/bin/import -window "$window" "$PORTSETUP_PICTURES/dialog-parallel.png"
    keys alt+n
    expect_outcome 0 "$(install_line 'C:\Setup' LPT1:)" ''
fi

# Delete with Alt+X after the installs above, and with Enter once Tab has
# moved the focus onto it with nothing installed: the printer goes, then
# its driver.
for delete_keys in alt+x 'Tab Return'; do
    if wanted "delete-${delete_keys// /-}" && launch_in 'C:\Setup'; then
        read -ra pressed <<<"$delete_keys"
        keys "${pressed[@]}"
        expect_outcome 0 "$removal_line" ''
        expect_eq "$(spooler_state)" "" "printers and drivers left"
    fi
done

# Another printer on the same driver stays, and so does the driver.
if wanted delete-beside-another; then
    for name in "$model" 'Till printer'; do printui /if /b "$name" /r COM2: /m "$model"; done
    if launch_in 'C:\Setup'; then
        keys alt+x
        expect_outcome 0 "$removal_line" ''
        expect_eq "$(spooler_state)" $'printer: Till printer\ndriver: Q7 MiniPrinter(Cut Mode)' "printers and drivers left"
        # Unattended, the driver that stays is a failure (1603), and the log
        # says which printer keeps it.
        unattended 1603 "$removal_line /q" /remove /quiet /log 'C:\beside.log'
        grep -q 'the driver still there, used by "Till printer"\. - failed' "$prefix/drive_c/beside.log" ||
            fail "the printer that keeps the driver is not logged"
    fi
fi

# The Print Spooler service stopped: a message names it, and the program ends
# with the system's error code, having started and stored nothing.
if wanted spooler-stopped-dialog && launch_in 'C:\Setup' WINEDEBUG=+msgbox WINEDLLOVERRIDES='rundll32.exe=n;localspl=d'; then
    keys alt+n
    expect_message 'The Print Spooler service does not answer, so nothing was started.'
    expect_outcome $((1722 % 256)) '' ''
fi

# Without the Ports key, Next starts the set-up, then says that COM2's
# settings were not stored and ends with the registry's error; no key is made.
if wanted next-no-ports-key; then
    hide_ports_key
    if launch_in 'C:\Setup' WINEDEBUG=+msgbox; then
        keys Tab Tab Down alt+n
        expect_message 'The printer set-up was started, but the settings were not stored.\n\nCOM2: = 9600,n,8,1\n\n'
        expect_outcome 2 "$(install_line 'C:\Setup' COM2:)" ''
        "$loader" reg query "$ports_key" >/dev/null 2>&1 && fail "the Ports key was made"
    fi
    restore_ports_key
fi

# Without the information file beside the program, Next names the path it
# looked for and starts and stores nothing.
if wanted next-no-information-file && launch_in 'C:\Setup' WINEDEBUG=+msgbox; then
    rm "$information_file"
    keys alt+n
    expect_message 'The driver information file is not beside the program, so nothing was started:\n\nC:\\Setup\\ZUTW2KXPDrvs.INF\n\n'
    expect_outcome 2 '' ''
fi

# Escape, Enter on a port button and bare letters do nothing; Alt+F4 closes
# with nothing launched or stored.
if wanted close && launch_in 'C:\Setup'; then
    keys Escape Tab Tab Return x n
    kill -0 "$pid" 2>/dev/null || fail "the dialog closed before Alt+F4"
    keys alt+F4
    expect_outcome 0 '' ''
fi

# No rundll32.exe in the system folder: a message names the path tried, and
# the program ends with the system's error code, nothing stored.
if wanted rundll32-absent; then
    for name in "$prefix"/drive_c/windows/{system32,syswow64}/rundll32; do mv "$name.exe" "$name.away"; done
    if launch_in 'C:\Setup' WINEDEBUG=+msgbox; then
        keys Tab Tab Down Down Down alt+n
        tried=$([ "$arch" = 32 ] && echo Sysnative || echo system32)
        expect_message "The printer set-up could not be started.\\n\\nC:\\\\windows\\\\$tried\\\\rundll32.exe\\n\\n"
        expect_outcome 2 '' ''
    fi
    unattended 2 '' /remove /quiet /log 'C:\norundll.log'
    grep -q "exit code 2: the system's rundll32.exe is missing" "$prefix/drive_c/norundll.log" || fail "no rundll32: not logged"
    for name in "$prefix"/drive_c/windows/{system32,syswow64}/rundll32; do mv "$name.away" "$name.exe"; done
fi

# The C++ library's failures, in a probe built and linked as the program is:
# a message, and the system's code for lack of memory.
for failure in memory length; do
    if wanted "library-$failure"; then
        window=none
        : >"$output"
        start WINEDEBUG=+msgbox "$loader" "$probe" $failure
        expect_message 'There is not enough memory to go on.'
        expect_exit_code 8
    fi
done

stop_wineserver "$prefix"
[ -n "${OPERATOR_KEEP:-}" ] || rm -rf "$prefix"
[ "$failures" -eq 0 ] && echo "operator cases passed"
exit $((failures > 0))
