#!/usr/bin/env bash
# Installs lumaVeil as its users get it and checks the result: `cmake --install`
# into a temporary prefix, with the plug-in of a second Maya version (the
# stand-in of the 2022 devkit) installed into the same prefix, and the CPack
# archive of the Linux build (its libraries held to Rocky Linux 8's runtime by
# scripts/check-runtime-floor.sh, and packed again with cpack -B), then the ZIP
# archives of the Windows builds:
# structure, names and the archives' READMEs, checked against the Linux build's
# node schema and material table, the module file's sections, the libraries'
# imports, and, under Wine, the deliverables loading from the unpacked archive.
#
# Build folders default to the presets' own and build/install-2022; override
# them with LUMAVEIL_NATIVE_BUILD, LUMAVEIL_WIN64_BUILD and LUMAVEIL_WIN32_BUILD,
# as for scripts/test-windows.sh, and LUMAVEIL_INSTALL_2022_BUILD.
# LUMAVEIL_INSTALL_SKIP_WINDOWS=1 skips Windows.
# Loading the win32 archive under Wine needs a kernel that runs 32-bit
# programs; elsewhere only that step is skipped, with a line saying so.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

native=${LUMAVEIL_NATIVE_BUILD:-build/default}
win64=${LUMAVEIL_WIN64_BUILD:-build/windows-x64}
win32=${LUMAVEIL_WIN32_BUILD:-build/windows-x86}
maya2022=${LUMAVEIL_INSTALL_2022_BUILD:-build/install-2022}
skip_windows=${LUMAVEIL_INSTALL_SKIP_WINDOWS:-0}

groups=(build preview viewport)
[[ "$skip_windows" == 1 ]] || groups+=(windows)
bash scripts/install-deps.sh "${groups[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/lumaveil-install.XXXXXX")
source scripts/lib/wine.sh
cleanup() {
    stop_wine
    rm -rf "$work"
}
trap cleanup EXIT

# Runs the install checks of a build (by default the native one) on a tree:
# check <prefix> <platform> [build].
check() {
    echo "-- checking $1 ($2)${3:+ with the checks of $3}"
    LUMAVEIL_INSTALL_PREFIX="$1" LUMAVEIL_INSTALL_PLATFORM="$2" \
        "${3:-$native}/tests/install/install_tests" --gtest_brief=1
}

