#!/bin/sh
# The main job: builds the release projector, its player control and the
# builder for Windows, packs the demo project (examples/demo) into a projector and runs it
# under Wine on a virtual display when there is no real one. A peer program
# takes screenshots, clicks the movie's "Count" button and finally "Quit".
set -e
cd "$(dirname "$0")"
./tools/setup.sh

# The release programs (optimized, stripped) are what a user packs with.
tools/release/build-release.sh
build=build/win64-release

export WINEPREFIX="$PWD/$build/wineprefix"
./tools/wine-run.sh --init
bin="$PWD/$build/bin"
demo="$PWD/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp examples/demo/project.json examples/demo/*.kls "$demo/"
cp "$bin/kelpo-player.dll" "$demo/"
cd "$demo"
../../tools/wine-run.sh "$bin/make-demo-movie.exe" demo.swf
# kelpo-build takes the projector beside it as its template.
../../tools/wine-run.sh "$bin/kelpo-build.exe" project.json -o KelpoDemo.exe
echo "packed: $demo/KelpoDemo.exe"

# The demo and the peer share one display.
if [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a ../../tools/play-demo.sh "$bin"
else
    ../../tools/play-demo.sh "$bin"
fi

echo "screenshots: $(ls "$demo"/start.* "$demo"/counted.* | tr '\n' ' ')"
echo "script output (DataFile): $demo/demo.ini"
tr -d '\r' < demo.ini
cd ../..
tools/release/size-report.sh
