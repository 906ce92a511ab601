#!/usr/bin/env bash
# sondrix-cli.exe under Wine against hlxsim: Wine's COM1 is linked to the
# simulator's pseudo-terminal, so every byte goes through the Win32 serial
# code (CreateFile, DCB, overlapped reads, WaitCommEvent) and a real line.
#
# Usage: wine_end_to_end.sh WINDOWS_CLI_EXE HOST_BUILD_DIR
#   HOST_BUILD_DIR holds the Linux src/hlxsim and src/sondrix-cli.
# WINEPREFIX must name a booted prefix (wineboot -i).
set -euo pipefail

cli_exe=$(realpath "$1")
hlxsim=$(realpath "$2/src/hlxsim")
linux_cli=$(realpath "$2/src/sondrix-cli")
host_build=$(realpath "$2")
: "${WINEPREFIX:?WINEPREFIX must name a booted Wine prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine hands the program its arguments in the Unix locale's encoding.
export LC_ALL=C.UTF-8
wine=$(command -v wine64 || command -v wine)

work=$(mktemp -d)
sim_pid=
cleanup() {
    stop_module
    wineserver -k 2>/dev/null || true
    rm -f "$WINEPREFIX/dosdevices/com1"
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
}

# Starts hlxsim with the given options and links Wine's COM1 to its pty.
start_module() {
    stop_module
    "$hlxsim" "$@" >sim.out 2>sim.err &
    sim_pid=$!
    for _ in $(seq 100); do
        [ -s sim.out ] && break
        sleep 0.05
    done
    pty=$(head -n 1 sim.out)
    [ -c "$pty" ] || { echo "hlxsim did not start: $(cat sim.err)" >&2; exit 1; }
    ln -sfn "$pty" "$WINEPREFIX/dosdevices/com1"
}
stop_module() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=
    fi
}
# Wine's mount manager points COM1 at /dev/ttyS0 whenever a session starts.
# One session for the whole run, started before COM1 is linked, keeps the
# link to the simulator's pty in place.
wineserver -p 2>/dev/null || true  # already running: it stays
"$wine" "$cli_exe" --version >/dev/null

# Runs sondrix-cli.exe; sets status, out and err.
wcli() {
    status=0
    "$wine" "$cli_exe" --port COM1 --timeout 10 "$@" >out.txt 2>err.txt || status=$?
    out=$(tr -d '\r' <out.txt)
    err=$(tr -d '\r' <err.txt)
}
expect_status() {
    local want=$1 what=$2
    if [ "$status" -eq "$want" ]; then
        pass "$what"
    else
        fail "$what: exit status $status, expected $want; stderr: $err"
    fi
}
expect_text() {
    local text=$1 haystack=$2 what=$3
    if [[ "$haystack" == *"$text"* ]]; then
        pass "$what"
    else
        fail "$what: \"$text\" not in: $haystack"
    fi
}

# Waits (at most 30 s) until the running program has connected, so that what
# happens next meets a transfer under way however slowly Wine starts.
wait_until_connected() {
    for _ in $(seq 300); do
        grep -q "connected to" err.txt 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the program did not connect within 30 s: $(tr -d '\r' <err.txt)"
}

# The Wireshark dissector goes to the user's roaming application data, and
# it is the one the Linux build generated.
status=0
"$wine" "$cli_exe" --install-wireshark-plugin >out.txt 2>err.txt || status=$?
out=$(tr -d '\r' <out.txt)
expect_status 0 "--install-wireshark-plugin"
expect_text 'AppData\Roaming\Wireshark\plugins\hlx.lua' "$out" "the plugin goes to %APPDATA%"
installed=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Wireshark/plugins/hlx.lua' | head -n 1)
if [ -n "$installed" ] && cmp -s "$installed" "$host_build/src/wireshark/hlx.lua"; then
    pass "the installed dissector is the generated one"
else
    fail "no hlx.lua in the prefix's AppData, or it differs from the generated one"
fi

