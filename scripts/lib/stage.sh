# Sourced by the test stages: strict mode, a named failure for every step, and
# the probe for 32-bit programs.

set -Eeuo pipefail

# No stage ends on a bare exit status: the step that failed names itself.
stage_name=$(basename "${BASH_SOURCE[1]:-$0}" .sh)
trap 'stage_failed $? "$BASH_COMMAND" "$LINENO"' ERR
stage_failed() {
    trap - ERR
    echo "$stage_name: FAILED (status $1) at line $3: $2" >&2
    exit "$1"
}

# Whether this machine runs 32-bit x86 programs, found out by running one:
# Wine's 32-bit loader, which is what the 32-bit suites need (some kernels
# refuse 32-bit programs altogether). LUMAVEIL_32BIT_PROBE names another
# program to run instead; one that cannot run plays such a machine. The
# answer is no as well where the 32-bit Wine (wine32:i386) is not installed:
# the stages run scripts/install-deps.sh first, which skips it, saying why,
# when the package cannot be installed. When the answer is no, the reason is
# left in $no_32bit_reason. A probe missing while its package is installed is
# an installation fault, not an answer: the stage stops.
no_32bit_reason=
can_run_32bit() {
    local probe=${LUMAVEIL_32BIT_PROBE:-/usr/lib/wine/wine} output status=0
    if [[ ! -e "$probe" ]]; then
        if [[ $(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null || true) != "install ok installed" ]]; then
            no_32bit_reason="wine32:i386 is not installed (scripts/install-deps.sh says why it could not be)"
            return 1
        fi
        echo "$stage_name: FAILED: the 32-bit probe $probe is missing, though wine32:i386 is installed" >&2
        exit 2
    fi
    output=$("$probe" --version 2>&1) || status=$?
    [[ $status -ne 0 ]] || return 0
    # Bash prefixes its own exec errors with the script and line.
    no_32bit_reason="this machine cannot run 32-bit programs: $probe --version gave status $status: $(head -n 1 <<<"$output" | sed 's/^.*: line [0-9]*: //')"
    return 1
}

# Configures a build tree with a preset unless an earlier configure of it
# finished: a tree whose configure failed has a CMakeCache.txt but no
# build.ninja, and is configured again.
#   configure_unless_configured <tree> <preset> [cmake arguments...]
configure_unless_configured() {
    local tree=$1 preset=$2
    shift 2
    [[ -f "$tree/build.ninja" ]] || cmake --preset "$preset" -B "$tree" "$@" >/dev/null
}
