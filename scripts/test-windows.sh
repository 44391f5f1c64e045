#!/usr/bin/env bash
# The Windows deliverables: cross-builds lumaVeil.mll (64-bit) and
# qv7k_lumaVeil.dll (32-bit and 64-bit) with MinGW-w64 and runs their suites
# under Wine, checking the worked examples against the Linux build's results.
#
#   bash scripts/test-windows.sh
#
# LUMAVEIL_NATIVE_BUILD (default build/default) is the Linux build whose
# results are the reference; LUMAVEIL_WIN64_BUILD and LUMAVEIL_WIN32_BUILD
# (default build/windows-x64 and build/windows-x86) are the Windows trees.
#
# The 32-bit suites run only where the kernel runs 32-bit programs: elsewhere
# the x86 tree is still built and its PE tables checked, and one line says
# what was skipped. LUMAVEIL_32BIT_PROBE (see scripts/lib/stage.sh) points the
# check at another program.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

native=${LUMAVEIL_NATIVE_BUILD:-build/default}
jobs=$(nproc)

absolute() { [[ $1 == /* ]] && echo "$1" || echo "$PWD/$1"; }
now() { date +%s%N; }
seconds_since() { local d=$(($(now) - $1)); printf '%d.%01d s' $((d / 1000000000)) $((d / 100000000 % 10)); }
timings=()

start=$(now)
bash scripts/install-deps.sh build windows
timings+=("toolchain and Wine: $(seconds_since "$start")")

# The Linux build's worked examples, which every Windows build must reproduce.
start=$(now)
echo "== reference (Linux build in $native) =="
[[ -f "$native/CMakeCache.txt" ]] || cmake --preset default -B "$native" >/dev/null
cmake --build "$native" --target lumaveil_worked_examples -j "$jobs"
reference="$(absolute "$native")/workedExamples.txt"
"$native/tests/crossBuild/lumaveil_worked_examples" "$reference"
timings+=("reference results: $(seconds_since "$start")")

wineserver=/usr/lib/wine/wineserver
stop_wine() {
    if [[ -n "${WINEPREFIX:-}" ]]; then
        "$wineserver" -k >/dev/null 2>&1 || true
    fi
}
trap stop_wine EXIT

skipped=()
for preset in windows-x64 windows-x86; do
    case $preset in
        windows-x64) dir=${LUMAVEIL_WIN64_BUILD:-build/windows-x64} wine=/usr/lib/wine/wine64 ;;
        windows-x86) dir=${LUMAVEIL_WIN32_BUILD:-build/windows-x86} wine=/usr/lib/wine/wine ;;
    esac
    echo "== $preset ($dir) =="
    start=$(now)
    run_programs=ON
    if [[ $preset == windows-x86 ]] && ! can_run_32bit; then
        run_programs=OFF
        skipped+=("SKIPPED: the windows-x86 suites under the 32-bit Wine (built the x86 tree and checked its PE tables only): this machine cannot run 32-bit programs ($no_32bit_reason)")
        echo "${skipped[-1]}"
    fi
    cmake --preset "$preset" -B "$dir" -DLUMAVEIL_REFERENCE_RESULTS="$reference" \
        -DLUMAVEIL_RUN_TARGET_PROGRAMS=$run_programs >/dev/null

    # One wineserver for the whole build tree, started and its prefix booted
    # before anything runs under Wine: Wine's services must not inherit the
    # output pipes of CMake or CTest, which would then wait for them forever.
    if [[ $run_programs == ON ]]; then
        export WINEPREFIX="$(absolute "$dir")/wineprefix" WINEDEBUG=-all
        mkdir -p "$WINEPREFIX"
        "$wineserver" -p </dev/null >/dev/null 2>&1
        WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot </dev/null >/dev/null 2>&1
    fi
    timings+=("$preset configure and Wine prefix: $(seconds_since "$start")")

    start=$(now)
    cmake --build "$dir" -j "$jobs"
    timings+=("$preset build: $(seconds_since "$start")")

    start=$(now)
    ctest --test-dir "$dir" --output-on-failure --no-tests=error --timeout 120 -j "$jobs"
    timings+=("$preset tests: $(seconds_since "$start")")

    stop_wine
    unset WINEPREFIX
done

echo "== Windows timings =="
printf '  %s\n' "${timings[@]}"
if [[ ${#skipped[@]} -gt 0 ]]; then
    printf '%s\n' "${skipped[@]}"
fi
