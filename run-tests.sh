#!/bin/sh
# Installs what is missing, builds every configuration and runs every test:
#   build/linux  native engine and tools, tests under ASan and UBSan
#   build/win64  Windows x64 (mingw-w64), tests under Wine
#   build/win32  Windows x86 (mingw-w64), compiled and linked
#   build/fuzz   the fuzz targets, each run briefly on its corpus
#   build/win64-release, build/release  the release programs; the projector
#                kit (build/sdk) is made from them and tried as a user would
set -e
cd "$(dirname "$0")"
./tools/setup.sh

JOBS=${JOBS:-2}

configure() {
    dir=$1
    shift
    if [ ! -f "build/$dir/build.ninja" ]; then
        cmake -S . -B "build/$dir" -G Ninja "$@" >/dev/null
    fi
}

configure linux -DKELPO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
configure win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
configure win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKELPO_RUN_WINDOWS_TESTS=OFF

for dir in linux win64 win32; do
    echo "== build $dir"
    cmake --build "build/$dir" -j "$JOBS"
done

echo "== test linux"
ctest --test-dir build/linux --output-on-failure -j "$JOBS"
echo "== fuzz every target briefly (tools/fuzz.sh)"
./tools/fuzz.sh "${FUZZ_SECONDS:-20}"
echo "== test win64 (Wine)"
# Every Wine program of the run shares one display. The prefix is prepared
# before the tests start, so that no test pays for (or races with) its first
# start; a test that fails is tried once more, as Wine itself occasionally
# stalls a process at exit.
JOBS=$JOBS ./tools/with-display.sh sh -c '
    WINEPREFIX="$PWD/build/win64/wineprefix" ./tools/wine-run.sh --init &&
    ctest --test-dir build/win64 --output-on-failure -j "$JOBS" --repeat until-pass:2'
echo "== release programs and the projector kit (tools/release)"
./tools/release/make-sdk.sh
WINEPREFIX="$PWD/build/win64/wineprefix" tests/sdk/check-sdk.sh build/sdk/kelpo-sdk-*.zip
echo "== all tests passed"
