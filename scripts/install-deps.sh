#!/usr/bin/env bash
# Installs the Debian packages a group of jobs needs, when they are missing.
#   bash scripts/install-deps.sh build [preview] [windows] [msvc] [fuzz]
# As root it installs them with apt-get; otherwise it names what is missing.
set -euo pipefail

declare -A groups=(
    [build]="cmake ninja-build g++ g++-11 libgtest-dev libgmock-dev googletest libbenchmark-dev clang-format"
    [preview]="libpng-dev libopenexr-dev libfreetype-dev fonts-dejavu-core pkg-config"
    [windows]="mingw-w64 wine64 wine32:i386 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686"
    [msvc]="clang-14 clang-tools-14 lld-14 llvm-14 mingw-w64 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64 wine32:i386"
    [fuzz]="clang libclang-rt-14-dev valgrind"
)

wanted=()
needs_i386=false
for group in "$@"; do
    [[ -n "${groups[$group]:-}" ]] || { echo "install-deps: unknown group '$group'" >&2; exit 2; }
    for package in ${groups[$group]}; do
        [[ "$package" == *:i386 ]] && needs_i386=true
        wanted+=("$package")
    done
done

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them as root: sudo bash scripts/install-deps.sh $*" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
if $needs_i386 && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
