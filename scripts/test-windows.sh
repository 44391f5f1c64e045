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
source scripts/lib/wine.sh

native=${LUMAVEIL_NATIVE_BUILD:-build/default}
begin_windows_stage "$native" windows

for preset in windows-x64 windows-x86; do
    case $preset in
        windows-x64) dir=${LUMAVEIL_WIN64_BUILD:-build/windows-x64} wine=/usr/lib/wine/wine64 bits=64 ;;
        windows-x86) dir=${LUMAVEIL_WIN32_BUILD:-build/windows-x86} wine=/usr/lib/wine/wine bits=32 ;;
    esac
    echo "== $preset ($dir) =="
    start=$(now)
    run_programs=ON
    runs_here "$preset" "$bits" "the suites (the tree is built and its PE tables checked)" ||
        run_programs=OFF
    cmake --preset "$preset" -B "$dir" -DLUMAVEIL_REFERENCE_RESULTS="$reference" \
        -DLUMAVEIL_RUN_TARGET_PROGRAMS=$run_programs >/dev/null
    [[ $run_programs == OFF ]] || start_wine "$dir/wineprefix" "$wine"
    timings+=("$preset configure and Wine prefix: $(seconds_since "$start")")

    start=$(now)
    cmake --build "$dir" -j "$jobs"
    timings+=("$preset build: $(seconds_since "$start")")

    start=$(now)
    ctest --test-dir "$dir" --output-on-failure --no-tests=error --timeout 120 -j "$jobs"
    timings+=("$preset tests: $(seconds_since "$start")")

    stop_wine
done

report_timings Windows
