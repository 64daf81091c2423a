#!/bin/sh
# Runs a Windows program under Wine for the tests: no window, no debug chatter, and the prefix
# given (a folder of the build's own), set up on first use.
# Usage: tools/wine-run.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
WINEPREFIX=$1
shift
export WINEPREFIX
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # Two tests starting together must not both set the prefix up.
    mkdir -p "$WINEPREFIX"
    flock "$WINEPREFIX/.lock" sh -c '[ -f "$WINEPREFIX/system.reg" ] || wineboot -i' \
        >/dev/null 2>&1
fi
exec wine "$@"
