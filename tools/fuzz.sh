#!/bin/sh
# Runs every fuzz target of a ZENTO_FUZZ build for a bounded time, each from the committed seeds.
# Usage: tools/fuzz.sh BUILD_DIR SECONDS_PER_TARGET
# New inputs go to BUILD_DIR/corpus/<target>; an input that breaks a property is kept as
# BUILD_DIR/artifacts/<target>-crash-… and can be replayed with: BUILD_DIR/tests/fuzz/fuzz_<target> FILE
set -u
cd "$(dirname "$0")/.."
build=$1
seconds=$2
failed=""
for binary in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$binary" ] || continue
    target=${binary##*/fuzz_}
    mkdir -p "$build/corpus/$target" "$build/artifacts"
    dict=""
    [ -f "tests/fuzz/$target.dict" ] && dict="-dict=tests/fuzz/$target.dict"
    echo "== fuzz_$target: $seconds s"
    # shellcheck disable=SC2086 # dict is one word or none
    if ! "$binary" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=16384 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" $dict \
        "$build/corpus/$target" "tests/fuzz/corpus/$target" >"$build/fuzz_$target.log" 2>&1; then
        tail -n 40 "$build/fuzz_$target.log"
        failed="$failed $target"
    else
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$build/fuzz_$target.log" | tr '\n' ' '
        echo
    fi
done
if [ -n "$failed" ]; then
    echo "Fallan los objetivos de fuzzing:$failed (entradas en $build/artifacts)" >&2
    exit 1
fi
