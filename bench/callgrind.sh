#!/usr/bin/env bash
# Instruction counts of one shading sample on each path (evaluateShading,
# the Maya node's compute through the stand-in host, the renderer shader
# through the stand-in renderer, the Arnold shader through the stand-in
# Arnold where the build has it), with 1, 4 and 16 lights, under callgrind.
# Repeatable where timings are not. Builds the default preset's
# bench_one_sample first; prints a Markdown table (bench/callgrind-record.md
# keeps the last one recorded).
#   bash bench/callgrind.sh [build-dir]      (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake --preset default -B "$build" >/dev/null
fi
cmake --build "$build" --target bench_one_sample >/dev/null
driver="$build/bench/bench_one_sample"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

instructions() {
    valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/cg.out" \
        "$driver" "$1" "$2" >/dev/null 2>&1
    awk '/^(summary|totals):/ { print $2; exit }' "$out/cg.out"
}

echo "| path | lights | instructions per sample | per light |"
echo "|---|---:|---:|---:|"
paths="model maya mentalray"
if "$driver" arnold 1 >/dev/null 2>&1; then
    paths="$paths arnold"
fi
for path in $paths; do
    for lights in 1 4 16; do
        count=$(instructions "$path" "$lights")
        echo "| $path | $lights | $count | $((count / lights)) |"
    done
done
