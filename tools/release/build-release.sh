#!/bin/sh
# Builds the programs handed to users, optimized and stripped:
#   build/win64-release  kelpo-projector.exe (the template kelpo-build copies
#                        by default), kelpo-player.dll, kelpo-build.exe,
#                        kelpo.exe, make-test-movie.exe and the demo's movie
#                        writer and peer program
#   build/release        the native kelpo command
#   usage: tools/release/build-release.sh   (from anywhere; JOBS=N for ninja)
set -e
cd "$(dirname "$0")/../.."
JOBS=${JOBS:-2}
if [ ! -f build/win64-release/build.ninja ]; then
    cmake -S . -B build/win64-release -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# The peer program is a test program; only the listed targets are built.
cmake --build build/win64-release -j "$JOBS" --target kelpo-projector kelpo_player kelpo-build \
    kelpo make-test-movie make-demo-movie projector_peer
if [ ! -f build/release/build.ninja ]; then
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELPO_TESTS=OFF >/dev/null
fi
cmake --build build/release -j "$JOBS" --target kelpo make-test-movie make-demo-movie
