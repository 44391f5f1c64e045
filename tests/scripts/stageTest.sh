#!/usr/bin/env bash
# The test stages' shared logic: the 32-bit probe's three answers and the
# named failure of a step.
#   bash stageTest.sh <source root>
set -uo pipefail
stage=$1/scripts/lib/stage.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # expect <what> <command...>: the command must succeed
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}

# A program the kernel refuses plays a machine without 32-bit support.
printf '\177ELF\001\001\001' >"$work/refused" && chmod +x "$work/refused"
answer=$(LUMAVEIL_32BIT_PROBE="$work/refused" bash -c \
    "source '$stage'; can_run_32bit && echo yes || echo \"no: \$no_32bit_reason\"")
expect "a refused probe answers no, with the kernel's reason: $answer" \
    grep -q "^no: $work/refused --version gave status 126: .*Exec format error" <<<"$answer"

answer=$(LUMAVEIL_32BIT_PROBE=/bin/true bash -c "source '$stage'; can_run_32bit && echo yes")
expect "a probe that runs answers yes: $answer" test "$answer" = yes

message=$(LUMAVEIL_32BIT_PROBE="$work/missing" bash -c "source '$stage'; can_run_32bit; echo reached" 2>&1)
status=$?
expect "a missing probe stops the stage: $message" \
    test $status -eq 2 -a "${message/reached/}" = "$message"

message=$(bash -c "source '$stage'; true; (exit 3); echo reached" 2>&1)
status=$?
expect "a failing step names itself: $message" \
    grep -q "FAILED (status 3) at line 1: ( exit 3 )" <<<"$message"
expect "a failing step keeps its status" test $status -eq 3

exit $((failures > 0))
