#!/bin/sh
# Plays the packed demo in the current folder while a peer program takes a
# screenshot, clicks "Count" three times, takes another, measures the main
# window and clicks "Quit"; the rectangle the demo's script reported for its
# main window must be the measured one.
#   usage: play-demo.sh BIN_FOLDER   (run from the folder of KelpoDemo.exe)
set -e
bin=$1
tools=$(cd "$(dirname "$0")" && pwd)
"$tools/wine-run.sh" ./KelpoDemo.exe &
demo=$!
peer() { "$tools/wine-run.sh" "$bin/projector_peer.exe" "$@"; }
sleep 2
peer screenshot 30 start.bmp
for click in 1 2 3; do
    peer click 5 68 240
    sleep 1
done
peer screenshot 5 counted.bmp
peer measure 5 | tr -d '\r' > measured.txt
peer click 5 404 240
wait $demo
# The window the script reported is the one the peer measured.
measured="$(sed -n 's/^caption: //p' measured.txt): $(sed -n 's/^window: //p' measured.txt)"
reported=$(tr -d '\r' < demo.ini | sed -n '/^\[mainWindow\]/,/^\[/p' | sed -n 's/^value=//p' |
           python3 -c 'import sys, urllib.parse; print(urllib.parse.unquote(sys.stdin.read().strip()))')
echo "main window: $measured (measured), $reported (reported by the script)"
[ "$measured" = "$reported" ] || { echo "the script's main window differs from the measured one"; exit 1; }
