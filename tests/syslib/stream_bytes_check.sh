#!/bin/sh
# The bytes FileStream writes and the crc values StringStream reports,
# checked against python3's struct and zlib on the same values; compressed
# data crossing between this zlib use and python3's; temporary files gone
# after the run.
#   usage: stream_bytes_check.sh KELPO
kelpo=$1
python=/usr/bin/python3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
mkdir tmp
cp "$here/stream_bytes.kls" .

# What python3 makes of the same values, and its compressed sample.
$python - <<'PY' || exit 2
import struct, zlib
data = bytes([65]) + struct.pack("<hh", 258, -2)
data += struct.pack("<i", 1) + b"A" + struct.pack("<d", 1.5) + struct.pack("<ii", 1, -7)
data += struct.pack("<f", 0.1) + b"ab\0" + b"12\0" + "hi".encode("utf-16-le") + b"\0\0"
data += b"end\r\n" + bytes(range(256))
open("expected.bin", "wb").write(data)
open("expected.txt", "w").write("%d %d\n" % (len(data), zlib.crc32(data)))
sample = b"".join(b"sample line %d\n" % i for i in range(5000))
open("python.z", "wb").write(zlib.compress(sample, 6))
open("python.plain", "wb").write(sample)
open("expected.txt", "a").write("%d %d\ntrue true 5\n" % (len(sample), zlib.crc32(sample)))
PY

TMP=$work/tmp TEMP=$work/tmp "$kelpo" run stream_bytes.kls > actual.txt 2> errors.txt || {
    echo "kelpo failed:"; cat errors.txt; exit 1
}
failed=0
cmp expected.bin out.bin || failed=1
if ! cmp -s expected.txt actual.txt; then
    echo "--- crc lines differ (expected, actual):"; diff expected.txt actual.txt; failed=1
fi
$python -c 'import sys, zlib; sys.exit(zlib.decompress(open("out.z","rb").read()) != open("out.bin","rb").read())' \
    || { echo "python3 does not read back the compressed file"; failed=1; }
cmp python.plain python.out || failed=1
if [ -n "$(ls -A tmp)" ]; then
    echo "temporary files left behind:"; ls -la tmp; failed=1
fi
exit $failed
