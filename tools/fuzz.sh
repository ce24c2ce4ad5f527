#!/bin/sh
# Builds the fuzz targets of tests/fuzz (clang-14, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer; build folder build/fuzz) and runs each for
# SECONDS on its corpus tests/fuzz/corpus/NAME, one after the other.
#   usage: tools/fuzz.sh SECONDS [TARGET...]
# With GC_STRESS=1 the targets are built with KELPO_GC_STRESS in
# build/fuzz-stress: every collection checkpoint collects, so an input that
# leaves a value unrooted shows up as a use after free.
# New inputs that widen coverage go to BUILD/corpus/NAME (the checked-in
# corpus stays as it is); a finding leaves its input in BUILD/findings and
# makes the command fail.
set -e
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz.sh SECONDS [TARGET...]}
shift
# Every tests/fuzz/fuzz_NAME.cpp is a target.
targets=${*:-$(cd tests/fuzz && ls fuzz_*.cpp | grep -v '^fuzz_support' | sed 's/\.cpp$//' | tr '\n' ' ')}

build=build/fuzz
stress=OFF
if [ "${GC_STRESS:-0}" = 1 ]; then
    build=build/fuzz-stress
    stress=ON
fi

./tools/setup.sh
if [ ! -f "$build/build.ninja" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DKELPO_FUZZ=ON \
        -DKELPO_GC_STRESS=$stress -DKELPO_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${JOBS:-1}" >/dev/null

root=$PWD
mkdir -p "$build/findings" "$build/scratch"
status=0
for target in $targets; do
    seeds=$root/tests/fuzz/corpus/$target
    grown=$root/$build/corpus/$target
    log=$root/$build/$target.log
    mkdir -p "$grown"
    # Some inputs take seconds on purpose (bounded work on long strings,
    # slowed down by the sanitizers and a busy machine); a real hang is
    # unbounded, so a generous timeout still catches it.
    set -- -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -max_len=16384 \
        -print_final_stats=1 -artifact_prefix="$root/$build/findings/$target-"
    echo "== $target ($seconds s)"
    # A scratch folder as the working folder: nothing an input names lands
    # in the tree.
    if ! (cd "$build/scratch" && TMPDIR=$PWD "$root/$build/bin/$target" "$@" "$grown" "$seeds" >"$log" 2>&1); then
        echo "$target: finding, see $log and $build/findings"
        status=1
    fi
    grep -E "^#[0-9]+" "$log" | tail -1 || true
done
exit $status
