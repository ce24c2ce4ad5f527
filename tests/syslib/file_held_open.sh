#!/bin/sh
# A file another program holds open without sharing: File's time queries
# answer their failure results (dateCreated NaN, the other two false) and
# the file's size and existence are still read. Windows only (under Wine).
#   usage: file_held_open.sh KELPO.exe HOLD_FILE.exe RUNNER
kelpo=$1
holder=$2
runner=$3
work=$(mktemp -d)
trap 'touch "$work/release"; rm -rf "$work"' EXIT
cd "$work" || exit 2
printf 'twelve bytes' > held.txt
"$runner" "$holder" held.txt held.marker release &
for i in $(seq 1 300); do
    [ -f held.marker ] && break
    sleep 0.1
done
if [ ! -f held.marker ]; then
    echo "FAIL: the holder did not open the file"
    exit 1
fi
cat > held.kls <<'KLS'
var f = new File("held.txt");
trace("exists " + File.exists("held.txt"));
trace("size " + f.size);
trace("dateCreated " + f.dateCreated);
trace("dateLastAccessed " + f.dateLastAccessed);
trace("dateLastModified " + f.dateLastModified);
KLS
"$runner" "$kelpo" run held.kls | tr -d '\r' > held.out
touch release
wait
expected='exists true
size 12
dateCreated NaN
dateLastAccessed false
dateLastModified false'
if [ "$(cat held.out)" != "$expected" ]; then
    echo "--- expected"; echo "$expected"; echo "--- actual"; cat held.out
    exit 1
fi
echo "held-open file answered its failure results"
