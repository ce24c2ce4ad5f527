#!/bin/sh
# The Encryption class against python3 (hashlib, pycryptodome), live: the
# reference writes a script over its table of pass phrases and texts and the
# output expected of it; kelpo must print exactly that.
#   usage: encryption_check.sh KELPO [RUNNER]
kelpo=$1
runner=$2
python=/usr/bin/python3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2

$python "$here/encryption_reference.py" table.kls expected.out || exit 2
$runner "$kelpo" run table.kls > actual.out 2> errors.txt || {
    echo "kelpo failed:"; cat errors.txt; exit 1
}
# Wine may end lines with CR LF.
tr -d '\r' < actual.out > actual.txt
if ! cmp -s expected.out actual.txt; then
    echo "--- results differ (expected, actual):"; diff expected.out actual.txt; exit 1
fi
exit 0
