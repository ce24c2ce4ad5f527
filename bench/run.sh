#!/bin/bash
# The benchmark suite: each program under kelpo and under the peer
# interpreters (Duktape, MuJS, Lua 5.4), one table of median times, ratios
# and geometric means, and kelpo's peak memory.
#
#   bench/run.sh [--runs N] [--only NAME]   full comparison (builds build/bench)
#   bench/run.sh --quick [--kelpo PATH]     every kelpo program once at a small
#                                           size, checked against known results
#
# Every program prints one checksum; all implementations must print the same.
# Kelpo programs take their size as the first script argument (ARGV), Lua as
# arg[1]; the JavaScript peers get a one-line prelude defining SIZE.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

# name, full size, quick size, checksum at the quick size
benchmarks=(
    "fib            33       18       2584"
    "int_loop       6000000  20000    890339538"
    "float_math     450      40       49174"
    "string_build   800000   5000     50842"
    "string_regex   120000   2000     89790"
    "array_ops      60000    2000     730554"
    "object_small   2000000  20000    278367"
    "object_large   1500000  20000    849652"
    "method_calls   1000000  10000    711425"
    "globals        6000000  20000    967906"
    "alloc_trees    1500     20       18521"
    "compile        5000     200      207"
)

runs=5
quick=0
only=
kelpo=
while [ $# -gt 0 ]; do
    case "$1" in
        --quick) quick=1 ;;
        --runs) runs=$2; shift ;;
        --only) only=$2; shift ;;
        --kelpo) kelpo=$2; shift ;;
        *) echo "usage: bench/run.sh [--quick] [--runs N] [--only NAME] [--kelpo PATH]" >&2; exit 2 ;;
    esac
    shift
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The compile benchmark's source: 13 lines per function (MuJS takes at
# most 65535 lines, so 5000 functions is the largest full size).
compile_source() {  # kind count -> path
    local path="$work/compile.$1"
    [ -f "$path" ] || "$here/make-compile-source.sh" "$1" "$2" > "$path"
    echo "$path"
}

# Runs one command; prints "nanoseconds peak-kilobytes" and leaves its
# standard output in $work/out.
measure() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/mem" "$@" > "$work/out" 2> "$work/err"
    local status=$?
    end=$(date +%s%N)
    if [ $status -ne 0 ]; then
        echo "FAILED: $*" >&2
        cat "$work/err" >&2
        return 1
    fi
    echo "$((end - start)) $(tail -1 "$work/mem")"
}

# The command line of one implementation for one benchmark.
command_for() {  # impl name size
    local impl=$1 name=$2 size=$3
    if [ "$name" = compile ]; then
        case $impl in
            kelpo) echo "$kelpo compile $(compile_source kls "$size") -o $work/compile.klc" ;;
            duk | mujs) echo "$impl $(compile_source js "$size")" ;;
            lua) echo "lua5.4 $(compile_source lua "$size")" ;;
        esac
        return
    fi
    case $impl in
        kelpo) echo "$kelpo run $here/$name.kls $size" ;;
        duk | mujs)
            { echo "var SIZE = $size;"; cat "$here/$name.js"; } > "$work/$name.js"
            echo "$impl $work/$name.js" ;;
        lua) echo "lua5.4 $here/$name.lua $size" ;;
    esac
}

