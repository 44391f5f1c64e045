#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer and Undefined-
# BehaviorSanitizer) and runs every fuzzer for a bounded time, each from a
# scratch copy of its seed corpus in fuzz/corpus/<name>/, so that the
# repository's corpus does not grow. Any crash, leak, sanitizer report or
# failed check fails the stage; the input that caused it is left in
# build/fuzz/findings/<name>/.
#   FUZZ_SECONDS=<n>   time per fuzzer (default 60)
#   FUZZERS="a b"      run only these (default: all)
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

bash scripts/install-deps.sh build preview viewport fuzz

seconds=${FUZZ_SECONDS:-60}
fuzzers=${FUZZERS:-"shading shader arnold_shader maya_node preview_options"}

echo "== fuzz =="
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=build/fuzz/fuzz-run
findings=build/fuzz/findings
rm -rf "$work"
failed=()
for name in $fuzzers; do
    binary=build/fuzz/fuzz/fuzz_$name
    [[ -x "$binary" ]] || { echo "test-fuzz: no fuzzer $binary" >&2; exit 2; }
    mkdir -p "$work/$name" "$findings/$name"
    cp fuzz/corpus/"$name"/* "$work/$name"/ 2>/dev/null || true
    echo "-- fuzz_$name: ${seconds}s"
    if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$findings/$name/" \
        "$work/$name" >"$work/$name.log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units|#[0-9]+ *DONE)' "$work/$name.log" || true
    else
        failed+=("$name")
        tail -n 60 "$work/$name.log"
    fi
done

passed=$(( $(wc -w <<<"$fuzzers") - ${#failed[@]} ))
echo "fuzz: ${passed} passed, ${#failed[@]} failed"
if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzzers that failed: ${failed[*]} (inputs in $findings/)" >&2
    exit 1
fi
