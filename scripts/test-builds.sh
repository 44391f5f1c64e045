#!/usr/bin/env bash
# The builds beyond the presets:
#  - a packager's plain Release build, first without the tests (it must need
#    nothing but a compiler, CMake and Ninja), then with them, run;
#  - MAYA_LOCATION against a stand-in devkit tree of each shape, the classic
#    one (API 800) and that of Maya 2019 and later (API 20220300, classes in
#    a versioned namespace): the plug-in links the devkit's libraries, and
#    every suite passes with it in the stand-in Maya of the same shape, the
#    worked examples included; each shape's Maya refuses the other's plug-in
#    in one line. The 2019+ plug-in imports the draw registry's and the
#    fragment manager's calls from the devkit's OpenMayaRender and its
#    Viewport 2.0 tests run; the classic one holds no draw classification at
#    all. The classic build also takes MENTALRAY_INCLUDE_DIR, a
#    shader.h of other layouts, whose shader must pass the shader suites in a
#    stand-in renderer built against the same header;
#  - the deliverables as C++17 by GCC 11, older than the system compiler as
#    the compilers of studios' devkits are, pedantic and with warnings as
#    errors, against each devkit shape: the worked examples through them
#    match the system compiler's build of the same shape bit for bit;
#  - headers without the stand-in's mark, as a real SDK's (the 2019+ devkit
#    shape, which deprecates setMPSafe): a packager's build compiles only
#    what it installs, warns about nothing, and says so; with the suites on,
#    those that would load its libraries into a stand-in host are left out,
#    and configure says so; and a devkit folder without its libraries stops
#    configure with one line that names them; with an Arnold SDK's shape too
#    (ARNOLD_ROOT), a build for Maya 2022 with Arnold 7.3 whose Arnold shader
#    exports NodeLoader alone, whose install's Maya 2022 section puts it on
#    ARNOLD_PLUGIN_PATH, and whose archive is named for both, and a build of
#    the Arnold shader alone (LUMAVEIL_BUILD_MAYA=OFF), archive arnold7.3,
#    packed where cpack -B says;
#  - every build's shipped libraries need no glibc above 2.28 (objdump -T), the
#    oldest that the Linux of our hosts has (RHEL and Rocky Linux 8).
# Build folders: build/plain-release, build/devkit-2022, build/sdk-switches,
# build/sdk-2022, build/gcc11-classic, build/gcc11-2022, build/real-sdk.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

bash scripts/install-deps.sh build viewport

# The shipped libraries, by their place in a build tree: every build below
# makes them all.
deliverables=(plugSource/lumaVeil.so mentalray/qv7k_lumaVeil.so arnold/lumaVeilArnold.so)

# Fails for any library of the tree that needs a glibc symbol version above
# 2.28, naming it: check_glibc_floor <tree>.
check_glibc_floor() {
    local libraries=() deliverable
    for deliverable in "${deliverables[@]}"; do
        libraries+=("$1/$deliverable")
    done
    cmake -DOBJDUMP=objdump "-DLIBRARIES=$(IFS=';' && echo "${libraries[*]}")" \
        -P tests/crossBuild/checkGlibcFloor.cmake
}

plain=build/plain-release
echo "== plain Release build ($plain) =="
rm -rf "$plain"
cmake -S . -B "$plain" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
if grep -E '^(GTest_DIR|benchmark_DIR|PNG_LIBRARY|OpenEXR_DIR)[:=]' "$plain/CMakeCache.txt"; then
    echo "test-builds: the plain build without tests looked for a test, benchmark or image library" >&2
    exit 1
fi
cmake --build "$plain"
for deliverable in "${deliverables[@]}" \
    packaging/maya/attrPresets/lumaVeil/skin1.mel packaging/mentalray/lumaVeil_example.mi; do
    [[ -f "$plain/$deliverable" ]] || { echo "test-builds: $plain/$deliverable was not built" >&2; exit 1; }
