#!/usr/bin/env bash
# full_disk_test.sh SONDRIX_CLI [FAULT_LAYER]
# sondrix-cli with its built-in module on a small file system that fills up
# (and then goes read-only): capture, log, trace and backup leave the file
# that was there or the whole new one, never a cut one, no temporary file
# behind, and end with exit status 5 naming the file and the reason. The file
# system is a tmpfs in a user and mount namespace of the test's own, which
# an ordinary user may make too; given FAULT_LAYER (a library for LD_PRELOAD
# that makes a folder fill up or go read-only), an ordinary folder on it, for
# systems that make no namespace (containers).
set -euo pipefail
cli=$1
layer=${2:-}
if [ -z "$layer" ] && [ "${SONDRIX_FULL_DISK_NAMESPACE:-}" != 1 ]; then
    if ! unshare --user --map-root-user --mount true 2>/dev/null; then
        echo "SKIP: this system makes no user namespace (unshare), where a tmpfs could be mounted"
        exit 77
    fi
    exec unshare --user --map-root-user --mount env SONDRIX_FULL_DISK_NAMESPACE=1 "$0" "$@"
fi

scratch=$(realpath "$(mktemp -d)")
disk=$scratch/disk
mkdir "$disk" "$scratch/locks"
export SONDRIX_LOCK_DIR=$scratch/locks
room=
read_only=
if [ -z "$layer" ]; then
    trap 'while umount "$disk" 2>/dev/null; do :; done; rm -rf "$scratch"' EXIT
    mount -t tmpfs -o size=1m,mode=0755 tmpfs "$disk"
else
    trap 'rm -rf "$scratch"' EXIT
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Takes all of the disk's room but `keep` bytes.
fill() {
    local keep=${1:-0}
    if [ -n "$layer" ]; then
        room=$keep
        return
    fi
    local free
    free=$(df --output=avail -B1 "$disk" | tail -n1)
    if [ $((free - keep)) -ge 4096 ]; then
        dd if=/dev/zero of="$disk/filler" bs=4096 count=$(((free - keep) / 4096)) 2>/dev/null
    fi
    if [ "$keep" = 0 ]; then
        # What dd's whole blocks left.
        cat /dev/zero >>"$disk/filler" 2>/dev/null || true
    fi
}
unfill() {
    room=
    rm -f "$disk/filler"
}
# Runs sondrix-cli with the simulated module: $status, and its messages in $scratch/err.
run() {
    set +e
    local faults=()
    if [ -n "$layer" ]; then
        faults=(LD_PRELOAD="$layer" SONDRIX_FAULT_DIR="$disk" SONDRIX_FAULT_ROOM="$room"
            SONDRIX_FAULT_READONLY="$read_only")
    fi
    env "${faults[@]}" "$cli" --simulate --sim-users 3 --baud 115200 -q "$@" >"$scratch/out" 2>"$scratch/err"
    status=$?
    set -e
}
expect() {
    local what=$1 wanted=$2 said=$3
    [ "$status" = "$wanted" ] || fail "$what: exit status $status, not $wanted: $(cat "$scratch/err")"
    [ -z "$said" ] || grep -qF -- "$said" "$scratch/err" ||
        fail "$what: expected '$said', got: $(cat "$scratch/err")"
}
unchanged() {
    [ "$(cat "$1")" = "$2" ] || fail "$1 was changed: $(head -c 80 "$1" | od -c | head -n2)"
}
no_temporary_files() {
    local left
    left=$(find "$disk" -name '.sondrix-*' ! -name ".sondrix-$$-0.tmp")
    [ -z "$left" ] || fail "$1: temporary files left behind: $left"
}