# The checksum an implementation printed for its last run. kelpo compile
# prints nothing: the compiled image is run once to check it.
checksum_of() {  # impl name
    if [ "$1" = kelpo ] && [ "$2" = compile ]; then
        "$kelpo" run "$work/compile.klc"
    else
        cat "$work/out"
    fi
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

if [ $quick -eq 1 ]; then
    [ -n "$kelpo" ] || kelpo="$root/build/bench/bin/kelpo"
    if [ ! -x "$kelpo" ]; then
        echo "no kelpo at $kelpo" >&2
        exit 2
    fi
    failed=0
    passed=0
    for entry in "${benchmarks[@]}"; do
        read -r name full small expected <<< "$entry"
        [ -z "$only" ] || [ "$only" = "$name" ] || continue
        if ! measure $(command_for kelpo "$name" "$small") > /dev/null; then
            failed=$((failed + 1))
            continue
        fi
        got=$(checksum_of kelpo "$name")
        if [ "$got" = "$expected" ]; then
            passed=$((passed + 1))
        else
            echo "$name: checksum $got, expected $expected" >&2
            failed=$((failed + 1))
        fi
    done
    echo "$passed passed, $failed failed"
    [ $failed -eq 0 ]
    exit
fi

# ---- Full comparison -----------------------------------------------------------

missing=
command -v duk > /dev/null || missing="$missing duktape"
command -v mujs > /dev/null || missing="$missing mujs"
command -v lua5.4 > /dev/null || missing="$missing lua5.4"
[ -x /usr/bin/time ] || missing="$missing time"
if [ -n "$missing" ]; then
    echo "installing$missing"
    apt-get install -y $missing > /dev/null || exit 1
fi

if [ -z "$kelpo" ]; then
    build="$root/build/bench"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELPO_TESTS=OFF > /dev/null || exit 1
    cmake --build "$build" -j1 --target kelpo > /dev/null || exit 1
    kelpo="$build/bin/kelpo"
fi

impls="kelpo duk mujs lua"
printf '%-14s %9s %9s %9s %9s %8s %8s %8s %9s\n' benchmark kelpo duk mujs lua k/duk k/mujs k/lua "kelpo KB"
logs="$work/ratios"
: > "$logs"
status=0
for entry in "${benchmarks[@]}"; do
    read -r name full small expected <<< "$entry"
    [ -z "$only" ] || [ "$only" = "$name" ] || continue
    declare -A seconds=()
    reference=
    peak=0
    for impl in $impls; do
        : > "$work/times"
        for ((i = 0; i < runs; i++)); do
            line=$(measure $(command_for "$impl" "$name" "$full")) || { status=1; continue 3; }
            read -r ns kb <<< "$line"
            echo "$ns" >> "$work/times"
            if [ "$impl" = kelpo ] && [ "$kb" -gt "$peak" ]; then peak=$kb; fi
        done
        got=$(checksum_of "$impl" "$name")
        if [ -z "$reference" ]; then
            reference=$got
        elif [ "$got" != "$reference" ]; then
            echo "CHECKSUM MISMATCH in $name: kelpo printed $reference, $impl printed $got" >&2
            status=1
        fi
        seconds[$impl]=$(median < "$work/times" | awk '{ printf "%.3f", $1 / 1e9 }')
    done
    k=${seconds[kelpo]}
    ratios=$(awk -v k="$k" -v d="${seconds[duk]}" -v m="${seconds[mujs]}" -v l="${seconds[lua]}" \
        'BEGIN { printf "%.2f %.2f %.2f", k / d, k / m, k / l }')
    echo "$ratios" >> "$logs"
    read -r rd rm rl <<< "$ratios"
    printf '%-14s %9s %9s %9s %9s %8s %8s %8s %9s\n' "$name" "$k" "${seconds[duk]}" "${seconds[mujs]}" \
        "${seconds[lua]}" "$rd" "$rm" "$rl" "$peak"
    if [ "$name" = compile ]; then
        lines=$(wc -l < "$(compile_source kls "$full")")
        awk -v n="$lines" -v s="$k" 'BEGIN { printf "  kelpo compile: %d lines, %.0f lines per minute\n", n, n / s * 60 }'
    fi
    unset seconds
done
awk '{ d += log($1); m += log($2); l += log($3); n++ }
     END { if (n) printf "%-14s %39s %8.2f %8.2f %8.2f\n", "geomean", "", exp(d / n), exp(m / n), exp(l / n) }' "$logs"
exit $status
