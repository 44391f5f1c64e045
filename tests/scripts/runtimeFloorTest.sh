#!/usr/bin/env bash
# scripts/check-runtime-floor.sh on a folder as an install leaves it: a built
# library, its split debug information and a text file. Only the library is
# read; a floor at its newest glibc version passes, one numerically above it
# though smaller as text passes, one below fails naming the version and its
# symbols; a folder without libraries is an error.
#   bash runtimeFloorTest.sh <source root> <library>
set -uo pipefail
check=$1/scripts/check-runtime-floor.sh
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

name=$(basename "$2")
mkdir -p "$work/tree/lib" "$work/empty"
cp "$2" "$work/tree/lib/"
cp "$2" "$work/tree/lib/$name.debug"
echo "# not a library" >"$work/tree/README.md"

output=$(bash "$check" --glibc 99 --glibcxx 99 --cxxabi 99 "$work/tree" 2>&1)
expect "a floor above everything passes: $output" test $? -eq 0
expect "one library read: $output" test "$(grep -c ': needs ' <<<"$output")" -eq 1
newest=$(sed -n "s|^$work/tree/lib/$name: needs GLIBC_\([0-9.]*\).*|\1|p" <<<"$output")
expect "the library's newest glibc version is read: $output" test -n "$newest"

output=$(bash "$check" --glibc "$newest" --glibcxx 99 --cxxabi 99 "$work/tree" 2>&1)
expect "a floor at the library's own glibc $newest passes: $output" test $? -eq 0

# 2.2.5 -> 2.2.10, 2.14 -> 2.100: above it, though it sorts before it as text.
last=${newest##*.}
above=${newest%.*}.1$(printf '%0*d' "${#last}" 0)
output=$(bash "$check" --glibc "$above" --glibcxx 99 --cxxabi 99 "$work/tree" 2>&1)
expect "a floor of $above is above $newest: $output" test $? -eq 0

output=$(bash "$check" --glibc 2.1 "$work/tree" 2>&1)
expect "a floor of 2.1 fails: $output" test $? -eq 1
expect "and names GLIBC_$newest with a symbol: $output" \
    grep -qE "^  ABOVE THE FLOOR: GLIBC_$newest \([^ )]+" <<<"$output"

bash "$check" "$work/empty" >/dev/null 2>&1
expect "a folder without libraries is an error" test $? -eq 2

exit $((failures > 0))