done
check_glibc_floor "$plain"
echo "-- and with BUILD_TESTING"
cmake -S . -B "$plain" -DBUILD_TESTING=ON >/dev/null
cmake --build "$plain"
ctest --test-dir "$plain" --output-on-failure --no-tests=error -j "$(nproc)"

echo "== the stand-in devkit of Maya 2019 and later (build/devkit-2022) =="
devkit_2022=build/devkit-2022
rm -rf "$devkit_2022"
cmake -S . -B "$devkit_2022" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DLUMAVEIL_STAND_IN_MAYA_API_VERSION=20220300 >/dev/null
cmake --build "$devkit_2022" --target OpenMaya Foundation OpenMayaRender
devkit_2022=$PWD/$devkit_2022/hosts/maya/devkit
devkit_classic=$PWD/$plain/hosts/maya/devkit

# Builds and tests the plug-in against a devkit: sdk_build <tree> <devkit>
# [cmake arguments...]. The plug-in must link the devkit's OpenMaya.
sdk_build() {
    local tree=$1 devkit=$2 linked
    shift 2
    rm -rf "$tree"
    cmake --preset default -B "$tree" -DMAYA_LOCATION="$devkit" \
        -DLUMAVEIL_BUILD_PREVIEW=OFF -DLUMAVEIL_BUILD_BENCHMARKS=OFF "$@" >/dev/null
    cmake --build "$tree"
    check_glibc_floor "$tree"
    # (Outputs are read whole before grep: grep -q stopping early would leave
    # the writer on a closed pipe, which pipefail counts as a failure.)
    linked=$(ldd "$tree/plugSource/lumaVeil.so")
    grep -q "$devkit/lib/libOpenMaya.so" <<<"$linked" || {
        echo "test-builds: the plug-in of $tree does not link the devkit's OpenMaya" >&2
        exit 1
    }
    ctest --test-dir "$tree" --output-on-failure --no-tests=error -j "$(nproc)"
}

echo "== MAYA_LOCATION: the classic devkit; MENTALRAY_INCLUDE_DIR: a shader.h of other layouts =="
sdk=build/sdk-switches
sdk_build "$sdk" "$devkit_classic" -DMENTALRAY_INCLUDE_DIR="$PWD/tests/mentalray/layoutVariant"
included=$(ninja -C "$sdk" -t deps mentalray/CMakeFiles/qv7k_lumaVeil.dir/lumaVeilShader.cpp.o)
grep -q "layoutVariant/shader.h" <<<"$included" || {
    echo "test-builds: the shader was not compiled against the variant shader.h" >&2
    exit 1
}

echo "== MAYA_LOCATION: the devkit of Maya 2019 and later =="
sdk_2022=build/sdk-2022
sdk_build "$sdk_2022" "$devkit_2022"
symbols=$(nm -D --defined-only "$sdk_2022/plugSource/lumaVeil.so")
grep -q "_Z16initializePluginN8Autodesk4Maya16OpenMaya202200007MObjectE" <<<"$symbols" || {
    echo "test-builds: the 2019+ plug-in does not export initializePlugin in the API's namespace" >&2
    exit 1
}

echo "== Viewport 2.0: the 2019+ plug-in registers its override, the classic one has none =="
linked=$(ldd "$sdk_2022/plugSource/lumaVeil.so")
grep -q "$devkit_2022/lib/libOpenMayaRender.so" <<<"$linked" || {
    echo "test-builds: the 2019+ plug-in does not link the devkit's OpenMayaRender" >&2
    exit 1
}
imports=$(nm -D --undefined-only "$sdk_2022/plugSource/lumaVeil.so" | c++filt)
# The override's registry, and the renderer's fragment manager through which
# the plug-in registers its fragments.
for call in MDrawRegistry::registerSurfaceShadingNodeOverrideCreator \
    MDrawRegistry::deregisterSurfaceShadingNodeOverrideCreator MRenderer::theRenderer \
    MRenderer::getFragmentManager MRenderer::drawAPI MFragmentManager::hasFragment \
    MFragmentManager::addShadeFragmentFromBuffer MFragmentManager::addFragmentGraphFromBuffer \
    MFragmentManager::removeFragment; do
    grep -E " U .*::MHWRender::$call\(" <<<"$imports" || {
        echo "test-builds: the 2019+ plug-in does not import $call" >&2
        exit 1
    }
