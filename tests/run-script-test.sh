#!/bin/sh
# Runs one script test: the script's standard output must equal NAME.out;
# when NAME.err exists the run must fail with exactly that standard error,
# otherwise it must succeed with nothing on standard error.
#   usage: run-script-test.sh MODE KELPO SCRIPT [RUNNER]
#   MODE: source (kelpo run NAME.kls) or compiled (kelpo compile, then run
#   the .klc); RUNNER, when given, runs KELPO (tools/wine-run.sh).
mode=$1
kelpo=$2
script=$3
runner=$4
dir=$(cd "$(dirname "$script")" && pwd)
name=$(basename "$script" .kls)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$dir/$name.kls" "$work/"
# Fixture files a script reads live beside it as NAME.*.
for f in "$dir/$name".*; do
    case "$f" in *.kls|*.out|*.err) ;; *) cp "$f" "$work/" ;; esac
done
cd "$work" || exit 2

target="$name.kls"
if [ "$mode" = compiled ]; then
    if ! $runner "$kelpo" compile "$name.kls" -o "$name.klc" > compile.out 2> compile.err; then
        if [ -f "$dir/$name.err" ]; then
            # A compile error is the expected failure: compare it directly.
            if cmp -s compile.err "$dir/$name.err"; then exit 0; fi
            echo "--- expected standard error"; cat "$dir/$name.err"
            echo "--- actual standard error"; cat compile.err
            exit 1
        fi
        echo "compile failed:"; cat compile.err
        exit 1
    fi
    target="$name.klc"
fi

$runner "$kelpo" run "$target" > actual.out 2> actual.err
status=$?
failed=0
if ! cmp -s actual.out "$dir/$name.out"; then
    echo "--- standard output differs (expected, actual):"
    diff "$dir/$name.out" actual.out
    failed=1
fi
if [ -f "$dir/$name.err" ]; then
    if [ "$status" -ne 1 ]; then echo "expected exit status 1, got $status"; failed=1; fi
    if ! cmp -s actual.err "$dir/$name.err"; then
        echo "--- standard error differs (expected, actual):"
        diff "$dir/$name.err" actual.err
        failed=1
    fi
elif [ "$status" -ne 0 ] || [ -s actual.err ]; then
    echo "exit status $status, standard error:"; cat actual.err
    failed=1
fi
exit $failed
