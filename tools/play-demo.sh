#!/bin/sh
# Plays the packed demo in the current folder while a peer program takes a
# screenshot, clicks "Count" three times, takes another and clicks "Quit".
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
peer click 5 404 240
wait $demo
