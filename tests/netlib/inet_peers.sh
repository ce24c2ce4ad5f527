#!/bin/sh
# Inet against real peers on 127.0.0.1, started here and stopped by their
# process ids: python3's file server and an HTTP peer of odd responses
# (http_peer.py) on free ports, and a DNS peer (dns_peer.py) on port 53,
# where MX lookups go. The scripts' output must equal their .out files;
# the downloaded files are compared with cmp, the 50 MB one too. The DNS
# servers of getDNS are put in the prefix's registry for the run and taken
# out again. Two last runs disable the echo service (ping then uses a raw
# ICMP socket, which needs root, as the tests run) and the SNMP agent
# (getIPConfig then has no interfaces).
#   usage: inet_peers.sh KELPO.exe RUNNER
kelpo=$1
runner=$2
dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=
added_keys=
added_value=
tcpip='HKLM\System\CurrentControlSet\Services\Tcpip\Parameters'
cleanup() {
    for pid in $pids; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    # Only what this run added goes: keys and values the prefix had stay.
    for key in $added_keys; do
        "$runner" reg delete "$tcpip\\$key" /f >/dev/null 2>&1
    done
    [ -n "$added_value" ] && "$runner" reg delete "$tcpip" /v NameServer /f >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 2

wait_for() {
    waited=0
    while [ ! -s "$1" ] && [ "$waited" -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    [ -s "$1" ]
}

mkdir files
printf 'a small file\r\nof two lines\r\n' > files/small.txt
touch -d @981173106 files/small.txt
head -c 52428800 /dev/urandom > files/big.bin

/usr/bin/python3 -u -m http.server 0 --bind 127.0.0.1 --directory files > files.log 2>&1 &
pids="$pids $!"
/usr/bin/python3 "$dir/http_peer.py" "$work/special.port" &
pids="$pids $!"
/usr/bin/python3 "$dir/dns_peer.py" 53 "$work/dns.ready" 2> dns.log &
pids="$pids $!"
if ! wait_for files.log || ! wait_for special.port || ! wait_for dns.ready; then
    echo "a peer did not start"
    cat files.log dns.log
    exit 1
fi
sleep 0.2
files_port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' files.log | head -1)
special_port=$(cat special.port)

# The keys this run adds, the deepest first.
for key in Interfaces Interfaces\\KelpoTest Transient; do
    "$runner" reg query "$tcpip\\$key" >/dev/null 2>&1 || added_keys="$key $added_keys"
done
"$runner" reg query "$tcpip" /v NameServer >/dev/null 2>&1 || added_value=yes
"$runner" reg add "$tcpip\\Transient" /v NameServer /d "127.0.0.7 127.0.0.8" /f >/dev/null 2>&1
"$runner" reg add "$tcpip" /v NameServer /d "127.0.0.9,127.0.0.7" /f >/dev/null 2>&1
"$runner" reg add "$tcpip\\Interfaces\\KelpoTest" /v NameServer /d ";127.0.0.10;" /f >/dev/null 2>&1

failed=0
run() {
    name=$1
    shift
    cp "$dir/$name.kls" .
    timeout 600 "$runner" "$kelpo" run "$name.kls" "$@" > raw.out 2> err.out
    status=$?
    tr -d '\r' < raw.out > "$name.actual"
    if [ "$status" -ne 0 ] || [ -s err.out ] || ! cmp -s "$name.actual" "$dir/$name.out"; then
        echo "--- $name: exit status $status, output differs (expected, actual):"
        diff "$dir/$name.out" "$name.actual"
        cat err.out
        failed=1
    fi
}
same() {
    if ! cmp "$1" "$2"; then
        echo "--- $2 differs from $1"
        failed=1
    fi
}
size_is() {
    size=$(stat -c %s "$2" 2>/dev/null || echo none)
    if [ "$size" != "$1" ]; then
        echo "--- $2: $size bytes, not $1"
        failed=1
    fi
}

run inet_http "$files_port" "$special_port"
same files/small.txt small.copy
same files/big.bin big.copy
/usr/bin/python3 -c 'import sys; sys.stdout.buffer.write(bytes((i * 7) % 251 for i in range(3000)))' > nolength.expected
same nolength.expected nolength.copy
same nolength.expected redirect.copy
size_is 1000 cut.copy
size_is 512 stopped.copy
head -c 512 files/big.bin > stopped.expected
same stopped.expected stopped.copy
size_is 1536 slow.copy
size_is 512 failed.copy
for never in missing.copy closed.copy x.copy; do
    if [ -e "$never" ]; then
        echo "--- $never was created"
        failed=1
    fi
done

run inet_network

# Without the echo service ping goes through a raw ICMP socket.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;icmp=d"
run inet_raw_ping
unset WINEDLLOVERRIDES

# Without the SNMP agent the table is empty.
printf 'var c = Inet.getIPConfig();\ntrace(c.ifNum + " " + (c.ifIP(0) === null));\n' > no_agent.kls
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;inetmib1=d" \
    timeout 120 "$runner" "$kelpo" run no_agent.kls > raw.out 2>&1
if [ "$(tr -d '\r' < raw.out)" != "0 true" ]; then
    echo "--- without the SNMP agent:"
    cat raw.out
    failed=1
fi

[ "$failed" -eq 0 ] && echo "Inet against the HTTP, DNS and ICMP peers passed"
exit $failed
