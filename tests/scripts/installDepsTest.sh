#!/usr/bin/env bash
# scripts/install-deps.sh against a package mirror caught mid-sync: stand-ins
# of apt-get (whose update always fails), dpkg-query, dpkg, id (root) and
# sleep on PATH. The update is tried four times in all, the lists at hand
# serve, the 32-bit Windows package that cannot be installed is skipped in
# one line, and a 64-bit one that cannot fails the run, by name.
#   bash installDepsTest.sh <source root>
set -uo pipefail
script=$1/scripts/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # expect <what> <command...>: the command must succeed
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}

mkdir "$work/bin"
stand_in() { printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/bin/$1" && chmod +x "$work/bin/$1"; }
stand_in id 'echo 0'
stand_in sleep 'echo "sleep $*" >>"$WORK/log"'
stand_in dpkg '[[ $1 == --print-foreign-architectures ]] && echo i386'
stand_in dpkg-query 'grep -qx -- "${@: -1}" "$WORK/installed" && printf "install ok installed"'
stand_in apt-get '
if [[ $1 == update ]]; then
    echo update >>"$WORK/log"
    echo "E: Failed to fetch http://mirror/dists/bookworm/main/binary-i386/Packages  File has unexpected size"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
fi
packages=()
for argument in "${@:2}"; do [[ $argument == -* ]] || packages+=("$argument"); done
for package in "${packages[@]}"; do
    if grep -qx -- "$package" "$WORK/broken"; then
        echo "The following packages have unmet dependencies:"
        echo "E: Unable to correct problems, you have held broken packages ($package)." >&2
        exit 100
    fi
done
printf "%s\n" "${packages[@]}" >>"$WORK/installed"'

# Runs the script for the windows group with every package installed but
# those given: run <broken packages...>, leaving its output in $output.
run() {
    : >"$work/log"
    printf '%s\n' "$@" >"$work/broken"
    printf '%s\n' wine64 binutils-mingw-w64-i686 >"$work/installed"
    [[ " $* " == *" binutils-mingw-w64-x86-64 "* ]] || echo binutils-mingw-w64-x86-64 >>"$work/installed"
    output=$(WORK=$work PATH="$work/bin:$PATH" bash "$script" windows 2>&1)
    status=$?
}

# wine32:i386 cannot be installed: the run goes on without it.
run wine32:i386
expect "exit 0 without the 32-bit package: $output" test $status -eq 0
expect "four updates, five seconds apart: $(tr '\n' ' ' <"$work/log")" \
    test "$(tr '\n' ' ' <"$work/log")" = "update sleep 5 update sleep 5 update sleep 5 update "
expect "mingw-w64 installed from the lists at hand" grep -qx mingw-w64 "$work/installed"
expect "one line skips wine32:i386, saying why: $output" \
    test "$(grep -c 'SKIPPED: wine32:i386 (32-bit Windows) cannot be installed (unmet dependencies: E: Unable' <<<"$output")" = 1

# A 64-bit package cannot be installed: the run fails, naming it alone.
run wine32:i386 binutils-mingw-w64-x86-64
expect "a missing 64-bit package fails the run" test $status -ne 0
expect "the failure names binutils-mingw-w64-x86-64 alone: $output" \
    grep -qx "install-deps: cannot install binutils-mingw-w64-x86-64: unmet dependencies: E: Unable.*" <<<"$output"
expect "mingw-w64 installed all the same" grep -qx mingw-w64 "$work/installed"

exit $((failures > 0))