done
# Run unfiltered by ctest above; here none of them may have been skipped.
viewport=$("$sdk_2022/tests/maya/maya_tests" --gtest_filter='*Viewport*:*Override*:*Fragment*' 2>&1) || {
    echo "$viewport" >&2
    exit 1
}
grep -E '^\[  PASSED  \]' <<<"$viewport"
if grep -q SKIPPED <<<"$viewport" || ! grep -qE '^\[  PASSED  \] [1-9]' <<<"$viewport"; then
    echo "test-builds: the Viewport 2.0 tests did not all run against the 2019+ devkit" >&2
    exit 1
fi
# (grep -c prints the count and fails on none.)
for plugin in "$sdk/plugSource/lumaVeil.so" "$plain/plugSource/lumaVeil.so"; do
    count=$(grep -c drawdb "$plugin" || true)
    echo "$plugin: $count lines with drawdb"
    [[ $count == 0 ]] || {
        echo "test-builds: the classic plug-in $plugin names a draw classification" >&2
        exit 1
    }
done
count=$(grep -c drawdb "$sdk_2022/plugSource/lumaVeil.so" || true)
[[ $count != 0 ]] || {
    echo "test-builds: the 2019+ plug-in names no draw classification" >&2
    exit 1
}

echo "== each shape's Maya refuses the other's plug-in =="
refuse() {
    local host_tree=$1 plugin=$2 output
    output=$(LUMAVEIL_OTHER_DEVKIT_PLUGIN="$PWD/$plugin" "$host_tree/tests/maya/maya_tests" \
        --gtest_filter=HostTest.RefusesAPlugInBuiltAgainstAnotherDevkit 2>&1) || {
        echo "$output" >&2
        exit 1
    }
    grep -E '^refused: ' <<<"$output"
    grep -q '^\[       OK \]' <<<"$output" || {
        echo "test-builds: the refusal was not tested: $output" >&2
        exit 1
    }
}
refuse "$sdk_2022" "$sdk/plugSource/lumaVeil.so"
refuse "$sdk" "$sdk_2022/plugSource/lumaVeil.so"

# Builds the deliverables with GCC 11 against a devkit and checks the worked
# examples through them: gcc11_build <tree> <devkit> <reference results>.
# Only what the worked examples need is built: the deliverables, the stand-in
# hosts and the program that drives them (C++20, which GCC 11 also builds).
gcc11_build() {
    local tree=$1 devkit=$2 reference=$3 commands loose
    rm -rf "$tree"
    CXX=g++-11 cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DMAYA_LOCATION="$devkit" \
        -DLUMAVEIL_BUILD_PREVIEW=OFF -DLUMAVEIL_BUILD_BENCHMARKS=OFF >/dev/null
    # Every source of the deliverables compiles as C++17, pedantic: nothing
    # the targets link may raise their standard.
    commands=$(ninja -C "$tree" -t commands lumaVeil qv7k_lumaVeil lumaVeilArnold |
        grep -E -- " -c $PWD/(model|plugSource|mentalray|arnold)/[^ ]*\.cpp" || true)
    loose=$(grep -v -e '-std=c++17 ' -e '^$' <<<"$commands" || true)
    loose+=$(grep -v -e '-Wpedantic ' -e '^$' <<<"$commands" || true)
    if [[ -z $commands || -n $loose ]]; then
        echo "test-builds: the deliverables of $tree are not all compiled as pedantic C++17:" >&2
        echo "${loose:-(no compile commands found)}" >&2
        exit 1
    fi
    cmake --build "$tree" --target lumaVeil qv7k_lumaVeil lumaVeilArnold lumaveil_worked_examples
    check_glibc_floor "$tree"
    ctest --test-dir "$tree" -R '^workedExamples\.write$' --output-on-failure --no-tests=error
    cmake -DRESULTS="$tree/workedExamples.txt" -DREFERENCE="$reference" -DEXACT=ON \
        -P tests/crossBuild/compareResults.cmake
}

