#!/usr/bin/env bash
# Builds everything and runs every test suite: the native build and the same
# suites under the sanitizers, then each further stage of scripts/test-*.sh.
#
#   bash scripts/test.sh [stage...]     stages: native builds windows msvc install fuzz
#
# Without arguments every stage runs; named ones run alone, in this order, and
# the others count as skipped. A failed stage does not stop the run: each
# stage builds what it uses and stands alone, so the later ones still run and
# report their own faults, and the whole run stays about 40 minutes on two
# cores. Each stage's time is printed as it ends; at the end the stages passed,
# failed and skipped, and the parts that passed stages skipped (their
# "SKIPPED:" lines).
# The status is that of the first stage that failed, 0 when none did. Each
# stage's output is also kept in build/test-logs/<stage>.log.
cd "$(dirname "$0")/.."
source scripts/lib/stage.sh

all_stages=(native builds windows msvc install fuzz)
wanted=("$@")
[[ $# -gt 0 ]] || wanted=("${all_stages[@]}")
for stage in "${wanted[@]}"; do
    if [[ " ${all_stages[*]} " != *" $stage "* ]]; then
        echo "test: no stage '$stage' (stages: ${all_stages[*]})" >&2
        exit 2
    fi
done

logs=build/test-logs
mkdir -p "$logs"
passed=() failed=() skipped=() skipped_parts=()
status=0
interrupted=
trap 'interrupted=yes' INT
for stage in "${all_stages[@]}"; do
    if [[ " ${wanted[*]} " != *" $stage "* ]]; then
        skipped+=("$stage (not asked for)")
        continue
    fi
    if [[ -n $interrupted ]]; then
        skipped+=("$stage (interrupted)")
        continue
    fi
    start=$SECONDS
    bash "scripts/test-$stage.sh" 2>&1 | tee "$logs/$stage.log" && stage_status=0 ||
        stage_status=${PIPESTATUS[0]}
    took="$((SECONDS - start)) s"
    if [[ $stage_status -eq 0 ]]; then
        passed+=("$stage ($took)")
        echo "== test: $stage passed in $took =="
        while IFS= read -r line; do
            skipped_parts+=("$stage: $line")
        done < <(grep -E '^SKIPPED: ' "$logs/$stage.log" | sort -u || true)
    else
        failed+=("$stage (status $stage_status, $took)")
        echo "== test: $stage FAILED (status $stage_status) after $took; its output: $logs/$stage.log ==" >&2
        [[ $status -ne 0 ]] || status=$stage_status
    fi
done

list() { # list <heading> <entries...>: one line
    local heading=$1 joined=none
    shift
    [[ $# -eq 0 ]] || joined=$(printf ', %s' "$@") joined=${joined:2}
    printf '%-9s %s\n' "$heading" "$joined"
}
echo "== test: stages =="
list passed: "${passed[@]}"
list failed: "${failed[@]}"
list skipped: "${skipped[@]}"
if [[ ${#skipped_parts[@]} -gt 0 ]]; then
    printf '%s\n' "${skipped_parts[@]}"
fi
[[ -z $interrupted ]] || exit 130
exit "$status"
