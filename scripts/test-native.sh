#!/usr/bin/env bash
# The native suites: optimised, then under AddressSanitizer+UndefinedBehavior-
# Sanitizer and under ThreadSanitizer.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

bash scripts/install-deps.sh build preview viewport

for preset in default asan tsan; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
