#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-asan/ and runs each for the
# given number of seconds (default 30) over its corpus in fuzz/corpus/. New
# inputs go to a temporary folder, never into the repository; any crash,
# sanitizer report or hang fails the script and leaves its input in that folder.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
bash tools/clang-build.sh fuzzers

work=$(mktemp -d /tmp/fuzz.XXXXXX)
export UBSAN_OPTIONS=print_stacktrace=1
failed=0
for target in filter datetime coordinate ini areas; do
    mkdir -p "$work/$target/new" "$work/$target/found"
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
        -artifact_prefix="$work/$target/found/")
    [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
    log="$work/$target/log"
    if build-asan/fuzz/fuzz_"$target" "${options[@]}" "$work/$target/new" "fuzz/corpus/$target" \
        >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$target: $runs runs in $seconds s, nothing found"
    else
        failed=1
        echo "fuzz_$target FAILED; log and input in $work/$target" >&2
        grep -E -A20 'ERROR|runtime error|fuzz check failed' "$log" | head -60 >&2 || tail -40 "$log" >&2
        for input in "$work/$target/found"/*; do
            if [ -f "$input" ]; then
                echo "input $input:" >&2
                od -c "$input" | head -20 >&2
            fi
        done
    fi
done
if [ "$failed" -eq 0 ]; then
    rm -rf "$work"
fi
exit "$failed"
