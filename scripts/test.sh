#!/usr/bin/env bash
# Builds everything and runs every test suite: the native build and the same
# suites under the sanitizers, then each further stage of scripts/test-*.sh.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

for stage in native windows install fuzz; do
    bash "scripts/test-$stage.sh" || {
        status=$?
        echo "test: stage scripts/test-$stage.sh failed (status $status)" >&2
        exit "$status"
    }
done
