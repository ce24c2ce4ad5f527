#!/bin/sh
# Socket against a real peer: a python3 echo server (TCP and UDP) on
# 127.0.0.1 at a free port, started here and stopped by its process id.
# The script runs from source and compiled; its output must equal
# socket_echo.out.
#   usage: socket_echo.sh KELPO.exe RUNNER
kelpo=$1
runner=$2
dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
peer_pid=
stop_peer() {
    if [ -n "$peer_pid" ]; then
        kill "$peer_pid" 2>/dev/null
        wait "$peer_pid" 2>/dev/null
    fi
}
trap 'stop_peer; rm -rf "$work"' EXIT
cd "$work" || exit 2

/usr/bin/python3 "$dir/echo_peer.py" "$work/port" &
peer_pid=$!
waited=0
while [ ! -f port ] && [ "$waited" -lt 100 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
if [ ! -f port ]; then
    echo "the echo peer did not start"
    exit 1
fi
port=$(cat port)

cp "$dir/socket_echo.kls" .
"$runner" "$kelpo" compile socket_echo.kls -o socket_echo.klc > compile.out 2>&1 || {
    echo "compile failed"; cat compile.out; exit 1
}
failed=0
for target in socket_echo.kls socket_echo.klc; do
    timeout 120 "$runner" "$kelpo" run "$target" "$port" > raw.out 2> err.out
    status=$?
    tr -d '\r' < raw.out > actual.out
    if [ "$status" -ne 0 ] || [ -s err.out ] || ! cmp -s actual.out "$dir/socket_echo.out"; then
        echo "--- $target: exit status $status, output differs (expected, actual):"
        diff "$dir/socket_echo.out" actual.out
        cat err.out
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo "socket round trips with the echo peer passed"
exit $failed
