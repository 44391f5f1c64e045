#!/usr/bin/env bash
# Checks that installed libraries load on the oldest Linux they serve: for
# every library and program under the folders given (an install prefix, an
# unpacked archive), the newest glibc (GLIBC_), C++ runtime (GLIBCXX_) and
# C++ ABI (CXXABI_) versions it needs, and those above a floor, named with
# the symbols that need them. The default floor is Rocky Linux 8's, the
# oldest Linux that Maya 2022 to 2026 and their Arnold run on: glibc 2.28 and
# GCC 8's libstdc++, GLIBCXX_3.4.25 and CXXABI_1.3.11.
#
#   scripts/check-runtime-floor.sh [--glibc <v>] [--glibcxx <v>] [--cxxabi <v>] <folder>...
#
# It needs bash, find and objdump (binutils, in every GCC toolset). Split
# debug information (*.debug) is not loaded, and is passed over. Exit status:
# 0 when every library is within the floor, 1 when one is above it, 2 when
# nothing could be checked.
set -euo pipefail

usage() {
    echo "usage: $0 [--glibc <v>] [--glibcxx <v>] [--cxxabi <v>] <folder>..." >&2
    exit 2
}

declare -A floor=([GLIBC]=2.28 [GLIBCXX]=3.4.25 [CXXABI]=1.3.11)
folders=()
while (($#)); do
    case $1 in
        --glibc | --glibcxx | --cxxabi)
            (($# >= 2)) && [[ $2 =~ ^[0-9]+(\.[0-9]+)*$ ]] || usage
            family=${1#--}
            floor[${family^^}]=$2
            shift 2
            ;;
        -h | --help) usage ;;
        -*) usage ;;
        *)
            folders+=("$1")
            shift
            ;;
    esac
done
((${#folders[@]})) || usage
command -v objdump >/dev/null || {
    echo "$0: objdump not found: install binutils" >&2
    exit 2
}

# Whether version a is above version b, part by part.
above() {
    [[ $1 != "$2" && $(printf '%s\n%s\n' "$1" "$2" | sort -V | tail -n 1) == "$1" ]]
}

libraries=()
for folder in "${folders[@]}"; do
    [[ -d $folder ]] || {
        echo "$0: $folder is not a folder" >&2
        exit 2
    }
    while IFS= read -r -d '' file; do
        # ELF, of type 2 (a program) or 3 (a shared library): not an object file.
        [[ $(od -An -tx1 -N 17 "$file" | tr -d ' \n') =~ ^7f454c46.{24}0[23]$ ]] && libraries+=("$file")
    done < <(find "$folder" -type f ! -name '*.debug' -print0 | sort -z)
done
((${#libraries[@]})) || {
    echo "$0: no library or program under ${folders[*]}" >&2
    exit 2
}

echo "floor: GLIBC_${floor[GLIBC]} GLIBCXX_${floor[GLIBCXX]} CXXABI_${floor[CXXABI]}"
failed=0
for library in "${libraries[@]}"; do
    # The versions it requires, from objdump's "Version References".
    required=$(objdump -p "$library" | awk '
        /^Version References:/ { inside = 1; next }
        inside && /^[^ ]/      { inside = 0 }
        inside && $1 ~ /^0x/   { print $4 }')
    newest=()
    problems=()
    for family in GLIBC GLIBCXX CXXABI; do
        version=$(grep -oE "^${family}_[0-9.]+$" <<<"$required" | sed "s/^${family}_//" | sort -V | tail -n 1 || true)
        [[ -n $version ]] || continue
        newest+=("${family}_$version")
        if above "$version" "${floor[$family]}"; then
            # Every version above the floor, with the symbols that need it.
            for needed in $(grep -oE "^${family}_[0-9.]+$" <<<"$required" | sed "s/^${family}_//" | sort -uV); do
                above "$needed" "${floor[$family]}" || continue
                symbols=$(objdump -T "$library" | awk -v v="(${family}_$needed)" 'index($0, v) { print $NF }' |
                    sort -u | head -n 5 | paste -sd ' ' -)
                problems+=("${family}_$needed (${symbols:-no symbol named})")
            done
        fi
    done
    echo "$library: needs ${newest[*]:-no versioned symbols}"
    if ((${#problems[@]})); then
        for problem in "${problems[@]}"; do
            echo "  ABOVE THE FLOOR: $problem"
        done
        failed=1
    fi
done
if ((failed)); then
    echo "$0: some libraries need more than the floor's runtime (above)" >&2
    exit 1
fi
echo "every library is within the floor"
