#!/usr/bin/env bash
# Builds the fuzz targets and runs each for the given number of seconds
# (default 60), starting from the committed seed corpus. Any finding fails
# the run; the input that caused it is kept in the scratch folder printed
# at the end. Nothing is written into the repository.
# Usage: fuzz/run.sh [seconds] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_prg fuzz_answer fuzz_arguments fuzz_json fuzz_t64 fuzz_lnx fuzz_disk_sectors fuzz_d64 fuzz_zipcode fuzz_zip fuzz_gzip)

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz

scratch=$(mktemp -d /tmp/mog-fuzz-XXXXXX)
status=0
for target in "${targets[@]}"; do
    max_len=4096
    case "$target" in fuzz_d64) max_len=200000 ;; fuzz_disk_sectors | fuzz_zip) max_len=8192 ;; fuzz_zipcode) max_len=20000 ;; esac
    mkdir -p "$scratch/$target/corpus"
    if build/fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len="$max_len" \
        -artifact_prefix="$scratch/$target/" -print_final_stats=1 \
        "$scratch/$target/corpus" "fuzz/corpus/$target" >"$scratch/$target/log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$target/log" | grep -o '[0-9]*$')
        echo "$target: no finding in ${seconds}s, ${runs} runs"
    else
        echo "$target: FINDING, see $scratch/$target/log"
        tail -n 40 "$scratch/$target/log"
        status=1
    fi
done
[ "$status" -ne 0 ] || rm -rf "$scratch"
exit "$status"