# Makes a build's archives with CPack, unpacks the release archive and prints
# its top folder: unpack <build> <release archive pattern> <into>. Its
# libraries must be stripped, and the debug archive beside it must hold their
# debug information under the same top folder.
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
    local archive=${archives[0]} extension=.tar.gz top sections
    [[ $archive == *.zip ]] && extension=.zip
    top=$(basename "$archive" "$extension")
    extract() { mkdir -p "$2" && case "$1" in *.zip) unzip -q "$1" -d "$2" ;; *) tar -xzf "$1" -C "$2" ;; esac; }
    extract "$archive" "$into"
    [[ -d "$into/$top" ]] || { echo "test-install: $top/ missing from the archive" >&2; exit 1; }
    # Its README on top, naming it; one of a build against the stand-in
    # headers warns first.
    grep -qx "# $top" "$into/$top/README.md" || {
        echo "test-install: $top/README.md does not describe $top" >&2
        exit 1
    }
    if [[ $top == *-standin-* ]] && ! grep -q '^\*\*Not for Maya, Arnold or mental ray\.\*\*' "$into/$top/README.md"; then
        echo "test-install: $top/README.md does not say that it serves no Maya" >&2
        exit 1
    fi

    local debug=${archive%"$extension"}-debug$extension library
    [[ -f "$debug" ]] || { echo "test-install: no debug archive $(basename "$debug")" >&2; exit 1; }
    extract "$debug" "$into/debug"
    for library in "$into/$top"/maya/lumaVeil/plug-ins/* "$into/$top"/mentalray/lib/*; do
        [[ -f "$library" ]] || continue
        # Section lists are read whole: grep -q stopping early would leave
        # objdump writing into a closed pipe.
        sections=$("$objdump" -h "$library")
        if grep -q '\.debug_info' <<<"$sections"; then
            echo "test-install: $(basename "$library") in the release archive is not stripped" >&2
            exit 1
        fi
        sections=$("$objdump" -h "$into/debug/$top/${library#"$into/$top/"}.debug")
        grep -q '\.debug_info' <<<"$sections" || {
            echo "test-install: no debug information for $(basename "$library")" >&2
            exit 1
        }
    done
    echo "$into/$top"
}

# Shipped libraries name their sources as the repository does, never by this
# machine's folders.
check_no_build_paths() {
    local library
    for library in "$@"; do
        if grep -qaF -e "$PWD" -e "$(realpath "$native")" "$library"; then
            echo "test-install: $library holds a build path" >&2
            exit 1
        fi
    done
}

echo "== install: linux =="
objdump=objdump
cmake --preset default -B "$native" >/dev/null
cmake --build "$native"
cmake --install "$native" --prefix "$work/prefix" >/dev/null
check "$work/prefix" linux
# Only the deliverables, the documents and the preview tool's own folder.
extra=$(cd "$work/prefix" && ls -A | grep -vxE 'maya|mentalray|share|preview' || true)
[[ -z "$extra" ]] || { echo "test-install: unexpected in the prefix: $extra" >&2; exit 1; }
tree=$(unpack "$native" 'lumaVeil-*-standin-linux-x86_64.tar.gz' "$work/linux-archive")
check "$tree" linux
extra=$(cd "$tree" && ls -A | grep -vxE 'README.md|LICENSE|maya|mentalray|share' || true)
[[ -z "$extra" && ! -e "$tree/maya/.lumaVeil.mod.lock" ]] || {
    echo "test-install: unexpected in the archive: $extra (or the module file's lock)" >&2
    exit 1
}
check_no_build_paths "$tree"/maya/lumaVeil/plug-ins/* "$tree"/mentalray/lib/* \
    "$work/prefix"/maya/lumaVeil/plug-ins/*.so "$work/prefix"/mentalray/lib/*
# Its libraries load on Rocky Linux 8: the recipes' check, on what an archive
# ships.
bash scripts/check-runtime-floor.sh "$tree"
# cpack -B <folder> writes the archives there, and stages them in the build
# tree as ever.
cpack --config "$native/CPackConfig.cmake" -B "$work/elsewhere" >/dev/null
written=$(cd "$work/elsewhere" && ls -A)
[[ $(grep -c '^lumaVeil-.*-standin-linux-x86_64\(-debug\)\?\.tar\.gz$' <<<"$written") -eq 2 &&
   $(wc -l <<<"$written") -eq 2 ]] || {
    echo "test-install: cpack -B $work/elsewhere wrote there: $written" >&2
    exit 1
}

# A second Maya version's plug-in into the same prefix: the module file gains
# its section, and installing the first build again keeps it. Each build's
# checks load the plug-in that its section points at.
echo "== install: the plug-in for Maya 2022 beside it ($maya2022) =="
presets=$(realpath "$native/packaging/maya/attrPresets/lumaVeil")
configure_unless_configured "$maya2022" default -DLUMAVEIL_STAND_IN_MAYA_API_VERSION=20220300 \
    -DLUMAVEIL_BUILD_PREVIEW=OFF -DLUMAVEIL_BUILD_BENCHMARKS=OFF -DLUMAVEIL_ATTR_PRESETS_DIR="$presets"
cmake --build "$maya2022" --target install_tests
cmake --install "$maya2022" --component maya --prefix "$work/prefix" >/dev/null
cmake --install "$native" --component maya --prefix "$work/prefix" >/dev/null
headers=$(grep '^+' "$work/prefix/maya/lumaVeil.mod")
[[ $(wc -l <<<"$headers") -eq 2 && $(grep -c ' MAYAVERSION:2022 PLATFORM:linux ' <<<"$headers") -eq 1 ]] || {
    echo "test-install: expected a section for Maya 2022 and one for the stand-in, not:" >&2
    echo "$headers" >&2
    exit 1
}
check "$work/prefix" linux "$maya2022"
check "$work/prefix" linux

# Removing one build, in a copy of the prefix: the stand-in build's script
# takes out its section and plug-in, and the 2022 build stays whole, with the
# shared scripts, presets and documents; the 2022 build's script then takes
# the module with it. The install manifest leaves out the shared module file.
echo "-- removing the builds again, one at a time"
removed=$work/removed
cp -a "$work/prefix" "$removed"
cmake -P "$removed/maya/lumaVeil/uninstall/standin-linux.cmake" >/dev/null
[[ ! -e "$removed/maya/lumaVeil/plug-ins/lumaVeil.so" && $(grep -c '^+' "$removed/maya/lumaVeil.mod") -eq 1 ]] || {
    echo "test-install: the stand-in build's plug-in or section is left" >&2
    exit 1
}
check "$removed" linux "$maya2022"
cmake -P "$removed/maya/lumaVeil/uninstall/maya2022-linux.cmake" >/dev/null
[[ ! -e "$removed/maya" && -f "$removed/mentalray/lib/qv7k_lumaVeil.so" && -f "$removed/share/doc/lumaVeil/README.md" ]] || {
    echo "test-install: removing the last build left the module, or took what is not the module's" >&2
    exit 1
}
if grep -q 'lumaVeil\.mod$' "$native/install_manifest.txt"; then
    echo "test-install: the install manifest lists the shared lumaVeil.mod" >&2
    exit 1
fi

# The uninstall scripts find their files from where they stand. Two builds
# into one module through a relative prefix, and through DESTDIR (relative
# before an absolute prefix, absolute before a relative one), the staged tree
# then moved: removing one build leaves every file the other lists, the last
# takes the module whole, and a lumaVeil.mod kept with \r\n line ends keeps
# them. A file that cannot be removed is named, the run fails, and the
# script, run again once it can be, finishes the work.
echo "-- removing builds installed through a relative prefix and through DESTDIR"
native_path=$(realpath "$native")
maya2022_path=$(realpath "$maya2022")
uninstall_failed() {
    echo "test-install: $*" >&2
    exit 1
}
# Every file an uninstall script lists is in place: listed_in_place <script>.
listed_in_place() {
    local module=${1%/lumaVeil/uninstall/*} file count=0
    while IFS= read -r file; do
        [[ -e "$module/$file" ]] || uninstall_failed "$file, listed by $1, is gone"
        count=$((count + 1))
    done < <(sed -n 's/^    \[==\[\(.*\)\]==\]$/\1/p' "$1")
    ((count > 0)) || uninstall_failed "$1 lists no files"
}
# Beside a build whose script lists no files (as an older installer wrote it
# after a relative prefix), the shared files stay, and that script removes
# nothing until the build is installed again.
(cd "$work" && cmake --install "$native_path" --component maya --prefix relative >/dev/null &&
    cmake --install "$maya2022_path" --component maya --prefix ./relative/ >/dev/null)
module=$work/relative/maya
listed_in_place "$module/lumaVeil/uninstall/maya2022-linux.cmake"
sed -i '/^    \[==\[/d' "$module/lumaVeil/uninstall/maya2022-linux.cmake"
sed -i 's/$/\r/' "$module/lumaVeil.mod"
cmake -P "$module/lumaVeil/uninstall/standin-linux.cmake" >/dev/null
[[ ! -e "$module/lumaVeil/plug-ins/lumaVeil.so" && -f "$module/lumaVeil/scripts/AElumaVeilTemplate.mel" &&
    -f "$module/lumaVeil/uninstall/uninstallBuild.cmake" ]] ||
    uninstall_failed "the stand-in build's plug-in is left, or the files the 2022 build shares are gone"
! grep -qv $'\r$' "$module/lumaVeil.mod" || uninstall_failed "lumaVeil.mod lost its \\r\\n line ends"
if cmake -P "$module/lumaVeil/uninstall/maya2022-linux.cmake" >/dev/null 2>&1 ||
    ! grep -q 'MAYAVERSION:2022' "$module/lumaVeil.mod"; then
    uninstall_failed "a script that lists no files removed the build"
fi
(cd "$work" && cmake --install "$maya2022_path" --component maya --prefix relative >/dev/null)
cmake -P "$module/lumaVeil/uninstall/maya2022-linux.cmake" >/dev/null
[[ ! -e "$module" ]] || uninstall_failed "removing the last build left $(cd "$module" && find . -mindepth 1)"

(cd "$work" && DESTDIR=staged cmake --install "$native_path" --component maya --prefix "$work/opt" >/dev/null &&
    DESTDIR=$work/staged cmake --install "$maya2022_path" --component maya --prefix opt >/dev/null)
staged=$work/staged$work/opt
[[ $(find "$work/staged" -name lumaVeil.mod) == "$staged/maya/lumaVeil.mod" &&
    $(grep -c '^+' "$staged/maya/lumaVeil.mod") -eq 2 ]] ||
    uninstall_failed "the DESTDIR installs put lumaVeil.mod elsewhere than $staged/maya, or one section"
mv "$staged" "$work/moved"
module=$work/moved/maya
cmake -P "$module/lumaVeil/uninstall/maya2022-linux.cmake" >/dev/null
listed_in_place "$module/lumaVeil/uninstall/standin-linux.cmake"
# As a user who may not write in the plug-in's folder (root may write anywhere).
as_user=()
if [[ $(id -u) == 0 ]]; then
    chmod 755 "$work"
    chown -R 65534:65534 "$work/moved"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod a-w "$module/lumaVeil/plug-ins"
if "${as_user[@]}" cmake -P "$module/lumaVeil/uninstall/standin-linux.cmake" \
    >/dev/null 2>"$work/not-removed"; then
    uninstall_failed "an uninstall that could not remove the plug-in ended in success"
fi
grep -q "^ *$module/lumaVeil/plug-ins/lumaVeil.so\$" "$work/not-removed" &&
    [[ -f "$module/lumaVeil/uninstall/standin-linux.cmake" ]] ||
    uninstall_failed "a failed uninstall did not name the plug-in, or took its script: $(cat "$work/not-removed")"
chmod u+w "$module/lumaVeil/plug-ins"
"${as_user[@]}" cmake -P "$module/lumaVeil/uninstall/standin-linux.cmake" >/dev/null
[[ ! -e "$module" ]] || uninstall_failed "removing the last build left $(cd "$module" && find . -mindepth 1)"

# Archive names of builds against real SDKs (here, the 2022 devkit's and the
# renderer's headers without the stand-in's mark), as configure sets them: the
# Maya year from an API version of eight digits and of six.
echo "-- naming the archives of builds against real SDKs"
real=$work/real-sdk
mkdir -p "$real/renderer"
cp -R "$maya2022/hosts/maya/devkit" "$real/devkit2022"
sed -i '/LUMAVEIL_STAND_IN_OPENMAYA/d' "$real/devkit2022/include/maya/MTypes.h"
cp -R "$real/devkit2022" "$real/devkit2017"
sed -i 's/^#define MAYA_API_VERSION .*/#define MAYA_API_VERSION 201780/' "$real/devkit2017/include/maya/MTypes.h"
grep -v LUMAVEIL_STAND_IN_RENDERER hosts/mentalray/include/shader.h >"$real/renderer/shader.h"
archive_name() {
    local tree=$real/$1
    shift
    cmake -S . -B "$tree" -G Ninja -DBUILD_TESTING=OFF -DLUMAVEIL_ATTR_PRESETS_DIR="$presets" "$@" >/dev/null
    sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$tree/CPackConfig.cmake"
}
for expected in maya2022-mentalray maya2017 mentalray; do
    case $expected in
        maya2022-mentalray) sdks=(-DMAYA_LOCATION="$real/devkit2022" -DMENTALRAY_INCLUDE_DIR="$real/renderer") ;;
        maya2017) sdks=(-DMAYA_LOCATION="$real/devkit2017") ;;
        mentalray) sdks=(-DLUMAVEIL_BUILD_MAYA=OFF -DMENTALRAY_INCLUDE_DIR="$real/renderer") ;;
    esac
    name=$(archive_name "$expected" "${sdks[@]}")
    [[ $name =~ ^lumaVeil-[0-9.]+-$expected-linux-x86_64$ ]] || {
        echo "test-install: a build for $expected names its archive '$name'" >&2
        exit 1
    }
