#!/bin/sh
# The main job: builds the kelpo command natively (optimized) and runs the
# example program on it. (Once the projector exists, this runs the demo
# projector on its embedded default project.)
set -e
cd "$(dirname "$0")"
./tools/setup.sh
if [ ! -f build/release/build.ninja ]; then
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELPO_TESTS=OFF >/dev/null
fi
cmake --build build/release -j "${JOBS:-2}" --target kelpo
exec build/release/bin/kelpo run examples/hello.kls