# Identification at a fixed rate.
start_module --model HLX-M18 --baud 115200
wcli --baud 115200 info
expect_status 0 "info at 115200"
expect_text "HLX-M18" "$out" "info names the model"
# COM10 and above exist only in the device namespace (\\.\COM12).
ln -sfn "$pty" "$WINEPREFIX/dosdevices/com12"
status=0
"$wine" "$cli_exe" --port COM12 --baud 115200 --timeout 10 info >out.txt 2>err.txt || status=$?
out=$(tr -d '\r' <out.txt)
err=$(tr -d '\r' <err.txt)
rm -f "$WINEPREFIX/dosdevices/com12"
expect_status 0 "info on COM12"
expect_text "HLX-M18" "$out" "COM12 reaches the module"

# A captured image is byte for byte the one the Linux build saves.
wcli --baud 115200 -q capture -o windows.bmp
expect_status 0 "capture -o windows.bmp"
"$linux_cli" --port "$pty" --baud 115200 -q capture -o linux.bmp >/dev/null
if cmp -s windows.bmp linux.bmp && [ -s windows.bmp ]; then
    pass "windows.bmp is identical to the Linux capture ($(stat -c %s windows.bmp) bytes)"
else
    fail "windows.bmp differs from the Linux capture"
fi

# Without pseudo-terminals the simulated module lives inside the program:
# the same image as the Linux build's simulated module on its pty.
status=0
"$wine" "$cli_exe" --simulate --sim-model HLX-M18 -q capture -o simulated.bmp >out.txt 2>err.txt ||
    status=$?
err=$(tr -d '\r' <err.txt)
expect_status 0 "capture from the built-in simulated module"
"$linux_cli" --simulate --sim-model HLX-M18 -q capture -o linux-simulated.bmp >/dev/null
if cmp -s simulated.bmp linux-simulated.bmp && [ -s simulated.bmp ]; then
    pass "the built-in module's image is identical to the Linux build's"
else
    fail "simulated.bmp differs from the Linux build's simulated capture"
fi

# Backup of 20 users into a folder whose name is not ASCII, restore into an
# empty module with a wildcard the program expands itself (cmd.exe does not).
start_module --baud 115200 --users 20
wcli --baud 115200 -q backup "Sicherung Ω 指纹"
expect_status 0 "backup of 20 users"
saved=$(find "Sicherung Ω 指纹" -name '*.rec' | wc -l)
[ "$saved" -eq 20 ] && pass "20 record files written into Sicherung Ω 指纹" ||
    fail "$saved record files in Sicherung Ω 指纹, expected 20: $(ls)"
start_module --baud 115200 --users 0
wcli --baud 115200 -q restore 'Sicherung Ω 指纹\*.rec'
expect_status 0 "restore of 20 records from Sicherung Ω 指纹\\*.rec"
wcli --baud 115200 -q --json users
users=$(grep -o '"id"' <<<"$out" | wc -l)
[ "$users" -eq 20 ] && pass "the module holds the 20 restored users" ||
    fail "the module holds $users users after the restore: $out"

# One record from a folder that is not ASCII, and the log into such a file.
mkdir -p "Daten Ω"
cp "$(find "Sicherung Ω 指纹" -name '*.rec' | sort | head -n 1)" "Daten Ω/1.rec"
wcli --baud 115200 -q restore "Daten Ω/1.rec"
expect_status 0 "restore from Daten Ω/1.rec"
wcli --baud 115200 -q log -o "Protokoll Ω.log"
expect_status 0 "log -o Protokoll Ω.log"
[ -f "Protokoll Ω.log" ] && pass "the log is Protokoll Ω.log" || fail "no Protokoll Ω.log: $(ls)"

# Windows port names in any case; a port past COM8 keeps its name.
ln -sfn "$pty" "$WINEPREFIX/dosdevices/com12"
status=0
"$wine" "$cli_exe" --port com12 --baud 115200 --timeout 10 --json info >out.txt 2>err.txt ||
    status=$?
out=$(tr -d '\r' <out.txt)
err=$(tr -d '\r' <err.txt)
rm -f "$WINEPREFIX/dosdevices/com12"
expect_status 0 "info on --port com12"
expect_text '"port": "COM12"' "$out" "the JSON names COM12"
expect_text "COM12" "$err" "the progress names COM12"
[[ "$err$out" != *"COM1 "* && "$out" != *'"COM1"'* ]] && pass "nothing calls COM12 COM1" ||
    fail "COM12 reported as COM1: $err $out"
