#!/usr/bin/env bash
# Builds everything and runs every test suite: the native build and the same
# suites under the sanitizers, then each further stage of scripts/test-*.sh.
# Ends with the time each stage took.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

times=()
for stage in native builds windows msvc install fuzz; do
    start=$SECONDS
    bash "scripts/test-$stage.sh" || {
        status=$?
        echo "test: stage scripts/test-$stage.sh failed (status $status)" >&2
        exit "$status"
    }
    times+=("$stage: $((SECONDS - start)) s")
done
echo "== stage times =="
printf '  %s\n' "${times[@]}"
