#!/usr/bin/env bash
# The main job: builds lumaVeil and renders the default material swatch
# through the three deliverables. Extra arguments go to lumaveil-preview.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh build preview

cmake --preset default >/dev/null
# Only what the render uses: the tool, the three deliverables and the
# stand-in hosts it renders through, on every core (CMAKE_BUILD_PARALLEL_LEVEL,
# if set, says otherwise). scripts/test.sh builds the suites and the rest.
cmake --build --preset default --target lumaveil-preview -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
# out/swatch unless the arguments name an output of their own: the tool
# refuses an option given twice.
output=(--output out/swatch)
for argument in "$@"; do
    case $argument in -o | --output | --output=*) output=() ;; esac
done
mkdir -p out
./build/default/tools/preview/lumaveil-preview "${output[@]}" "$@"
