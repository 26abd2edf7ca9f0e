#!/bin/sh
# Usage: scripts/wine-test.sh PROGRAM.exe [ARGUMENTS...]
# Runs a Windows program of the build under Wine: the build's runner (the cross build's
# emulator) for ctest, the test listing and the samples. The caller sets up WINEPREFIX and
# starts wineserver. Programs other than a Google Test run or listing are run as they are.
#
# Now and then (3 times in some 20,000 runs on this machine) Wine 8.0 ends a program early and without
# a word: at once with status 1 and no output, or half-way through a test with status 0 and
# the rest of the output gone. A Google Test run that got to its end always prints its closing
# summary, and a test listing prints at least one line, so a run without them is run again, up
# to three times in all. Each repeat is reported on standard error and added to the file
# QUORVEL_WINE_REPEATS names, if set. A run that reached its end keeps its status, failures
# included; one that never does fails. It is a plain sh script: a LANG the machine has no
# locale for (ja_JP.UTF-8, to give Wine a code page) passes through it without a warning.
set -u

case " $* " in
*" --gtest_list_tests "*) finished='.' ;;
*" --gtest_filter="*) finished='^\[==========\] [0-9]+ tests? from [0-9]+ test suites? ran\.' ;;
*) exec /usr/lib/wine/wine64 "$@" ;;
esac

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
    /usr/lib/wine/wine64 "$@" >"$out" 2>"$err"
    status=$?
    if grep -Eq "$finished" "$out"; then
        break
    fi
    note="wine-test.sh: $(basename "$1") $2 ended early (status $status, $(wc -c <"$out") bytes of output), attempt $attempt of 3"
    echo "$note" >&2
    [ -z "${QUORVEL_WINE_REPEATS:-}" ] || echo "$note" >>"$QUORVEL_WINE_REPEATS"
done
cat "$out"
cat "$err" >&2
if [ "$status" -eq 0 ] && ! grep -Eq "$finished" "$out"; then
    exit 1
fi
exit "$status"
