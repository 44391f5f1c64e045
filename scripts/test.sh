#!/usr/bin/env bash
# Builds everything and runs every test suite: the native build, then the
# same suites under AddressSanitizer+UndefinedBehaviorSanitizer and under
# ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh build preview

for preset in default asan tsan; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
