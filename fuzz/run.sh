#!/usr/bin/env bash
# Runs the fuzz targets, each for the given number of seconds.
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# BUILD_DIR is a tree configured with clang and -DSONDRIX_FUZZ=ON, e.g.
#   CC=clang CXX=clang++ cmake -S . -B build/fuzz -DSONDRIX_FUZZ=ON \
#       -DSONDRIX_BUILD_TESTS=OFF -DSONDRIX_BUILD_BENCH=OFF
# (the fuzz_<target> programs are built there when missing). Without targets all
# run; JOBS (default 1) of them at a time. New inputs go to
# BUILD_DIR/fuzz/work/<target> (the stored seeds in fuzz/corpus are only
# read), crashes to BUILD_DIR/fuzz/artifacts, logs to BUILD_DIR/fuzz/logs.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?build dir}" && pwd)"
seconds="${2:?seconds}"
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(packet_parser core image_files wsq_decode record_files log_record)
fi
jobs="${JOBS:-1}"

missing=()
for name in "${targets[@]}"; do
    [ -x "$build/fuzz/fuzz_$name" ] || missing+=("fuzz_$name")
done
if [ ${#missing[@]} -ne 0 ]; then
    cmake --build "$build" -j1 --target "${missing[@]}"
fi
mkdir -p "$build/fuzz/logs" "$build/fuzz/artifacts" "$build/fuzz/scratch"

run_one() {
    local name="$1" status=0
    mkdir -p "$build/fuzz/work/$name"
    # The core target may write files where the program saves by default:
    # keep them out of the source tree.
    (cd "$build/fuzz/scratch" &&
        "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
            -timeout=20 -rss_limit_mb=3072 \
            -artifact_prefix="$build/fuzz/artifacts/$name-" \
            "$build/fuzz/work/$name" "$here/corpus/$name" \
            >"$build/fuzz/logs/$name.log" 2>&1) || status=1
    echo "$name: $(grep -E '^#[0-9]+' "$build/fuzz/logs/$name.log" | tail -1 || true)"
    if [ "$status" -ne 0 ]; then
        echo "$name: stopped with a finding, see $build/fuzz/logs/$name.log" >&2
    fi
    return "$status"
}

# Exits non-zero when any target found something.
failed=0
running=0
for name in "${targets[@]}"; do
    run_one "$name" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
exit "$failed"
