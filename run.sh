#!/bin/sh
# The main job: builds the engine natively and runs it. (Until the script
# compiler exists, this exercises the runtime and its collector.)
set -e
cd "$(dirname "$0")"
./tools/setup.sh
if [ ! -f build/release/build.ninja ]; then
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELPO_TESTS=OFF >/dev/null
fi
cmake --build build/release -j "${JOBS:-2}" --target kelpo
exec build/release/bin/kelpo heap-demo
