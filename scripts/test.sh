#!/usr/bin/env bash
# Builds everything and runs every test suite: the native build and the same
# suites under the sanitizers, then each further stage of scripts/test-*.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/test-native.sh
for stage in windows install fuzz; do
    if [[ -f "scripts/test-$stage.sh" ]]; then
        bash "scripts/test-$stage.sh"
    fi
done
