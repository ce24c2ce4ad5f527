#!/bin/sh
# The kelpo command's own behaviour: an interactive session fed through
# standard input, the engine bound options, --version and refused options.
#   usage: command_line.sh TESTDIR KELPO [RUNNER]
dir=$1
kelpo=$2
runner=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
    echo "FAILED: $*"
    failed=1
}

# Runs kelpo with ARGS, standard input from $input; keeps status and output.
run() {
    $runner "$kelpo" "$@" < "$input" > "$work/out" 2> "$work/err"
    status=$?
    tr -d '\r' < "$work/out" > "$work/out.txt"
    tr -d '\r' < "$work/err" > "$work/err.txt"
}

expect_same() {  # FILE EXPECTED WHAT
    if ! cmp -s "$1" "$2"; then
        fail "$3 differs (expected, actual):"
        diff "$2" "$1"
    fi
}

# A session: values printed, warnings on standard output, an error shown
# without leaving, continuation lines, ".exit".
input=$dir/session.in
run
[ "$status" -eq 0 ] || fail "session: exit status $status"
expect_same "$work/out.txt" "$dir/session.out" "session standard output"
expect_same "$work/err.txt" "$dir/session.err" "session standard error"

# "repl" names the same mode; input that ends inside an entry still runs it,
# so the compiler says what is missing.
printf 'trace("in");\nfunction f() {\n' > "$work/unfinished.in"
input=$work/unfinished.in
run repl
grep -q '^in$' "$work/out.txt" || fail "repl: the first entry did not run"
grep -q 'missing } after block' "$work/err.txt" || fail "repl: unfinished entry not reported"

input=/dev/null
run --version
grep -q '^kelpo [0-9][0-9.]*$' "$work/out.txt" || fail "--version printed: $(cat "$work/out.txt")"

# The bounds stop what would otherwise take the machine: a string doubled
# forty times, and a loop without end.
run --heap-limit 16M eval 's = "x"; for (i = 0; i < 40; i++) s = s + s; s.length'
[ "$status" -eq 1 ] && grep -q 'Out of memory' "$work/err.txt" ||
    fail "--heap-limit: status $status, $(cat "$work/err.txt")"
run --budget=100000 eval 'while (true) {}'
[ "$status" -eq 1 ] && grep -q 'Instruction budget exhausted' "$work/err.txt" ||
    fail "--budget: status $status, $(cat "$work/err.txt")"
run --budget 100000 eval '1 + 2'
[ "$status" -eq 0 ] && grep -q '^3$' "$work/out.txt" || fail "--budget: a short run failed"

# An object's text comes from its own toString, which resets the run's
# result while it works.
run eval 'x = {}'
grep -q '^\[object Object\]$' "$work/out.txt" || fail "eval of an object printed: $(cat "$work/out.txt")"

for bad in "--heap-limit 12MB" "--budget" "--fast"; do
    # shellcheck disable=SC2086
    run $bad eval 1
    [ "$status" -eq 2 ] || fail "$bad: exit status $status, expected 2"
done
exit $failed
