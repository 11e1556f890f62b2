#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build for a number of seconds.
# Usage: run-fuzz.sh BUILD_DIR SECONDS [TARGET...]
# Each target starts from a copy of its seed corpus (fuzz/corpus/TARGET) in
# BUILD_DIR/corpus/TARGET, so new inputs never land in the committed corpus. Inputs that
# break a property or trip a sanitizer are kept as BUILD_DIR/artifacts/TARGET-*.
# Exits non-zero when any target failed.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?build folder}"
seconds="${2:?seconds per target}"
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_leading_number fuzz_last_entry fuzz_record fuzz_cp932)
fi

# The last-entry target writes (and fsyncs) a file on every run: keep that in memory when
# possible. A private folder, removed at the end, also takes what a crashed run leaves.
base="${TMPDIR:-/tmp}"
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    base=/dev/shm
fi
TMPDIR="$(mktemp -d "$base/nenrei-fuzz.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

mkdir -p "$build/artifacts" "$build/logs"
failed=()
summary=()
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    log="$build/logs/$t.log"
    mkdir -p "$corpus"
    cp -n "$root/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
    echo "== $t: ${seconds}s"
    "$build/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$t-" "$corpus" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    if [ $status -ne 0 ]; then
        failed+=("$t")
        summary+=("$t: FAILED (exit $status) after ${runs:-?} runs, log $log")
        tail -n 40 "$log"
    else
        summary+=("$t: ${runs:-?} runs, ${rate:-?} runs/s")
    fi
done

echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
    echo "failed: ${failed[*]}" >&2
    exit 1
fi
