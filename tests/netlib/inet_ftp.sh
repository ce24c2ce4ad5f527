#!/bin/sh
# _InetFtp_ against a real server: pyftpdlib (tests/netlib/ftp_peer.py) on
# 127.0.0.1 at a free port with its home folder in this test's temporary
# folder, started here and stopped by its process id. inet_ftp.kls runs
# from source and compiled, each time on fresh server files, and must print
# inet_ftp.out; the files its transfers leave are compared here. Then
# inet_ftp_large.kls moves 50 MB each way, compared with cmp. Last,
# inet_ftp_hostile.kls meets a server that breaks the protocol in many ways
# (tests/netlib/ftp_hostile_peer.py). Nothing of it stays behind: not the
# temporary folder, nor a copy in the Internet cache of the Wine prefix.
#   usage: inet_ftp.sh KELPO.exe RUNNER
kelpo=$1
runner=$2
dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
peer_pids=
stop_peers() {
    for pid in $peer_pids; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
trap 'stop_peers; rm -rf "$work"' EXIT
cd "$work" || exit 2
# The connections with the system's proxy settings must reach the server.
unset http_proxy https_proxy ftp_proxy all_proxy HTTP_PROXY HTTPS_PROXY FTP_PROXY ALL_PROXY

failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}

# The server's files of inet_ftp.kls, made afresh for each run.
prepare() {
    rm -rf home local
    mkdir -p home/folders-only/sub1 home/folders-only/sub2 local
    printf 'hello world\n' > home/readme.txt
    head -c 1500 /dev/urandom > home/block.bin
    : > home/empty.bin
    printf 'written long ago\n' > home/old.txt
    touch -d '2004-02-29 10:00:00 UTC' home/old.txt
}
prepare

# Starts a server script that writes its port(s) to PORT_FILE.
#   start_peer PORT_FILE SCRIPT [ARGS...]
start_peer() {
    port_file=$1
    script=$2
    shift 2
    /usr/bin/python3 "$dir/$script" "$work/$port_file" "$@" > "$port_file.log" 2>&1 &
    peer_pids="$peer_pids $!"
    waited=0
    while [ ! -f "$port_file" ] && [ "$waited" -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if [ ! -f "$port_file" ]; then
        echo "$script did not start"
        cat "$port_file.log"
        exit 1
    fi
}
start_peer port ftp_peer.py "$work/home"
port=$(cat port)

# Runs a script (source or image) with arguments; its output must equal
# the expected one.
#   run_script TARGET EXPECTED [ARGS...]
run_script() {
    target=$1
    expected=$2
    shift 2
    timeout 600 "$runner" "$kelpo" run "$target" "$@" > raw.out 2> err.out
    status=$?
    tr -d '\r' < raw.out > "$target.actual"
    if [ "$status" -ne 0 ] || [ -s err.out ] || ! cmp -s "$target.actual" "$expected"; then
        fail "$target: exit status $status, output differs (expected, actual):"
        diff "$expected" "$target.actual"
        cat err.out
    fi
}

# Checks a file's size and that it holds the first bytes of another.
same_start() {
    file=$1
    of=$2
    length=$3
    if [ ! -f "$file" ] || [ "$(wc -c < "$file")" -ne "$length" ] ||
        ! cmp -s -n "$length" "$file" "$of"; then
        fail "$file: not the first $length bytes of $of"
    fi
}

cp "$dir/inet_ftp.kls" "$dir/inet_ftp_large.kls" "$dir/inet_ftp_hostile.kls" .
for script in inet_ftp inet_ftp_large inet_ftp_hostile; do
    "$runner" "$kelpo" compile $script.kls -o $script.klc > compile.out 2>&1 || {
        echo "compile of $script failed"; cat compile.out; exit 1
    }
done

for target in inet_ftp.kls inet_ftp.klc; do
    prepare
    run_script $target "$dir/inet_ftp.out" "$port"
    cmp -s local/block.bin home/block.bin || fail "$target: download of block.bin differs"
    cmp -s local/old.txt home/old.txt || fail "$target: download of old.txt differs"
    cmp -s local/passive.txt home/old.txt || fail "$target: passive download differs"
    same_start local/empty.bin home/empty.bin 0
    # A stopped or failed transfer leaves its partial file.
    same_start local/block.part home/block.bin 512
    same_start local/block.err home/block.bin 512
    same_start local/block.closed home/block.bin 512
    same_start home/partial.bin home/block.bin 512
    cmp -s local/block.busy home/block.bin || fail "$target: download with calls meanwhile differs"
    cmp -s home/uploaded.bin home/block.bin || fail "$target: upload of block.bin differs"
    [ -f home/uploaded-empty.bin ] && [ ! -s home/uploaded-empty.bin ] ||
        fail "$target: the empty upload is missing or not empty"
    [ -f home/empty.bin ] && [ -f home/old.txt ] || fail "$target: a second command ran"
    [ ! -e local/inner.txt ] || fail "$target: a download ran inside another"
done

# 50 MB each way.
size=52428800
head -c $size /dev/urandom > home/kelpo-ftp-big.bin
head -c $size /dev/urandom > local/kelpo-ftp-upload.bin
run_script inet_ftp_large.kls "$dir/inet_ftp_large.out" "$port"
cmp local/kelpo-ftp-big.bin home/kelpo-ftp-big.bin || fail "the 50 MB download differs"
cmp local/kelpo-ftp-upload.bin home/kelpo-ftp-uploaded.bin || fail "the 50 MB upload differs"
rm -f home/kelpo-ftp-big.bin local/kelpo-ftp-big.bin local/kelpo-ftp-upload.bin \
    home/kelpo-ftp-uploaded.bin

# A hostile server.
start_peer hostile_ports ftp_hostile_peer.py
head -c 102400 /dev/urandom > local/hostile.bin
for target in inet_ftp_hostile.kls inet_ftp_hostile.klc; do
    rm -f local/oversize.bin local/cut.bin
    # shellcheck disable=SC2046
    run_script $target "$dir/inet_ftp_hostile.out" $(cat hostile_ports)
    [ "$(wc -c < local/oversize.bin)" -eq 3000 ] || fail "$target: oversize.bin is not 3000 bytes"
    [ "$(wc -c < local/cut.bin)" -eq 700 ] || fail "$target: cut.bin is not 700 bytes"
done

# The Internet library of Wine keeps a copy of each download in its cache
# unless the client removes it.
if [ -n "$WINEPREFIX" ] &&
    find "$WINEPREFIX/drive_c/users" -path '*INetCache*' -name 'kelpo-ftp-big*' | grep -q .; then
    fail "a download left a copy in the Internet cache"
fi

[ "$failed" -eq 0 ] && echo "FTP client against pyftpdlib passed"
exit $failed
