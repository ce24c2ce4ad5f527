#!/bin/sh
# The projector kit as a project author gets it: unpacked from its zip into
# an empty folder, its own kelpo-build packs its demo project with its own
# template and player control, the result stays under 2 MB, and both kelpo
# commands run its first script.
#   usage: tests/sdk/check-sdk.sh SDK.zip   (WINEPREFIX: the prefix to use)
set -e
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
python3 -m zipfile -e "$zip" .
kit=$(ls -d kelpo-sdk-*)
cd "$kit"
for f in bin/kelpo-build.exe bin/kelpo-projector.exe bin/kelpo-player.dll bin/kelpo.exe \
         linux/kelpo docs/language.md docs/project-file.md examples/demo/demo.swf README.txt; do
    [ -f "$f" ] || { echo "FAILED: the kit has no $f"; exit 1; }
done

cd examples/demo
"$tools/wine-run.sh" ../../bin/kelpo-build.exe project.json -o KelpoDemo.exe
size=$(wc -c < KelpoDemo.exe)
echo "packed demo: $size bytes"
[ "$size" -lt 2097152 ] || { echo "FAILED: the demo projector is $size bytes, not under 2 MB"; exit 1; }
cd ../..

"$tools/wine-run.sh" bin/kelpo.exe run examples/hello.kls | tr -d '\r' > windows.out
chmod +x linux/kelpo
linux/kelpo run examples/hello.kls > linux.out
grep -q 'Hello from Kelpo Script!' linux.out || { echo "FAILED: linux/kelpo"; exit 1; }
cmp -s windows.out linux.out || { echo "FAILED: kelpo.exe and linux/kelpo differ"; diff windows.out linux.out; exit 1; }
echo "sdk: all checks passed"
