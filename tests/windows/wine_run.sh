#!/usr/bin/env bash
# CTest's emulator in the Windows build: runs one test program under Wine, in the prefix and on
# the display that tests/windows/wine_tests.sh prepared. Under Wine a QtTest program writes
# nothing to a pipe, so its log goes to a file that is printed afterwards. Wine passes on no
# variable whose name begins with QT_, so the tests run on Qt's windows platform. A program that
# has not ended in SCARICOMETRO_WINE_TEST_SECONDS (default 300) is waiting on something no test
# answers, most likely a message box of Qt's or of the C runtime's: it fails then, saying so,
# rather than holding CI until CTest's own limit.
set -uo pipefail
program=$1
shift
limit=${SCARICOMETRO_WINE_TEST_SECONDS:-300}
log=$(mktemp --suffix=.txt)
trap 'rm -f "$log"' EXIT
timeout --kill-after=10 "$limit" wine "$program" "$@" -o "$(winepath -w "$log"),txt"
status=$?
cat "$log"
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "$(basename "$program") did not end in $limit s: it is most likely waiting on a message box."
fi
exit "$status"