[[ "$out" != *low_latency* ]] && pass "no low_latency on Windows" || fail "JSON has low_latency: $out"
"$wine" "$cli_exe" --help >out.txt 2>&1 || true
help=$(tr -d '\r' <out.txt)
for word in ttyUSB0 /dev/serial/by-id '~/.local'; do
    [[ "$help" != *"$word"* ]] && pass "--help does not speak of $word" || fail "--help speaks of $word"
done
[[ ! "$help" =~ [[:space:]]ps[[:space:]] ]] && pass "--help does not speak of ps" ||
    fail "--help speaks of ps"

# The baud-rate search finds a module at 57600.
start_module --baud 57600
wcli info
expect_status 0 "baud search"
expect_text "57600" "$out$err" "the search found the module at 57600"

# 14400 bps: whether Wine hands it to the line, and that a search passes it.
start_module --baud 14400
wcli --baud 14400 -q info
if [ "$status" -eq 0 ]; then
    echo "note: Wine passes 14400 bps to the pseudo-terminal"
else
    echo "note: 14400 bps does not reach the pseudo-terminal under Wine (status $status: $err)"
fi
start_module --baud 19200
wcli info
expect_status 0 "a search over 14400 goes on to 19200"

# A pulled line: the module vanishes in the middle of a slow capture. The
# Windows program must end as the Linux one does on the same fault.
pulled_run() {
    start_module --baud 9600 --pace
    local cli=("$wine" "$cli_exe" --port COM1)
    [ "$1" = linux ] && cli=("$linux_cli" --port "$pty")
    "${cli[@]}" --baud 9600 --timeout 10 capture -o pulled.bmp >out.txt 2>err.txt &
    local cli_pid=$!
    wait_until_connected
    sleep 1
    stop_module
    status=0
    wait "$cli_pid" || status=$?
    err=$(tr -d '\r' <err.txt)
}
pulled_run linux
[ "$status" -eq 3 ] || fail "the Linux build ended a pulled line with status $status, expected 3"
rm -f pulled.bmp
pulled_run windows
expect_status 3 "a pulled line ends the run with status 3, as on Linux"
expect_text "The serial line is gone: COM1" "$err" "a pulled line is reported as gone"
[ ! -e pulled.bmp ] && pass "no image file from a pulled line" || fail "pulled.bmp was written"

# Ctrl-C (Wine turns the SIGINT into the console's Ctrl-C event) ends a
# capture through the normal path: status 130, the reason, no image file.
start_module --baud 9600 --pace
"$wine" "$cli_exe" --port COM1 --baud 9600 --timeout 10 capture -o interrupted.bmp \
    >out.txt 2>err.txt &
cli_pid=$!
wait_until_connected
sleep 1
kill -INT "$cli_pid"
status=0
wait "$cli_pid" || status=$?
err=$(tr -d '\r' <err.txt)
expect_status 130 "Ctrl-C ends the run with status 130"
expect_text "interrupted by signal 2" "$err" "Ctrl-C is reported"
[ ! -e interrupted.bmp ] && pass "no image file from an interrupted capture" ||
    fail "interrupted.bmp was written"

# The time of a 260x300 capture at 115200 bps against its time on the wire,
# whole runs (start, connection, capture, file) of both builds.
timed_capture() {
    start_module --model HLX-M18 --baud 115200 --pace
    local start
    start=$(date +%s%N)
    if [ "$1" = linux ]; then
        status=0
        "$linux_cli" --port "$pty" --baud 115200 -q capture -o paced.bmp >/dev/null 2>&1 ||
            status=$?
    else
        wcli --baud 115200 -q capture -o paced.bmp
    fi
    elapsed_ms=$((($(date +%s%N) - start) / 1000000))
    expect_status 0 "paced capture at 115200 ($1)"
}
timed_capture linux
linux_ms=$elapsed_ms
timed_capture windows
# 260 x 300 image bytes plus the packet's 14-byte frame, 10 bits a byte.
wire_ms=$(((260 * 300 + 14) * 10 * 1000 / 115200))
echo "note: 260x300 capture at 115200 bps, whole run: ${elapsed_ms} ms under Wine," \
    "${linux_ms} ms on Linux (the image on the wire: ${wire_ms} ms)"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all Wine end-to-end checks passed"