echo "== the deliverables as C++17 by GCC 11: the classic devkit (build/gcc11-classic) =="
gcc11_build build/gcc11-classic "$devkit_classic" "$plain/workedExamples.txt"
echo "== the deliverables as C++17 by GCC 11: the devkit of Maya 2019 and later (build/gcc11-2022) =="
gcc11_build build/gcc11-2022 "$devkit_2022" "$sdk_2022/workedExamples.txt"

echo "== against headers that are not the stand-ins' (a real SDK's) =="
real=build/real-sdk
rm -rf "$real"
mkdir -p "$real/devkit/include" "$real/renderer" "$real/arnold/bin"
cp -R "$devkit_2022/lib" "$devkit_2022/include" "$real/devkit/"
sed -i '/LUMAVEIL_STAND_IN_OPENMAYA/d' "$real/devkit/include/maya/MTypes.h"
grep -v LUMAVEIL_STAND_IN_RENDERER hosts/mentalray/include/shader.h >"$real/renderer/shader.h"
# An Arnold 7.3 SDK's shape: the headers and the ai library.
cp -R hosts/arnold/include "$real/arnold/"
sed -i '/LUMAVEIL_STAND_IN_ARNOLD/d' "$real/arnold/include/ai_version.h"
cp "$plain/hosts/arnold/libai.so" "$real/arnold/bin/"
sdks=(-DMAYA_LOCATION="$PWD/$real/devkit" -DMENTALRAY_INCLUDE_DIR="$PWD/$real/renderer"
      -DARNOLD_ROOT="$PWD/$real/arnold")

# A packager's build: the deliverables with their presets and .mi files, and
# nothing else, without a warning from our sources.
said=$(cmake -S . -B "$real/packager" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    "${sdks[@]}" | grep -E '^-- lumaVeil: against a real SDK' || true)
echo "$said"
[[ $said == *"makes only the deliverables with their attribute presets and .mi files" ]] || {
    echo "test-builds: configure did not say that it builds only the deliverables" >&2
    exit 1
}
compiled=$(ninja -C "$real/packager" -t inputs all | grep '\.o$' |
    grep -vE '^(model|plugSource|mentalray|arnold|tools/(attr-presets|icons|support))/' || true)
[[ -z "$compiled" ]] || {
    echo "test-builds: the packager's build compiles more than it installs:" >&2
    echo "$compiled" >&2
    exit 1
}
log=$(cmake --build "$real/packager" 2>&1)
if grep -E 'warning' <<<"$log"; then
    echo "test-builds: the build against real SDK headers warns" >&2
    exit 1
fi
check_glibc_floor "$real/packager"

# A studio's build for Maya 2022 with MtoA's Arnold 7.3: the Arnold shader
# exports NodeLoader alone, the install's Maya 2022 section puts its folder on
# ARNOLD_PLUGIN_PATH, and the archive is named for both.
maya_arnold=$real/maya2022-arnold
cmake -S . -B "$maya_arnold" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DMAYA_LOCATION="$PWD/$real/devkit" -DARNOLD_ROOT="$PWD/$real/arnold" >/dev/null
cmake --build "$maya_arnold"
exported=$(nm -D --defined-only "$maya_arnold/arnold/lumaVeilArnold.so" | awk '{print $3}')
[[ $exported == NodeLoader ]] || {
    echo "test-builds: the Arnold shader exports more than NodeLoader: $exported" >&2
    exit 1
}
cmake --install "$maya_arnold" --prefix "$maya_arnold/prefix" >/dev/null
section=$(sed -n '/^+ MAYAVERSION:2022 PLATFORM:linux /,/^+/p' "$maya_arnold/prefix/maya/lumaVeil.mod")
folder=$(sed -n 's/^ARNOLD_PLUGIN_PATH +:= //p' <<<"$section")
[[ -n $folder && -f "$maya_arnold/prefix/maya/lumaVeil/$folder/lumaVeilArnold.so" ]] || {
    echo "test-builds: the Maya 2022 section's ARNOLD_PLUGIN_PATH does not hold the Arnold shader:" >&2
    echo "$section" >&2
    exit 1
}
archives=$(cd "$maya_arnold" && cpack --config CPackConfig.cmake 2>&1)
grep -q "lumaVeil-1.0-maya2022-arnold7.3-linux-x86_64.tar.gz generated" <<<"$archives" || {
    echo "test-builds: no archive named for Maya 2022 and Arnold 7.3:" >&2
    echo "$archives" >&2
    exit 1
}

