# Sourced, after stage.sh, by the stages that run Windows programs under Wine:
# step timings, the Linux build's reference results, and one Wine server per
# build tree.

absolute() { [[ $1 == /* ]] && echo "$1" || echo "$PWD/$1"; }
now() { date +%s%N; }
seconds_since() { local d=$(($(now) - $1)); printf '%d.%01d s' $((d / 1000000000)) $((d / 100000000 % 10)); }
timings=()
skipped=()
jobs=$(nproc)

# Writes the worked-examples results of the Linux build in $1, which every
# Windows build must reproduce, and leaves their path in $reference.
write_reference() {
    local native=$1 start
    start=$(now)
    echo "== reference (Linux build in $native) =="
    configure_unless_configured "$native" default
    cmake --build "$native" --target lumaveil_worked_examples -j "$(nproc)"
    reference="$(absolute "$native")/workedExamples.txt"
    "$native/tests/crossBuild/lumaveil_worked_examples" "$reference"
    timings+=("reference results: $(seconds_since "$start")")
}

# The start of a stage that runs the Windows builds' programs against the
# results of the Linux build in $1: the Debian packages it needs (groups
# after build and preview: the Linux build needs the preview's image
# libraries to configure), those results, and Wine stopped on exit.
#   begin_windows_stage <Linux build> <install-deps groups...>
begin_windows_stage() {
    local start
    start=$(now)
    bash scripts/install-deps.sh build preview "${@:2}"
    timings+=("toolchain and Wine: $(seconds_since "$start")")
    write_reference "$1"
    trap stop_wine EXIT
}

# Whether the programs of a preset or tree can run here: always for 64-bit
# ones; for 32-bit ones the probe decides, and a no is printed and kept as a
# SKIPPED line that names what is skipped.
#   runs_here <name> 32|64 <what is skipped>
runs_here() {
    [[ $2 == 32 ]] || return 0
    can_run_32bit && return 0
    skipped+=("SKIPPED: $1: $3, which need the 32-bit Wine: $no_32bit_reason")
    echo "${skipped[-1]}"
    return 1
}

# One Wine server for a whole build tree, started and its prefix booted before
# anything runs under Wine: Wine's services must not inherit the output pipes
# of CMake or CTest, which would then wait for them forever.
#   start_wine <prefix folder> <wine loader>
wineserver=/usr/lib/wine/wineserver
start_wine() {
    export WINEPREFIX="$(absolute "$1")" WINEDEBUG=-all
    mkdir -p "$WINEPREFIX"
    "$wineserver" -p </dev/null >/dev/null 2>&1
    WINEDLLOVERRIDES="mscoree,mshtml=" "$2" wineboot </dev/null >/dev/null 2>&1
}
stop_wine() {
    if [[ -n "${WINEPREFIX:-}" ]]; then
        "$wineserver" -k >/dev/null 2>&1 || true
        unset WINEPREFIX
    fi
}

# Prints the timings under a heading, then the SKIPPED lines again.
report_timings() {
    echo "== $1 timings =="
    printf '  %s\n' "${timings[@]}"
    if [[ ${#skipped[@]} -gt 0 ]]; then
        printf '%s\n' "${skipped[@]}"
    fi
}
