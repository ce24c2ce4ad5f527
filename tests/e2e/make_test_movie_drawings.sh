#!/bin/sh
# make-test-movie's drawings: gradients, discs and texts make a movie file;
# malformed values are refused with status 1 and no file.
#   usage: make_test_movie_drawings.sh MAKE_TEST_MOVIE
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

"$tool" --width 200 --height 100 --gradient 0,0,200,50:linear:FF0000:0000FF \
    --gradient 0,50,100,50:radial:FFFFFF:000000 --circle 150,75,20:208040 \
    --text 10,95,30:Kelpo -o "$work/drawings.swf"
if [ $? -ne 0 ] || [ "$(head -c 3 "$work/drawings.swf")" != FWS ]; then
    echo "FAIL: the drawings movie was not written"
    failures=$((failures + 1))
fi

# option|value: each is refused.
while IFS='|' read -r option value; do
    rm -f "$work/bad.swf"
    if "$tool" "$option" "$value" -o "$work/bad.swf" 2>/dev/null || [ -f "$work/bad.swf" ]; then
        echo "FAIL: $option $value was accepted"
        failures=$((failures + 1))
    fi
done <<'CASES'
--gradient|0,0,10,10:conic:FF0000:0000FF
--gradient|0,0,10:linear:FF0000:0000FF
--gradient|0,0,10,10:linear:FF0000
--gradient|0,0,10,10:linear:FF0000:00GG00
--circle|10,10:FF0000
--circle|10,10,5:red
--text|10,10,12:
--text|10,10:Hi
CASES
exit $failures
