#!/usr/bin/env bash
# The deliverables in the MSVC ABI: builds the presets msvc-x64 (plug-in,
# stand-in Maya and shader) and msvc-x86 (shader) with clang-cl and lld-link
# over MinGW-w64's headers and libraries, checks their PE tables, and runs the
# worked examples under Wine against the Linux build's results, bit for bit:
# the model's and the plug-in's through this build's own program, the
# shader's driven by the MinGW-w64 build's program and renderer.
#
#   bash scripts/test-msvc.sh
#
# LUMAVEIL_NATIVE_BUILD (default build/default) is the Linux build whose
# results are the reference; LUMAVEIL_WIN64_BUILD and LUMAVEIL_WIN32_BUILD
# (default build/windows-x64 and build/windows-x86) are the MinGW-w64 trees
# whose worked-examples program drives the shader, reused if
# scripts/test-windows.sh made them.
#
# The 32-bit worked examples run only where the kernel runs 32-bit programs:
# elsewhere the x86 tree is still built and its PE tables checked, and one
# line says what was skipped (see scripts/lib/stage.sh).
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh
source scripts/lib/wine.sh

native=${LUMAVEIL_NATIVE_BUILD:-build/default}
begin_windows_stage "$native" windows msvc

for preset in msvc-x64 msvc-x86; do
    case $preset in
        msvc-x64) mingw_preset=windows-x64 mingw=${LUMAVEIL_WIN64_BUILD:-build/windows-x64}
                  wine=/usr/lib/wine/wine64 bits=64 ;;
        msvc-x86) mingw_preset=windows-x86 mingw=${LUMAVEIL_WIN32_BUILD:-build/windows-x86}
                  wine=/usr/lib/wine/wine bits=32 ;;
    esac
    dir=build/$preset
    echo "== $preset ($dir) =="
    run_programs=ON
    runs_here "$preset" "$bits" "the worked examples (the tree is built and its PE tables checked)" ||
        run_programs=OFF

    # The program that drives the shader: the MinGW-w64 build's, with its
    # renderer. Built (not run) here unless scripts/test-windows.sh built it.
    start=$(now)
    configure_unless_configured "$mingw" "$mingw_preset" \
        -DLUMAVEIL_REFERENCE_RESULTS="$reference" -DLUMAVEIL_RUN_TARGET_PROGRAMS=$run_programs
    cmake --build "$mingw" --target lumaveil_worked_examples -j "$jobs"
    driver="$(absolute "$mingw")/bin/lumaveil_worked_examples.exe"
    timings+=("$preset MinGW-w64 driver: $(seconds_since "$start")")

    start=$(now)
    cmake --preset "$preset" -DLUMAVEIL_WORKED_EXAMPLES_DRIVER="$driver" \
        -DLUMAVEIL_REFERENCE_RESULTS="$reference" -DLUMAVEIL_RUN_TARGET_PROGRAMS=$run_programs >/dev/null
    timings+=("$preset configure: $(seconds_since "$start")")

    start=$(now)
    cmake --build --preset "$preset" -j "$jobs"
    timings+=("$preset build: $(seconds_since "$start")")

    # What we ship names no folder of this machine.
    for library in "$dir/mentalray/qv7k_lumaVeil.dll" "$dir/plugSource/lumaVeil.mll" \
        "$dir/arnold/lumaVeilArnold.dll"; do
        if [[ -f "$library" ]] && grep -qaF "$PWD" "$library"; then
            echo "test-msvc: $library holds a build path" >&2
            exit 1
        fi
    done

    # One wineserver for the tree, its prefix booted before CTest runs (see
    # scripts/test-windows.sh).
    start=$(now)
    [[ $run_programs == OFF ]] || start_wine "$dir/wineprefix" "$wine"
    ctest --preset "$preset" -j "$jobs"
    stop_wine
    timings+=("$preset tests: $(seconds_since "$start")")
done

report_timings MSVC-ABI
