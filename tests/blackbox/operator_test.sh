#!/usr/bin/env bash
# Runs the built program under Wine as an operator would: real key presses
# and clicks on its window, then checks the exit code, what was launched
# (recorded by a stand-in rundll32.exe) and the Ports values.
#
# operator_test.sh ARCH PROGRAM STANDIN64 STANDIN BASE_PREFIX WORK_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../wine/lib.sh"

arch=$1 program=$2 standin64=$3 standin=$4 base=$5 work=$6
if ! wine_can_run "$arch"; then
    echo "SKIPPED: this machine cannot run $arch-bit Windows programs"
    exit 77
fi
loader=$(wine_loader "$arch")
# Wine reads file names and arguments in the locale's character set.
export LC_ALL=C.UTF-8
ports_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports'
failures=0

fail() {
    echo "FAIL [$case_name]: $*"
    failures=$((failures + 1))
}

expect_eq() {
    [ "$1" == "$2" ] || fail "$3: expected [$2], got [$1]"
}

# Sets up a throwaway prefix with the program in FOLDER (a Windows path on
# C:) and its wineserver running. With a third argument "real", Wine's own
# rundll32 and printui run instead of the stand-in, with printui's tracing
# on; with "framed", Wine draws the window's frame and caption itself.
# OPERATOR_CASES, when set, names the cases to run.
prepare_case() {
    case_name=$1
    [ -z "${OPERATOR_CASES:-}" ] || [[ " $OPERATOR_CASES " == *" $case_name "* ]] || return 1
    local folder=$2 mode=${3:-}
    prefix="$work/$case_name"
    stop_wineserver "$prefix"
    if [ "$mode" = real ]; then
        make_test_prefix "$base" "$prefix"
    else
        make_test_prefix "$base" "$prefix" "$standin64" "$standin"
    fi || { fail "no prefix"; return 1; }
    program_folder="$prefix/drive_c/${folder#C:\\}"
    program_folder=${program_folder//\\//}
    mkdir -p "$program_folder"
    cp "$program" "$program_folder/PortSetup.exe"
    program_path="${folder%\\}\\PortSetup.exe"
    log="$work/$case_name.launches"
    output="$work/$case_name.out"
    rm -f "$log" "$output"
    launch_folder=$work
    export WINEPREFIX=$prefix WINEDEBUG=${OPERATOR_WINEDEBUG:--all} WINEDLLOVERRIDES="rundll32.exe=n"
    if [ "$mode" = real ]; then
        export WINEDEBUG=+printui WINEDLLOVERRIDES=""
    fi
    if [ "$mode" = framed ]; then
        "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        stop_wineserver "$prefix"
    fi
    export RUNDLL32_STANDIN_LOG="Z:${log//\//\\}"
    start_wineserver "$prefix"
}

# Starts the program from launch_folder and waits for its dialog. The Ports
# values before are read unless the caller knows them already.
launch_program() {
    [ "${1:-}" = ports-known ] || ports_before=$(ports_values)
    (cd "$launch_folder" && exec "$loader" "$program_path" </dev/null >>"$output" 2>&1) &
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

start_case() {
    prepare_case "$@" && launch_program
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

# The values of the Ports key as NAME=VALUE lines, read with Wine's reg.
ports_values() {
    "$loader" reg query "$ports_key" 2>/dev/null | tr -d '\r' | awk '/^ +[^ ]/ { print $1 "=" $3 }' | sort
}

# Values of the Ports key that differ from before the program started.
changed_ports() {
    diff <(echo "$ports_before") <(ports_values) | sed -n 's/^> //p'
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

# The window's place and size on the screen (x, y, width, height), and the
# frame around its client area (border, top), which is drawn at 96 DPI and
# 335 x 235 pixels.
read_window_geometry() {
    read -r x y width height < <(xdotool getwindowgeometry --shell "$window" |
        awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }')
    border=$(((width - 335) / 2))
    top=$((height - 235 - border))
}

# Clicks the point X, Y given in twips from the dialog's client origin.
click_at_twips() {
    read_window_geometry
    xdotool mousemove $((x + border + $1 / 15)) $((y + top + $2 / 15)) click 1 2>/dev/null
    sleep 0.3
}

# The parallel port buttons, by number (1 or 2), in the Parallel Port group.
click_parallel_port() {
    click_at_twips $((30 + 165 + 100)) $((1950 + 285 + ($1 - 1) * 360 + 105))
}

# From the start: COM4 by the arrow keys, and the fastest line in the first
# list with End.
choose_com4_fastest() {
    xdotool key --window "$window" Tab Tab Down Down Down Tab End 2>/dev/null
    sleep 0.3
}

# Next with Alt+N: the program ends with 0, the install line names FOLDER and
# PORT, and the Ports values that change are CHANGES (NAME=VALUE lines).
expect_next_stores() {
    xdotool key --window "$window" alt+n 2>/dev/null
    expect_exit_code 0
    expect_launch "$(install_line "$1" "$2")"
    expect_eq "$(changed_ports)" "$3" "changed Ports values"
}

# Next pressed with Alt+N at once, from a folder with spaces, beside the
# information file and a planted rundll32.exe, with another planted in the
# current folder: COM1 and the default settings, the system's rundll32.
if prepare_case next-defaults 'C:\Program Files\Q7 Setup'; then
    echo "[Version]" >"$program_folder/ZUTW2KXPDrvs.INF"
    launch_folder="$prefix/drive_c/users/Public"
    mkdir -p "$launch_folder"
    cp "$standin" "$program_folder/rundll32.exe"
    cp "$standin" "$launch_folder/rundll32.exe"
    "$loader" reg add "$ports_key" /v COM1: /d "1200,e,7,2" /f >/dev/null 2>&1
    if launch_program; then
        expect_next_stores 'C:\Program Files\Q7 Setup' 'COM1:' 'COM1:=9600,n,8,1'
    fi
    finish_case
fi

# Tab to the serial ports, Down twice to COM3, Enter on Next after tabbing
# round. No information file lies beside the program (as in every case but
# the first): the install line is started all the same.
if start_case keyboard-com3 'C:\Setup'; then
    xdotool key --window "$window" Tab Tab Down Down 2>/dev/null
    sleep 0.3
    xdotool key --window "$window" Tab Tab Tab Tab Tab Tab Return 2>/dev/null
    expect_exit_code 0
    expect_launch "$(install_line 'C:\Setup' 'COM3:')"
    finish_case
fi

# COM2 by keyboard, 19200 and hardware flow control picked in the lists with
# the arrow keys, one list opened with Alt+Down: only COM2's value changes.
if start_case keyboard-com2 'C:\Setup'; then
    xdotool key --window "$window" Tab Tab Down Tab Down Down 2>/dev/null
    xdotool key --window "$window" Tab Tab Tab Tab alt+Down Up Return 2>/dev/null
    sleep 0.3
    expect_next_stores 'C:\Setup' 'COM2:' 'COM2:=19200,n,8,1,p'
    finish_case
fi

# LPT1 clicked with the mouse, then Next: the line names LPT1, nothing stored.
if start_case parallel-mouse 'C:\Setup'; then
    click_parallel_port 1
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
        grep -q 'command not implemented' "$output" && break
        sleep 0.1
    done
    parsed=$(grep -o 'opt: L"[a-z]"  L".*"' "$output" | tr '\n' '|')
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

# The close box of the frame Wine draws: the program ends with nothing
# launched or stored.
if start_case close-box 'C:\Setup' framed; then
    read_window_geometry
    caption=$((top - border))
    xdotool mousemove $((x + width - border - caption / 2 - 1)) $((y + border + caption / 2)) click 1 2>/dev/null
    expect_exit_code 0
    expect_eq "$(launches)" "" "launch"
    expect_eq "$(ports_values)" "$ports_before" "Ports values"
    finish_case
fi

# No Ports key: the driver is installed, the key is not created, the program
# ends normally.
if prepare_case ports-key-absent 'C:\Setup'; then
    "$loader" reg delete "$ports_key" /f >/dev/null 2>&1
    if launch_program; then
        choose_com4_fastest
        xdotool key --window "$window" alt+n 2>/dev/null
        expect_exit_code 0
        expect_launch "$(install_line 'C:\Setup' 'COM4:')"
        "$loader" reg query "$ports_key" >/dev/null 2>&1 && fail "the Ports key was created"
    fi
    finish_case
fi

# No rundll32.exe in the system folder: a message names the problem, the
# program ends with the system's error code, nothing is started or stored.
if prepare_case rundll32-absent 'C:\Setup'; then
    rm -f "$prefix/drive_c/windows/system32/rundll32.exe" "$prefix/drive_c/windows/syswow64/rundll32.exe"
    export WINEDEBUG=+msgbox
    if launch_program; then
        choose_com4_fastest
        xdotool key --window "$window" alt+n 2>/dev/null
        message=""
        for _ in $(seq 1 50); do
            message=$(sed -n 's/.*MSGBOX_OnInit //p' "$output")
            [ -n "$message" ] && break
            sleep 0.1
        done
        tried='system32'
        [ "$arch" = 32 ] && tried='Sysnative'
        expect_eq "${message%%File not found*}" "L\"The printer set-up could not be started.\\n\\nC:\\\\windows\\\\$tried\\\\rundll32.exe\\n\\n" "message"
        box=$(xdotool search --name '^Select Port Type$' 2>/dev/null | grep -v -x "$window" | head -n 1)
        [ -n "$box" ] && xdotool key --window "$box" Return 2>/dev/null
        expect_exit_code 2
        expect_eq "$(launches)" "" "launch"
        expect_eq "$(ports_values)" "$ports_before" "Ports values"
    fi
    finish_case
fi

# The program in a drive's root, in a folder with Korean letters and in one
# deeper than 260 characters.
if start_case drive-root 'C:\'; then
    choose_com4_fastest
    expect_next_stores 'C:\' 'COM4:' 'COM4:=128000,n,8,1'
    finish_case
fi

if start_case korean-folder 'C:\프린터 설치\드라이버'; then
    choose_com4_fastest
    expect_next_stores 'C:\프린터 설치\드라이버' 'COM4:' 'COM4:=128000,n,8,1'
    finish_case
fi

deep_folder='C:\Q7 Setup'
while [ ${#deep_folder} -le 300 ]; do
    deep_folder+='\Mini printer driver files for the Q7 MiniPrinter in Cut Mode'
done
if start_case deep-folder "$deep_folder"; then
    choose_com4_fastest
    expect_next_stores "$deep_folder" 'COM4:' 'COM4:=128000,n,8,1'
    finish_case
fi

# The dialog as the README shows it, with Wine's frame: the serial state at
# start, the parallel state after a click on LPT1.
if start_case pictures 'C:\Setup' framed; then
    mkdir -p "$work/screenshots"
    /usr/bin/import -window "$window" "$work/screenshots/dialog-serial.png"
    click_parallel_port 1
    /usr/bin/import -window "$window" "$work/screenshots/dialog-parallel.png"
    xdotool key --window "$window" alt+n 2>/dev/null
    expect_exit_code 0
    expect_launch "$(install_line 'C:\Setup' 'LPT1:')"
    finish_case
fi

# Fifty runs in a row in one prefix, each with other choices made with the
# keys (a port, then each list from its first entry) or a click on a parallel
# port: each run leaves its own port's value and no other change.
if prepare_case fifty-runs 'C:\Setup'; then
    bits_per_second=(1200 1800 2400 4800 7200 9600 14400 19200 38400 57600 115200 128000)
    data_bits=(4 5 6 7 8)
    parity=(e o n m s)
    stop_bits=(1 1.5 2)
    flow_control=(,x ,p "")
    runs=0
    ports_before=$(ports_values)
    for run in $(seq 0 49); do
        rm -f "$log"
        launch_program ports-known || break
        port=$((run % 6))
        if [ $port -lt 4 ]; then
            picks=($((run * 5 % 12)) $((run % 5)) $((run * 3 % 5)) $((run / 6 % 3)) $((run / 2 % 3)))
            keys=(Tab Tab)
            for _ in $(seq 1 $port); do keys+=(Down); done
            for pick in "${picks[@]}"; do
                keys+=(Tab Home)
                for _ in $(seq 1 "$pick"); do keys+=(Down); done
            done
            xdotool key --window "$window" "${keys[@]}" 2>/dev/null
            name="COM$((port + 1)):"
            value="${bits_per_second[picks[0]]},${parity[picks[2]]},${data_bits[picks[1]]},${stop_bits[picks[3]]}${flow_control[picks[4]]}"
            expected=$(echo "$ports_before" | sed "s/^$name=.*/$name=$value/")
        else
            click_parallel_port $((port - 3))
            name="LPT$((port - 3)):"
            expected=$ports_before
        fi
        sleep 0.3
        xdotool key --window "$window" alt+n 2>/dev/null
        failures_before=$failures
        expect_exit_code 0
        expect_launch "$(install_line 'C:\Setup' "$name")"
        ports_after=$(ports_values)
        expect_eq "$ports_after" "$expected" "Ports values after run $((run + 1)) ($name)"
        ports_before=$ports_after
        [ $failures -eq "$failures_before" ] && runs=$((runs + 1))
    done
    echo "fifty-runs: $runs of 50 runs as expected"
    finish_case
fi

if [ "$failures" -eq 0 ]; then
    echo "operator cases passed"
fi
exit $((failures > 0))