# The shader alone, for Arnold's other hosts (Houdini, Katana, 3ds Max,
# Cinema 4D, kick): a build without Maya installs it by its Arnold version,
# with no module file, and packs the archive named for that Arnold alone,
# into the folder cpack -B names.
arnold_alone=$real/arnold-alone
cmake -S . -B "$arnold_alone" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DLUMAVEIL_BUILD_MAYA=OFF -DARNOLD_ROOT="$PWD/$real/arnold" >/dev/null
cmake --build "$arnold_alone"
cmake --install "$arnold_alone" --prefix "$arnold_alone/prefix" >/dev/null
installed=$(cd "$arnold_alone/prefix" && find maya mentalray -type f 2>/dev/null || true)
[[ $installed == maya/lumaVeil/arnold/7.3/linux/lumaVeilArnold.so ]] || {
    echo "test-builds: the build without Maya installed, beside its documents:" >&2
    echo "$installed" >&2
    exit 1
}
packages=$PWD/$arnold_alone/elsewhere
cpack --config "$arnold_alone/CPackConfig.cmake" -B "$packages" >/dev/null
archives=$(cd "$packages" && ls -A)
[[ $(wc -l <<<"$archives") -eq 2 ]] && grep -qx 'lumaVeil-1.0-arnold7.3-linux-x86_64.tar.gz' <<<"$archives" &&
    grep -qx 'lumaVeil-1.0-arnold7.3-linux-x86_64-debug.tar.gz' <<<"$archives" || {
    echo "test-builds: cpack -B wrote into $packages:" >&2
    echo "$archives" >&2
    exit 1
}

# A devkit folder with its headers and without its libraries: configure stops
# with one line that names the folder and the libraries.
mkdir -p "$real/headers-only"
cp -R "$real/devkit/include" "$real/headers-only/"
said=$(cmake -S . -B "$real/headers-only/build" -G Ninja -DBUILD_TESTING=OFF \
    -DMAYA_LOCATION="$PWD/$real/headers-only" 2>&1) && {
    echo "test-builds: configure took a devkit folder without libraries" >&2
    exit 1
}
line=$(grep -F "MAYA_LOCATION=$PWD/$real/headers-only" <<<"$said" || true)
echo "$line"
[[ $(grep -c . <<<"$line") -eq 1 && $line == *"lib/libOpenMaya.so, lib/libFoundation.so, lib/libOpenMayaRender.so"* ]] || {
    echo "test-builds: no one-line configure error naming the devkit's libraries:" >&2
    echo "$said" >&2
    exit 1
}

# With the suites on.
said=$(cmake --preset default -B "$real/build" "${sdks[@]}" |
    grep -E '^-- lumaVeil: .* (left out)$' || true)
echo "$said"
[[ $(grep -c "Maya suites.*left out" <<<"$said") -eq 1 && $(grep -c "shader suites.*left out" <<<"$said") -eq 1 &&
   $(grep -c "Arnold suites.*left out" <<<"$said") -eq 1 ]] || {
    echo "test-builds: configure did not say once per SDK that its suites are left out" >&2
    exit 1
}
registered=$(ctest --test-dir "$real/build" -N)
if grep -qiE 'maya|shader|preview|arnold' <<<"$registered"; then
    echo "test-builds: suites that would load a real SDK's library into a stand-in host are registered" >&2
    exit 1
fi
