#!/usr/bin/env bash
# The test stages' shared logic: the 32-bit probe's answers (a machine that
# cannot run 32-bit programs, one that can, one without the 32-bit Wine, and
# a broken Wine) and the named failure of a step.
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
    grep -q "^no: this machine cannot run 32-bit programs: $work/refused --version gave status 126: .*Exec format error" <<<"$answer"

answer=$(LUMAVEIL_32BIT_PROBE=/bin/true bash -c "source '$stage'; can_run_32bit && echo yes")
expect "a probe that runs answers yes: $answer" test "$answer" = yes

# Without its probe: a 32-bit Wine that could not be installed skips the
# 32-bit suites in one line; one installed but broken stops the stage.
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "$WINE32_STATUS"\n' >"$work/bin/dpkg-query" && chmod +x "$work/bin/dpkg-query"
message=$(WINE32_STATUS="" PATH="$work/bin:$PATH" LUMAVEIL_32BIT_PROBE="$work/missing" bash -c \
    "source '$stage'; source '${stage%stage.sh}wine.sh'; runs_here windows-x86 32 'the suites' || echo skipped")
expect "without wine32:i386 one line skips the suites: $message" test "$message" = \
    "SKIPPED: windows-x86: the suites, which need the 32-bit Wine: wine32:i386 is not installed (scripts/install-deps.sh says why it could not be)
skipped"
message=$(WINE32_STATUS="install ok installed" PATH="$work/bin:$PATH" LUMAVEIL_32BIT_PROBE="$work/missing" \
    bash -c "source '$stage'; can_run_32bit; echo reached" 2>&1)
status=$?
expect "a missing probe of an installed Wine stops the stage: $message" \
    test $status -eq 2 -a "${message/reached/}" = "$message"

message=$(bash -c "source '$stage'; true; (exit 3); echo reached" 2>&1)
status=$?
expect "a failing step names itself: $message" \
    grep -q "FAILED (status 3) at line 1: ( exit 3 )" <<<"$message"
expect "a failing step keeps its status" test $status -eq 3

exit $((failures > 0))
