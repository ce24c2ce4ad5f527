#!/bin/sh
# Lays out the folder a project author is handed, and its zip:
#   build/sdk/kelpo-sdk-VERSION/       and   build/sdk/kelpo-sdk-VERSION.zip
#     bin/     kelpo-build.exe, kelpo-projector.exe (its default template),
#              kelpo-player.dll, kelpo.exe, make-test-movie.exe  (Windows x64)
#     linux/   kelpo, make-test-movie  (Linux x86-64)
#     docs/    the project file, the language, the classes
#     examples/  hello.kls and the demo project, movie included
#     README.txt
#   usage: tools/release/make-sdk.sh   (builds the release programs first)
set -e
cd "$(dirname "$0")/../.."
tools/release/build-release.sh
version=$(sed -n 's/^project(kelpo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=kelpo-sdk-$version
sdk=build/sdk/$name
rm -rf "$sdk" "build/sdk/$name.zip"
mkdir -p "$sdk/bin" "$sdk/linux" "$sdk/docs" "$sdk/examples/demo"

win=build/win64-release/bin
cp "$win/kelpo-build.exe" "$win/kelpo-projector.exe" "$win/kelpo-player.dll" "$win/kelpo.exe" \
    "$win/make-test-movie.exe" "$sdk/bin/"
cp build/release/bin/kelpo build/release/bin/make-test-movie "$sdk/linux/"
for doc in docs/*.md; do
    case "$doc" in docs/architecture.md) ;; *) cp "$doc" "$sdk/docs/" ;; esac
done
cp examples/hello.kls "$sdk/examples/"
cp examples/demo/*.kls "$sdk/examples/demo/"
build/release/bin/make-demo-movie "$sdk/examples/demo/demo.swf"
# In the kit the player control lives in bin/, beside the template.
python3 - "$sdk/examples/demo/project.json" <<'PY'
import json, sys
with open("examples/demo/project.json") as f:
    project = json.load(f)
project["player"] = "../../bin/kelpo-player.dll"
with open(sys.argv[1], "w") as f:
    json.dump(project, f, indent=4)
    f.write("\n")
PY
sed "s/@VERSION@/$version/g" tools/release/sdk-readme.txt > "$sdk/README.txt"
(cd build/sdk && python3 -m zipfile -c "$name.zip" "$name")
echo "sdk: $sdk"
echo "zip: build/sdk/$name.zip ($(wc -c < "build/sdk/$name.zip") bytes)"
