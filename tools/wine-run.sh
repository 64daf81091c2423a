#!/bin/sh
# Runs a Windows program under Wine for the tests: no window, no debug chatter, and the prefix
# given (a folder of the build's own), made on first use.
# Usage: tools/wine-run.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
WINEPREFIX=$1
shift
export WINEPREFIX
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
# Wine's server and its services keep open whatever output they were started with, and ctest
# waits for a test's output to close: they are started here, one test at a time, on /dev/null.
# They stay a minute after the last program ends, so that the next test starts at once.
flock -o "$WINEPREFIX/.lock" sh -c 'wineserver -p60 && wine cmd /c exit || true' \
    </dev/null >/dev/null 2>&1
exec wine "$@"
