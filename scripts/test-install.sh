#!/usr/bin/env bash
# Installs lumaVeil as its users get it and checks the result: `cmake --install`
# into a temporary prefix and the CPack archive of the Linux build, then the
# ZIP archives of the Windows builds: structure and names, checked against the
# Linux build's node schema and material table, the libraries' imports, and,
# under Wine, the deliverables loading from the unpacked archive.
#
# Build folders default to the presets' own; override them with
# LUMAVEIL_NATIVE_BUILD, LUMAVEIL_WIN64_BUILD and LUMAVEIL_WIN32_BUILD, as for
# scripts/test-windows.sh. LUMAVEIL_INSTALL_SKIP_WINDOWS=1 skips Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

native=${LUMAVEIL_NATIVE_BUILD:-build/default}
win64=${LUMAVEIL_WIN64_BUILD:-build/windows-x64}
win32=${LUMAVEIL_WIN32_BUILD:-build/windows-x86}
skip_windows=${LUMAVEIL_INSTALL_SKIP_WINDOWS:-0}

groups=(build preview)
[[ "$skip_windows" == 1 ]] || groups+=(windows)
bash scripts/install-deps.sh "${groups[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/lumaveil-install.XXXXXX")
wineserver=/usr/lib/wine/wineserver
cleanup() {
    if [[ -n "${WINEPREFIX:-}" ]]; then
        "$wineserver" -k >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Runs the install checks on a tree: check <prefix> <platform>.
check() {
    echo "-- checking $1 ($2)"
    LUMAVEIL_INSTALL_PREFIX="$1" LUMAVEIL_INSTALL_PLATFORM="$2" \
        "$native/tests/install/install_tests" --gtest_brief=1
}

# Unpacks the one archive a build's CPack made and prints its top folder.
unpack() {
    local build=$1 pattern=$2 into=$3
    rm -rf "$build/packages"
    # From the source root, as the README runs it: CPack's staging folder
    # must land in the build tree, not here.
    cpack --config "$build/CPackConfig.cmake" >/dev/null
    [[ ! -e _CPack_Packages ]] || {
        echo "test-install: cpack left _CPack_Packages/ in the source tree" >&2
        exit 1
    }
    local archives=("$build"/packages/$pattern)
    [[ ${#archives[@]} -eq 1 && -f "${archives[0]}" ]] || {
        echo "test-install: expected one $pattern in $build/packages" >&2
        exit 1
    }
    mkdir -p "$into"
    case "${archives[0]}" in
        *.zip) unzip -q "${archives[0]}" -d "$into" ;;
        *) tar -xzf "${archives[0]}" -C "$into" ;;
    esac
    local top
    top=$(basename "${archives[0]}")
    top=${top%.zip}
    top=${top%.tar.gz}
    [[ -d "$into/$top" ]] || { echo "test-install: $top/ missing from the archive" >&2; exit 1; }
    echo "$into/$top"
}

echo "== install: linux =="
cmake --preset default -B "$native" >/dev/null
cmake --build "$native"
cmake --install "$native" --prefix "$work/prefix" >/dev/null
check "$work/prefix" linux
# Only the deliverables and the preview tool's own folders beside them.
extra=$(cd "$work/prefix" && ls -A | grep -vxE 'maya|mentalray|bin|lib' || true)
[[ -z "$extra" ]] || { echo "test-install: unexpected in the prefix: $extra" >&2; exit 1; }
check "$(unpack "$native" 'lumaVeil-*-linux-*.tar.gz' "$work/linux-archive")" linux

[[ "$skip_windows" == 1 ]] && exit 0

presets=$(realpath "$native/packaging/maya/attrPresets/lumaVeil")
for arch in win64 win32; do
    if [[ $arch == win64 ]]; then
        build=$win64 preset=windows-x64 objdump=x86_64-w64-mingw32-objdump
    else
        build=$win32 preset=windows-x86 objdump=i686-w64-mingw32-objdump
    fi
    echo "== install: $arch =="
    cmake --preset "$preset" -B "$build" -DLUMAVEIL_ATTR_PRESETS_DIR="$presets" >/dev/null
    cmake --build "$build"
    tree=$(unpack "$build" "lumaVeil-*-$arch.zip" "$work/$arch-archive")
    check "$tree" "$arch"

    # Dropped into Maya or mental ray as they are, the libraries may need
    # nothing but Windows' own DLLs and, for the plug-in, Maya's.
    for library in "$tree"/maya/lumaVeil/plug-ins/*.mll "$tree"/mentalray/lib/*.dll; do
        [[ -f "$library" ]] || continue
        imports=$("$objdump" -p "$library" | sed -n 's/^\s*DLL Name: //p')
        unexpected=$(grep -viE '^(kernel32|msvcrt|openmaya|foundation)\.dll$' <<<"$imports" || true)
        [[ -z "$unexpected" ]] || {
            echo "test-install: $(basename "$library") needs $unexpected" >&2
            exit 1
        }
    done

    # The installed tree checked from Windows: both deliverables load there.
    # Wine's server and services start with no pipes of ours to inherit, and
    # stop when the checks are done.
    wine=$(sed -n 's/^LUMAVEIL_WINE:[A-Z]*=//p' "$build/CMakeCache.txt")
    if [[ -n "$wine" && -x "$wine" && -x "$wineserver" ]]; then
        echo "-- loading the $arch deliverables under Wine"
        export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all
        mkdir -p "$WINEPREFIX"
        "$wineserver" -p </dev/null >/dev/null 2>&1
        WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot </dev/null >/dev/null 2>&1
        LUMAVEIL_INSTALL_PREFIX="$tree" LUMAVEIL_INSTALL_PLATFORM=$arch \
            "$wine" "$build/bin/install_tests.exe" --gtest_brief=1
        "$wineserver" -k >/dev/null 2>&1 || true
        unset WINEPREFIX
    fi
done
