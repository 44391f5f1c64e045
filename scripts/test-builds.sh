#!/usr/bin/env bash
# The builds beyond the presets:
#  - a packager's plain Release build, first without the tests (it must need
#    nothing but a compiler, CMake and Ninja), then with them, run;
#  - the SDK switches, against SDK folders made from the stand-ins: a devkit
#    tree (include/maya, lib/) for MAYA_LOCATION, whose plug-in must load in
#    the stand-in Maya, and a shader.h of other layouts for
#    MENTALRAY_INCLUDE_DIR, whose shader must pass the shader suites in a
#    stand-in renderer built against the same header;
#  - configure against headers without the stand-in's mark, as a real SDK's,
#    which must leave the suites that would load them out and say so.
# Build folders: build/plain-release, build/sdk-switches, build/real-sdk.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

bash scripts/install-deps.sh build

plain=build/plain-release
echo "== plain Release build ($plain) =="
rm -rf "$plain"
cmake -S . -B "$plain" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
if grep -E '^(GTest_DIR|benchmark_DIR|PNG_LIBRARY|OpenEXR_DIR)[:=]' "$plain/CMakeCache.txt"; then
    echo "test-builds: the plain build without tests looked for a test, benchmark or image library" >&2
    exit 1
fi
cmake --build "$plain"
for deliverable in plugSource/lumaVeil.so mentalray/qv7k_lumaVeil.so \
    packaging/maya/attrPresets/lumaVeil/skin1.mel packaging/mentalray/lumaVeil_example.mi; do
    [[ -f "$plain/$deliverable" ]] || { echo "test-builds: $plain/$deliverable was not built" >&2; exit 1; }
done
echo "-- and with BUILD_TESTING"
cmake -S . -B "$plain" -DBUILD_TESTING=ON >/dev/null
cmake --build "$plain"
ctest --test-dir "$plain" --output-on-failure --no-tests=error -j "$(nproc)"

echo "== SDK switches, against SDK folders made from the stand-ins =="
sdk=build/sdk-switches
devkit=$PWD/$sdk/devkit
rm -rf "$sdk"
mkdir -p "$devkit/include" "$devkit/lib"
cp -R hosts/maya/include/maya "$devkit/include/"
cp -P "$plain"/hosts/maya/libOpenMaya.so "$plain"/hosts/maya/libFoundation.so "$devkit/lib/"
cmake --preset default -B "$sdk" -DMAYA_LOCATION="$devkit" \
    -DMENTALRAY_INCLUDE_DIR="$PWD/tests/mentalray/layoutVariant" \
    -DLUMAVEIL_BUILD_PREVIEW=OFF -DLUMAVEIL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$sdk"
# The plug-in links the devkit's libraries, and the shader saw the variant.
# (Outputs are read whole before grep: grep -q stopping early would leave the
# writer on a closed pipe, which pipefail counts as a failure.)
linked=$(ldd "$sdk/plugSource/lumaVeil.so")
grep -q "$devkit/lib/libOpenMaya.so" <<<"$linked" || {
    echo "test-builds: the plug-in does not link the devkit's OpenMaya" >&2
    exit 1
}
included=$(ninja -C "$sdk" -t deps mentalray/CMakeFiles/qv7k_lumaVeil.dir/lumaVeilShader.cpp.o)
grep -q "layoutVariant/shader.h" <<<"$included" || {
    echo "test-builds: the shader was not compiled against the variant shader.h" >&2
    exit 1
}
ctest --test-dir "$sdk" --output-on-failure --no-tests=error -j "$(nproc)"

echo "== SDK switches, against headers that are not the stand-ins' =="
real=build/real-sdk
rm -rf "$real"
mkdir -p "$real/devkit/include" "$real/renderer"
cp -R "$devkit/lib" "$real/devkit/"
cp -R hosts/maya/include/maya "$real/devkit/include/"
sed -i '/LUMAVEIL_STAND_IN_OPENMAYA/d' "$real/devkit/include/maya/MTypes.h"
grep -v LUMAVEIL_STAND_IN_RENDERER hosts/mentalray/include/shader.h >"$real/renderer/shader.h"
said=$(cmake --preset default -B "$real/build" -DMAYA_LOCATION="$PWD/$real/devkit" \
    -DMENTALRAY_INCLUDE_DIR="$PWD/$real/renderer" | grep -E '^-- lumaVeil: .* (left out)$' || true)
echo "$said"
[[ $(grep -c "Maya suites.*left out" <<<"$said") -eq 1 && $(grep -c "shader suites.*left out" <<<"$said") -eq 1 ]] || {
    echo "test-builds: configure did not say once per SDK that its suites are left out" >&2
    exit 1
}
registered=$(ctest --test-dir "$real/build" -N)
if grep -qiE 'maya|shader|preview' <<<"$registered"; then
    echo "test-builds: suites that would load a real SDK's library into a stand-in host are registered" >&2
    exit 1
fi
