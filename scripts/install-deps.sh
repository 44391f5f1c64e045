#!/usr/bin/env bash
# Installs the Debian packages a group of jobs needs, when they are missing.
#   bash scripts/install-deps.sh build [preview] [viewport] [windows] [msvc] [fuzz]
# As root it installs them with apt-get; otherwise it names what is missing.
#
# A package mirror may be caught mid-sync: a failed `apt-get update` is tried
# again, three times, 5 seconds apart, then the lists at hand serve. Only a package that really cannot be installed
# fails the run, by name. The 32-bit Windows packages (:i386) are the
# exception: without them the stages skip their 32-bit suites, saying why, as
# on a kernel that cannot run 32-bit programs (scripts/lib/stage.sh), so here
# they are skipped in one line.
set -euo pipefail

declare -A groups=(
    [build]="cmake ninja-build g++ g++-11 libgtest-dev libgmock-dev googletest libbenchmark-dev clang-format"
    [preview]="libpng-dev libopenexr-dev libfreetype-dev fonts-dejavu-core pkg-config"
    # The stand-in Viewport 2.0: libxml2 parses the fragments, Mesa's llvmpipe
    # runs their GLSL through EGL without a GPU, glslang checks their HLSL.
    [viewport]="libxml2-dev libegl-dev libgl1-mesa-dri libegl-mesa0 glslang-tools"
    [windows]="mingw-w64 wine64 wine32:i386 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686"
    [msvc]="clang-14 clang-tools-14 lld-14 llvm-14 mingw-w64 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64 wine32:i386"
    [fuzz]="clang libclang-rt-14-dev valgrind"
)

wanted=()
declare -A seen=()
needs_i386=false
for group in "$@"; do
    [[ -n "${groups[$group]:-}" ]] || { echo "install-deps: unknown group '$group'" >&2; exit 2; }
    for package in ${groups[$group]}; do
        [[ -z "${seen[$package]:-}" ]] || continue
        seen[$package]=1
        [[ "$package" == *:i386 ]] && needs_i386=true
        wanted+=("$package")
    done
done

installed() {
    [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true) == "install ok installed" ]]
}
missing=()
for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
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

# apt-get update reports an index it could not fetch with a warning or an
# error, and not always with a failing status.
update_failure=
for attempt in 1 2 3 4; do
    status=0
    output=$(apt-get update -qq 2>&1) || status=$?
    update_failure=$(grep -m 1 -E '^(Err:|[EW]: (Failed to fetch|Some index files failed))' <<<"$output" || true)
    if [[ $status -eq 0 && -z "$update_failure" ]]; then
        break
    fi
    update_failure=${update_failure:-apt-get update gave status $status}
    if [[ $attempt -lt 4 ]]; then
        echo "install-deps: apt-get update failed ($update_failure); trying again"
        sleep 5
    else
        echo "install-deps: apt-get update still fails ($update_failure); installing from the package lists at hand"
    fi
done

# Installs packages together, and when that fails one by one, leaving the
# ones that could not be installed in $not_installed and apt-get's reason for
# the first in $install_failure.
not_installed=()
install_failure=
install_packages() {
    local package output
    not_installed=()
    apt-get install -y -qq "$@" >/dev/null 2>&1 && return 0
    for package in "$@"; do
        output=$(apt-get install -y "$package" 2>&1) && continue
        not_installed+=("$package")
        [[ -z "$install_failure" ]] || continue
        install_failure=$(grep -m 1 '^E:' <<<"$output" || tail -n 1 <<<"$output")
        if grep -q 'unmet dependencies' <<<"$output"; then
            install_failure="unmet dependencies: $install_failure"
        fi
    done
    [[ ${#not_installed[@]} -eq 0 ]]
}

required=() optional=()
for package in "${missing[@]}"; do
    if [[ "$package" == *:i386 ]]; then optional+=("$package"); else required+=("$package"); fi
done
if [[ ${#required[@]} -gt 0 ]] && ! install_packages "${required[@]}"; then
    echo "install-deps: cannot install ${not_installed[*]}: $install_failure" >&2
    exit 1
fi
install_failure=
if [[ ${#optional[@]} -gt 0 ]] && ! install_packages "${optional[@]}"; then
    echo "install-deps: SKIPPED: ${not_installed[*]} (32-bit Windows) cannot be installed ($install_failure); the 32-bit Windows suites will be skipped"
fi
exit 0
