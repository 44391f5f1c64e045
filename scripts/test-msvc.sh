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

native=${LUMAVEIL_NATIVE_BUILD:-build/default}
jobs=$(nproc)

absolute() { [[ $1 == /* ]] && echo "$1" || echo "$PWD/$1"; }
now() { date +%s%N; }
seconds_since() { local d=$(($(now) - $1)); printf '%d.%01d s' $((d / 1000000000)) $((d / 100000000 % 10)); }
timings=()

start=$(now)
bash scripts/install-deps.sh build windows msvc
timings+=("toolchain and Wine: $(seconds_since "$start")")

# The Linux build's worked examples, which every build must reproduce.
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
for preset in msvc-x64 msvc-x86; do
    case $preset in
        msvc-x64) mingw_preset=windows-x64 mingw=${LUMAVEIL_WIN64_BUILD:-build/windows-x64}
                  wine=/usr/lib/wine/wine64 ;;
        msvc-x86) mingw_preset=windows-x86 mingw=${LUMAVEIL_WIN32_BUILD:-build/windows-x86}
                  wine=/usr/lib/wine/wine ;;
    esac
    dir=build/$preset
    echo "== $preset ($dir) =="
    run_programs=ON
    if [[ $preset == msvc-x86 ]] && ! can_run_32bit; then
        run_programs=OFF
        skipped+=("SKIPPED: the msvc-x86 worked examples under the 32-bit Wine (built the x86 tree and checked its PE tables only): this machine cannot run 32-bit programs ($no_32bit_reason)")
        echo "${skipped[-1]}"
    fi

    # The program that drives the shader: the MinGW-w64 build's, with its
    # renderer. Built (not run) here unless scripts/test-windows.sh built it.
    start=$(now)
    [[ -f "$mingw/CMakeCache.txt" ]] ||
        cmake --preset "$mingw_preset" -B "$mingw" -DLUMAVEIL_REFERENCE_RESULTS="$reference" \
            -DLUMAVEIL_RUN_TARGET_PROGRAMS=$run_programs >/dev/null
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
    for library in "$dir/mentalray/qv7k_lumaVeil.dll" "$dir/plugSource/lumaVeil.mll"; do
        if [[ -f "$library" ]] && grep -qaF "$PWD" "$library"; then
            echo "test-msvc: $library holds a build path" >&2
            exit 1
        fi
    done

    # One wineserver for the tree, its prefix booted before CTest runs (see
    # scripts/test-windows.sh).
    start=$(now)
    if [[ $run_programs == ON ]]; then
        export WINEPREFIX="$(absolute "$dir")/wineprefix" WINEDEBUG=-all
        mkdir -p "$WINEPREFIX"
        "$wineserver" -p </dev/null >/dev/null 2>&1
        WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot </dev/null >/dev/null 2>&1
    fi
    ctest --preset "$preset" -j "$jobs"
    stop_wine
    unset WINEPREFIX
    timings+=("$preset tests: $(seconds_since "$start")")
done

echo "== MSVC-ABI timings =="
printf '  %s\n' "${timings[@]}"
if [[ ${#skipped[@]} -gt 0 ]]; then
    printf '%s\n' "${skipped[@]}"
fi