# capture: the old image stays; with room, the new one is whole.
printf 'old image' >"$disk/finger.bmp"
fill
run capture -o "$disk/finger.bmp"
expect "capture on a full disk" 5 "cannot write $disk/finger.bmp: No space left on device"
unchanged "$disk/finger.bmp" "old image"
no_temporary_files capture
unfill
run capture -o "$disk/finger.bmp"
expect "capture with room" 0 ""
header_size=$(od -An -tu4 -j2 -N4 "$disk/finger.bmp" | tr -d ' ')
[ "$(stat -c %s "$disk/finger.bmp")" = "$header_size" ] && [ "$header_size" -gt 1078 ] ||
    fail "the captured image is not whole: $(stat -c %s "$disk/finger.bmp") bytes, header says $header_size"

# log: the old log stays; with room, the new one is the module's whole log.
run log -o "$scratch/roomy.log"
expect "log on a roomy disk" 0 ""
printf 'old log\r\n' >"$disk/module.log"
fill
run log -o "$disk/module.log"
expect "log on a full disk" 5 \
    "Cannot write the log file; the download was stopped: $disk/module.log (No space left on device)"
unchanged "$disk/module.log" $'old log\r'
no_temporary_files log
unfill
run log -o "$disk/module.log"
expect "log with room" 0 ""
cmp -s "$scratch/roomy.log" "$disk/module.log" || fail "the log written with room is not whole"

# trace: a stream, cut where the disk filled, at the end of a whole block or
# line in both files, and both named.
fill 16384
run --trace "$disk/s.pcapng" capture -o "$scratch/f.raw"
expect "trace on a disk that fills" 5 \
    "the traces $disk/s.pcapng and $disk/s.pcapng.txt were not written completely: No space left on device"
[ -s "$disk/s.pcapng" ] || fail "the trace holds nothing of what fitted"
[ "$(tail -c1 "$disk/s.pcapng.txt" | od -An -c | tr -d ' ')" = '\n' ] ||
    fail "the text trace ends in the middle of a line"
if command -v tshark >/dev/null; then
    tshark -r "$disk/s.pcapng" >/dev/null 2>"$scratch/tshark" ||
        fail "tshark cannot read the cut trace: $(cat "$scratch/tshark")"
fi
unfill
rm -f "$disk"/s.pcapng*

# backup: the old records stay; temporary files of writers that ended go,
# those of one that runs stay; with room, every record is whole.
run backup "$scratch/roomy"
expect "backup on a roomy disk" 0 ""
mkdir "$disk/records"
printf 'old record' >"$disk/records/1.rec"
sh -c 'exit 0' &
ended=$!
wait "$ended"
touch "$disk/records/.sondrix-$ended-0.tmp" "$disk/records/.sondrix-$$-0.tmp"
fill
run backup "$disk/records"
expect "backup on a full disk" 5 \
    "3 of 3 records could not be saved: first failure: $disk/records/1.rec: No space left on device"
unchanged "$disk/records/1.rec" "old record"
[ ! -e "$disk/records/.sondrix-$ended-0.tmp" ] || fail "the temporary file of an ended writer stays"
[ -e "$disk/records/.sondrix-$$-0.tmp" ] || fail "the temporary file of a running writer was removed"
no_temporary_files backup
unfill
run backup "$disk/records"
expect "backup with room" 0 ""
for record in 1 2 3; do
    cmp -s "$scratch/roomy/$record.rec" "$disk/records/$record.rec" || fail "record $record is not whole"
done

# A read-only file system is named as such.
if [ -n "$layer" ]; then
    read_only=1
else
    # A user namespace may not remount the tmpfs read-only, but may its bind mount.
    mount --bind "$disk" "$disk"
    mount -o remount,bind,ro "$disk"
fi
run backup "$disk/new"
expect "backup into a new folder on a read-only disk" 5 \
    "cannot use the folder $disk/new: Read-only file system"
run backup "$disk/records"
expect "backup on a read-only disk" 5 "$disk/records/1.rec: Read-only file system"
run capture -o "$disk/finger.bmp"
expect "capture on a read-only disk" 5 "cannot write $disk/finger.bmp: Read-only file system"
echo "capture, log, trace and backup keep whole files on a full and a read-only disk"
