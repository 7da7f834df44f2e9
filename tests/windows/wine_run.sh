#!/usr/bin/env bash
# CTest's emulator in the Windows build: runs one test program under Wine, in the prefix and on
# the display that tests/windows/wine_tests.sh prepared. Under Wine a QtTest program writes
# nothing to a pipe, so its log goes to a file that is printed afterwards. Wine passes on no
# variable whose name begins with QT_, so the tests run on Qt's windows platform.
set -uo pipefail
program=$1
shift
log=$(mktemp --suffix=.txt)
trap 'rm -f "$log"' EXIT
wine "$program" "$@" -o "$(winepath -w "$log"),txt"
status=$?
cat "$log"
exit "$status"
