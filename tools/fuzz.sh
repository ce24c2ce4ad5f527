#!/bin/sh
# Builds the fuzz targets of tests/fuzz (clang-14, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer; build folder build/fuzz) and runs each for
# SECONDS on its corpus tests/fuzz/corpus/NAME, one after the other.
#   usage: tools/fuzz.sh SECONDS [TARGET...]
# New inputs that widen coverage go to build/fuzz/corpus/NAME (the checked-in
# corpus stays as it is); a finding leaves its input in build/fuzz/findings
# and makes the command fail.
set -e
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz.sh SECONDS [TARGET...]}
shift
targets=${*:-"fuzz_compile fuzz_image fuzz_script_file fuzz_regexp fuzz_profile"}

./tools/setup.sh
if [ ! -f build/fuzz/build.ninja ]; then
    CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DKELPO_FUZZ=ON \
        -DKELPO_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build/fuzz -j "${JOBS:-1}" >/dev/null

root=$PWD
mkdir -p build/fuzz/findings build/fuzz/scratch
status=0
for target in $targets; do
    seeds=$root/tests/fuzz/corpus/$target
    grown=$root/build/fuzz/corpus/$target
    mkdir -p "$grown"
    dict=$root/tests/fuzz/$target.dict
    set -- -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
        -print_final_stats=1 -artifact_prefix="$root/build/fuzz/findings/$target-"
    if [ -f "$dict" ]; then set -- "$@" -dict="$dict"; fi
    echo "== $target ($seconds s)"
    # A scratch folder as the working folder: nothing an input names lands
    # in the tree.
    if ! (cd build/fuzz/scratch && TMPDIR=$PWD \
          "$root/build/fuzz/bin/$target" "$@" "$grown" "$seeds" >"$root/build/fuzz/$target.log" 2>&1); then
        echo "$target: finding, see build/fuzz/$target.log and build/fuzz/findings"
        status=1
    fi
    grep -E "^(#[0-9]+.*(DONE|pulse)|stat::)" "build/fuzz/$target.log" | tail -4 || true
done
exit $status