done

# The installed preview finds everything from its own folder: it renders with
# the build tree out of the way (moved aside, and put back on any exit).
echo "-- rendering with the installed preview, the build tree moved aside"
aside="$native.aside-$$"
mv "$native" "$aside"
restore() { if [[ -d "$aside" ]]; then mv "$aside" "$native"; fi; }
trap 'restore; cleanup' EXIT
"$work/prefix/preview/bin/lumaveil-preview" --size 32 --output "$work/installed-swatch"
restore
[[ -s "$work/installed-swatch.png" && -s "$work/installed-swatch.exr" ]] || {
    echo "test-install: the installed preview wrote no swatch" >&2
    exit 1
}

[[ "$skip_windows" == 1 ]] && exit 0

for arch in win64 win32; do
    if [[ $arch == win64 ]]; then
        build=$win64 preset=windows-x64 objdump=x86_64-w64-mingw32-objdump
    else
        build=$win32 preset=windows-x86 objdump=i686-w64-mingw32-objdump
    fi
    echo "== install: $arch =="
    cmake --preset "$preset" -B "$build" -DLUMAVEIL_ATTR_PRESETS_DIR="$presets" >/dev/null
    cmake --build "$build"
    tree=$(unpack "$build" "lumaVeil-*-standin-$arch.zip" "$work/$arch-archive")
    check "$tree" "$arch"
    extra=$(cd "$tree" && ls -A | grep -vxE 'README.md|LICENSE|maya|mentalray|share' || true)
    [[ -z "$extra" ]] || { echo "test-install: unexpected in the $arch archive: $extra" >&2; exit 1; }

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
    bits=64
    [[ $arch == win64 ]] || bits=32
    if ! runs_here "$arch" "$bits" "loading the deliverables (the archive's tree and imports are checked)"; then
        :
    elif [[ -n "$wine" && -x "$wine" && -x "$wineserver" ]]; then
        echo "-- loading the $arch deliverables under Wine"
        start_wine "$build/wineprefix" "$wine"
        LUMAVEIL_INSTALL_PREFIX="$tree" LUMAVEIL_INSTALL_PLATFORM=$arch \
            "$wine" "$build/bin/install_tests.exe" --gtest_brief=1
        stop_wine
    fi
done
