#!/bin/sh
# Runs a Windows program under Wine for the test suite: a private prefix per
# build folder (created once, under a lock, then reused), Wine's own messages
# silenced, one Wine server kept alive between runs (starting one costs
# seconds), and a virtual display for programs that open windows
# (KELPO_NEEDS_DISPLAY=1) when there is none.
#   usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
#          tools/wine-run.sh --init      (only prepare WINEPREFIX)
# WINEPREFIX defaults to the "wineprefix" folder beside the program's bin/.
set -e
program=$1
shift
if [ "$program" = --init ] && [ -z "$WINEPREFIX" ]; then
    echo "wine-run.sh --init needs WINEPREFIX" >&2
    exit 2
fi
if [ -z "$WINEPREFIX" ]; then
    WINEPREFIX=$(cd "$(dirname "$program")/.." && pwd)/wineprefix
fi
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# No desktop integration prompts or Mono/Gecko installers in test prefixes.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w || true
        fi
    ) 9>"$WINEPREFIX.lock"
fi

if [ "$program" = --init ]; then
    # A server left from an earlier run may keep a desktop on a display that
    # is gone; windows of this run get a fresh one on the current display.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    # The first program of a fresh server starts Wine's own services; a
    # test program doing that while others start beside it can hang at its
    # exit. A trivial program takes that turn here, and the server stays.
    wineserver -p 60 >/dev/null 2>&1 || true
    timeout 120 wine cmd /c exit >/dev/null 2>&1 || true
    exit 0
fi

wineserver -p 60 >/dev/null 2>&1 || true

if [ -n "$KELPO_NEEDS_DISPLAY" ] && [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a wine "$program" "$@"
fi
exec wine "$program" "$@"
