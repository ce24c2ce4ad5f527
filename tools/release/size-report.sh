#!/bin/sh
# Prints the sizes of the release programs and of the demo projector packed
# with them (the figure kept in README.md: under 2 MB).
#   usage: tools/release/size-report.sh   (after build-release.sh; packs the
#          demo into build/release-demo with Wine when it is not there)
set -e
cd "$(dirname "$0")/../.."
bin=build/win64-release/bin
demo=build/release-demo
if [ ! -f "$demo/KelpoDemo.exe" ] || [ "$bin/kelpo-projector.exe" -nt "$demo/KelpoDemo.exe" ]; then
    rm -rf "$demo"
    mkdir -p "$demo"
    cp examples/demo/project.json examples/demo/*.kls "$bin/kelpo-player.dll" "$demo/"
    build/release/bin/make-demo-movie "$demo/demo.swf"
    (cd "$demo" && WINEPREFIX=${WINEPREFIX:-$PWD/../win64-release/wineprefix} \
        ../../tools/wine-run.sh "../../$bin/kelpo-build.exe" project.json -o KelpoDemo.exe >/dev/null)
fi
size() {
    bytes=$(wc -c < "$1")
    printf '  %-24s %9d bytes  %5s MB\n' "$(basename "$1")" "$bytes" \
        "$(awk "BEGIN { printf \"%.2f\", $bytes / 1048576 }")"
}
echo "release programs (Windows x64, $bin):"
for p in kelpo-projector.exe kelpo-player.dll kelpo-build.exe kelpo.exe; do size "$bin/$p"; done
echo "native:"
size build/release/bin/kelpo
echo "demo projector (project, movie, scripts and player control inside):"
size "$demo/KelpoDemo.exe"
