#!/usr/bin/env bash
# Runs the built program under Wine as an operator would: real key presses
# and clicks on its window, then checks the exit code, what was launched
# (recorded by a stand-in rundll32.exe) and the Ports values.
#
# operator_test.sh ARCH PROGRAM STANDIN BASE_PREFIX WORK_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../wine/lib.sh"

arch=$1 program=$2 standin=$3 base=$4 work=$5
if ! wine_can_run "$arch"; then
    echo "SKIPPED: this machine cannot run $arch-bit Windows programs"
    exit 77
fi
loader=$(wine_loader "$arch")
ports_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports'
failures=0

fail() {
    echo "FAIL [$case_name]: $*"
    failures=$((failures + 1))
}

expect_eq() {
    [ "$1" == "$2" ] || fail "$3: expected [$2], got [$1]"
}

# Sets up a prefix with the program in FOLDER (a Windows path below C:), and
# starts it. With a third argument "real", Wine's own rundll32 and printui
# run instead of the stand-in, with printui's tracing on.
# OPERATOR_CASES, when set, names the cases to run.
start_case() {
    case_name=$1
    [ -z "${OPERATOR_CASES:-}" ] || [[ " $OPERATOR_CASES " == *" $case_name "* ]] || return 1
    local folder=$2
    prefix="$work/$case_name"
    stop_wineserver "$prefix"
    local case_standin=$standin
    [ "${3:-}" = real ] && case_standin=""
    make_test_prefix "$base" "$prefix" "$case_standin" || { fail "no prefix"; return 1; }
    local unix_folder="$prefix/drive_c/${folder#C:\\}"
    unix_folder=${unix_folder//\\//}
    mkdir -p "$unix_folder"
    cp "$program" "$unix_folder/PortSetup.exe"
    program_path="$folder\\PortSetup.exe"
    log="$work/$case_name.launches"
    rm -f "$log"
    export WINEPREFIX=$prefix WINEDEBUG=${OPERATOR_WINEDEBUG:--all} WINEDLLOVERRIDES="rundll32.exe=n"
    if [ "${3:-}" = real ]; then
        export WINEDEBUG=+printui WINEDLLOVERRIDES=""
    fi
    export RUNDLL32_STANDIN_LOG="Z:${log//\//\\}"
    start_wineserver "$prefix"
    ports_before=$(ports_values)
    "$loader" "$program_path" </dev/null >"$work/$case_name.out" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 150); do
        window=$(xdotool search --name '^Select Port Type$' 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { fail "the dialog did not appear"; kill "$pid"; return 1; }
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
}

# Waits for the program to end and checks its exit code.
expect_exit_code() {
    local waited=0 code
    while kill -0 "$pid" 2>/dev/null && [ $waited -lt 300 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        code="still running"
    else
        wait "$pid"
        code=$?
    fi
    expect_eq "$code" "$1" "exit code"
}

ports_values() {
    "$loader" reg query "$ports_key" 2>/dev/null | tr -d '\r' | grep -E '^ +[^ ]' | sort
}

port_value() {
    ports_values | awk -v name="$1" '$1 == name { print ($3 == "" ? "" : $3) }'
}

# The launches the stand-in recorded, once the launched process had time.
launches() {
    for _ in $(seq 1 50); do
        [ -s "$log" ] && break
        sleep 0.1
    done
    sleep 0.3
    [ -f "$log" ] && cat "$log"
}

# Checks that exactly one process was started, from the system folder,
# minimised, with the given command line.
expect_launch() {
    expect_eq "$(launches)" "image=C:\\windows\\system32\\rundll32.exe	show=2	cmdline=$1" "launch"
}

finish_case() {
    stop_wineserver "$prefix"
    rm -rf "$prefix"
}

install_line() {
    printf 'rundll32 printui.dll,PrintUIEntry /if /b "Q7 MiniPrinter(Cut Mode)" /f "%s\\ZUTW2KXPDrvs.INF" /r "%s" /m "Q7 MiniPrinter(Cut Mode)"' "$1" "$2"
}
removal_line='rundll32 printui.dll,PrintUIEntry /dd /m "Q7 MiniPrinter(Cut Mode)"'

# Next pressed with Alt+N at once, from a folder with spaces: COM1 and the
# default settings.
if start_case next-defaults 'C:\Program Files\Q7 Setup'; then
    xdotool key --window "$window" alt+n 2>/dev/null
    expect_exit_code 0
    expect_launch "$(install_line 'C:\Program Files\Q7 Setup' 'COM1:')"
    expect_eq "$(port_value COM1:)" "9600,n,8,1" "COM1: value"
    finish_case
fi

# Tab to the serial ports, Down twice to COM3, Enter on Next after tabbing
# round: the install line names COM3.
if start_case keyboard-com3 'C:\Setup'; then
    xdotool key --window "$window" Tab Tab Down Down 2>/dev/null
    sleep 0.3
    xdotool key --window "$window" Tab Tab Tab Tab Tab Tab Return 2>/dev/null
    expect_exit_code 0
    expect_launch "$(install_line 'C:\Setup' 'COM3:')"
    finish_case
fi

# Values of the Ports key that differ from before the case, as NAME=VALUE.
changed_ports() {
    diff <(echo "$ports_before") <(ports_values) | awk '/^>/ { print $2 "=" $4 }'
}

# COM2 by keyboard, 19200 and hardware flow control picked in the lists with
# the arrow keys, one list opened with Alt+Down: only COM2's value changes.
if start_case keyboard-com2 'C:\Setup'; then
    xdotool key --window "$window" Tab Tab Down Tab Down Down 2>/dev/null
    xdotool key --window "$window" Tab Tab Tab Tab alt+Down Up Return 2>/dev/null
    sleep 0.3
    xdotool key --window "$window" alt+n 2>/dev/null
    expect_exit_code 0
    expect_launch "$(install_line 'C:\Setup' 'COM2:')"
    expect_eq "$(changed_ports)" "COM2:=19200,n,8,1,p" "changed Ports values"
    finish_case
fi

# LPT1 clicked with the mouse, then Next: the line names LPT1, nothing stored.
if start_case parallel-mouse 'C:\Setup'; then
    read -r x y < <(xdotool getwindowgeometry --shell "$window" | awk -F= '/^X=/ { x = $2 } /^Y=/ { y = $2 } END { print x, y }')
    # LPT1's button, in pixels at 96 DPI from the window's client origin.
    xdotool mousemove $((x + (30 + 165 + 100) / 15)) $((y + (1950 + 285 + 105) / 15)) click 1 2>/dev/null
    sleep 0.3
    xdotool key --window "$window" alt+n 2>/dev/null
    expect_exit_code 0
    expect_launch "$(install_line 'C:\Setup' 'LPT1:')"
    expect_eq "$(ports_values)" "$ports_before" "Ports values"
    finish_case
fi

# Wine's own PrintUIEntry parses the install line the program starts from a
# folder with spaces: every argument comes out whole.
if start_case printui-witness 'C:\Program Files\Q7 Setup' real; then
    xdotool key --window "$window" alt+n 2>/dev/null
    expect_exit_code 0
    for _ in $(seq 1 100); do
        grep -q 'command not implemented' "$work/$case_name.out" && break
        sleep 0.1
    done
    parsed=$(grep -o 'opt: L"[a-z]"  L".*"' "$work/$case_name.out" | tr '\n' '|')
    expect_eq "$parsed" 'opt: L"b"  L"Q7 MiniPrinter(Cut Mode)"|opt: L"f"  L"C:\\Program Files\\Q7 Setup\\ZUTW2KXPDrvs.INF"|opt: L"r"  L"COM1:"|opt: L"m"  L"Q7 MiniPrinter(Cut Mode)"|' "arguments as PrintUIEntry read them"
    finish_case
fi

# Delete with Alt+X: the removal line, nothing stored.
if start_case delete 'C:\Setup'; then
    xdotool key --window "$window" alt+x 2>/dev/null
    expect_exit_code 0
    expect_launch "$removal_line"
    expect_eq "$(ports_values)" "$ports_before" "Ports values"
    finish_case
fi

# Escape does nothing; Alt+F4 closes with nothing launched or stored.
if start_case close 'C:\Setup'; then
    xdotool key --window "$window" Escape 2>/dev/null
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "Escape closed the dialog"
    xdotool key --window "$window" alt+F4 2>/dev/null
    expect_exit_code 0
    expect_eq "$(launches)" "" "launch"
    expect_eq "$(ports_values)" "$ports_before" "Ports values"
    finish_case
fi

if [ "$failures" -eq 0 ]; then
    echo "operator cases passed"
fi
exit $((failures > 0))
