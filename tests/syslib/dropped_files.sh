#!/bin/sh
# FileStreams a script drops without closing are closed by the collector in
# good time: with few file handles allowed, thousands of dropped streams
# must all open.
#   usage: dropped_files.sh KELPO
kelpo=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
cat > dropped.kls <<'KLS'
var failed = 0;
for (var i = 0; i < 3000; ++i) {
    var f = FileStream("dropped.bin", "w");
    if (f === null) ++failed; else f.put(i);
}
trace("failed " + failed);
KLS
ulimit -n 128 || exit 2
out=$("$kelpo" run dropped.kls) || exit 1
[ "$out" = "failed 0" ] || { echo "$out"; exit 1; }
