#!/bin/sh
# Runs a command with an X display: the current one, or one virtual display
# for the command and everything it starts. Wine's desktop process belongs to
# the display of the program that started it, so all Wine programs of one
# prefix must share a display that outlives them; one per program breaks the
# later ones once the first display is gone.
#   usage: tools/with-display.sh COMMAND [ARGS...]
if [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a "$@"
fi
exec "$@"
