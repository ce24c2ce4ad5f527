#!/bin/sh
# The main window's appearance from the project settings, measured by the
# peer program from outside: the rectangle of every size mode and a table of
# positions against the one computed for the screen, frame styles and border
# icons, a mask's region in each scale mode, the keep-ratio correction after
# a resize, and screenshots of a captioned, a masked and a maximized window.
#
#   window_appearance.sh KELPO_BUILD PROJECTOR PLAYER_DLL MAKE_TEST_MOVIE PEER RUNNER SHOTS
set -e
. "$(dirname "$0")/projector_case_lib.sh"
shots=$7
mkdir -p "$shots"

field() { sed -n "s/^$1: //p" "${2:-measure.out}" | head -1; }
word() { echo "$1" | cut -d' ' -f"$2"; }

# measure [SCREENSHOT]: runs the project while the peer measures the main
# window (and saves a screenshot), then closes it.
measure() {
    rm -f measure.out
    (windows "$peer" measure 30 > measure.out
     if [ -n "$1" ]; then windows "$peer" screenshot 5 "$1" > /dev/null; fi
     windows "$peer" close 5 > /dev/null) &
    run
    wait
    [ -s measure.out ] || fail "nothing measured"
}

# expect_rect LEFT TOP WIDTH HEIGHT: the window's measured rectangle.
expect_rect() {
    got=$(field window)
    want="$1 $2 $(($1 + $3)) $(($2 + $4))"
    [ "$got" = "$want" ] || fail "window at \"$got\", expected \"$want\""
}

# has_bits NAME MASK yes|no: the style field NAME has all MASK bits, or none.
has_bits() {
    value=$(($(field "$1")))
    if [ "$3" = yes ]; then
        [ $((value & $2)) -eq $(($2)) ] || fail "$1 $(field "$1") lacks $2"
    else
        [ $((value & $2)) -eq 0 ] || fail "$1 $(field "$1") has $2"
    fi
}

new_case placement
movie --width 400 --height 300 --frames 600 -o movie.swf
base='"movies": { "files": ["movie.swf"] }, "interaction": { "rBtnClk": "ignore" }'

# ---- Movie size: the client area is the movie's; centred, then in a corner.
for pos in 4 8; do
    build "$base, \"sizeAndPos\": { \"windowSize\": \"movieSize\", \"pos\": $pos }"
    measure
    screen=$(field screen); W=$(word "$screen" 1); H=$(word "$screen" 2)
    [ "$(field client)" = "400 300" ] || fail "movie size: client $(field client)"
    [ "$(field player)" = "400 300" ] || fail "movie size: player $(field player)"
    window=$(field window)
    w=$(($(word "$window" 3) - $(word "$window" 1))); h=$(($(word "$window" 4) - $(word "$window" 2)))
    case $pos in
        4) expect_rect $(((W - w) / 2)) $(((H - h) / 2)) $w $h ;;
        8) expect_rect $((W - w)) $((H - h)) $w $h ;;
    esac
done

# ---- A custom size of odd width and height at each anchor, the custom
# position and the percentage position; the frame styles of each border.
# pos  left top  borderStyle (the run leaves its own `left`)            borderIcons               screenshot
# The table comes on descriptor 3: Wine reads standard input.
while read -r pos px py border icons shot <&3; do
    build "$base, \"sizeAndPos\": { \"windowSize\": \"custom\", \"width\": 501, \"height\": 301,
           \"pos\": $pos, \"left\": $px, \"top\": $py },
           \"appearance\": { \"caption\": \"Placed $pos\", \"borderStyle\": $border, \"borderIcons\": $icons }"
    [ "$shot" = - ] && measure || measure "$shots/$shot"
    screen=$(field screen); W=$(word "$screen" 1); H=$(word "$screen" 2)
    dx=$((W - 501)); dy=$((H - 301))
    case $pos in
        0) x=0; y=0 ;;            1) x=$((dx / 2)); y=0 ;;        2) x=$dx; y=0 ;;
        3) x=0; y=$((dy / 2)) ;;  4) x=$((dx / 2)); y=$((dy / 2)) ;; 5) x=$dx; y=$((dy / 2)) ;;
        6) x=0; y=$dy ;;          7) x=$((dx / 2)); y=$dy ;;      8) x=$dx; y=$dy ;;
        9) x=$px; y=$py ;;        10) x=$((W * px / 100)); y=$((H * py / 100)) ;;
    esac
    case=placement-$pos
    expect_rect $x $y 501 301
    [ "$(field caption)" = "Placed $pos" ] || fail "caption \"$(field caption)\""
    case $border in
        '["none"]')
            has_bits style 0x80000000 yes; has_bits style 0x00C00000 no
            # A popup keeps minimize and system menu, loses maximize and help.
            has_bits style 0x000A0000 yes; has_bits style 0x00010000 no; has_bits exstyle 0x400 no ;;
        '["single"]')
            has_bits style 0x00C00000 yes; has_bits style 0x00040000 no
            has_bits style 0x00020000 yes; has_bits style 0x00010000 no ;;
        '["resizable","smallCaption"]')
            has_bits style 0x00C40000 yes; has_bits exstyle 0x480 yes ;;
        '["single","hideTaskbarButton"]')
            has_bits style 0x00C00000 yes; has_bits exstyle 0x40000 no ;;
    esac
    case $border in *hideTaskbarButton*) ;; *) has_bits exstyle 0x40000 yes ;; esac
done 3<<'TABLE'
0 0 0 ["single"] ["minimize","systemMenu"] custom-single-caption.bmp
1 0 0 ["none"] 4369 -
2 0 0 ["resizable","smallCaption"] ["help","systemMenu"] -
3 0 0 ["single","hideTaskbarButton"] [] -
4 0 0 ["single"] ["minimize"] -
5 0 0 ["none"] 4369 -
6 0 0 ["single"] ["minimize"] -
7 0 0 ["none"] 4369 -
8 0 0 ["single"] ["minimize"] -
9 17 23 ["single"] ["minimize"] -
10 25 50 ["none"] 4369 -
TABLE

# ---- Percentage: the height field gives half the screen both ways.
case=percentage
build "$base, \"sizeAndPos\": { \"windowSize\": \"percentage\", \"width\": 999, \"height\": 50, \"pos\": \"topLeft\" }"
measure
screen=$(field screen); W=$(word "$screen" 1); H=$(word "$screen" 2)
expect_rect 0 0 $((W / 2)) $((H / 2))

# ---- Wider than the screen and centred: a negative left edge (without a
# frame, which the system would keep within the screen's size).
case=oversized
build "$base, \"sizeAndPos\": { \"windowSize\": \"custom\", \"width\": 3001, \"height\": 200, \"pos\": \"center\" },
       \"appearance\": { \"borderStyle\": [\"none\"] }"
measure
screen=$(field screen); W=$(word "$screen" 1); H=$(word "$screen" 2)
expect_rect $(((W - 3001) / 2)) $(((H - 200) / 2)) 3001 200
[ $(((W - 3001) / 2)) -lt 0 ] || fail "the screen is wider than 3001 pixels"

# ---- Full screen covers the screen; maximized is zoomed.
case=full-screen
build "$base, \"sizeAndPos\": { \"windowSize\": \"fullScreen\" }, \"appearance\": { \"borderStyle\": [\"none\"] }"
measure
screen=$(field screen)
expect_rect 0 0 $(word "$screen" 1) $(word "$screen" 2)
case=maximized
build "$base, \"sizeAndPos\": { \"windowSize\": \"maximized\" }, \"appearance\": { \"caption\": \"Maximized\" }"
measure "$shots/maximized.bmp"
[ "$(field state)" = "zoomed visible" ] || fail "state \"$(field state)\""

# ---- A mask's region follows the movie in each scale mode: two rectangles
# of a 400 by 300 movie, in an 800 by 600 client (exact fit doubles them)
# and an 800 by 450 one.
new_case mask
movie --width 400 --height 300 --frames 600 --background 3366CC -o movie.swf
/usr/bin/python3 - <<'PY'
import struct
rects = [(0, 0, 400, 100), (100, 100, 300, 300)]
data = struct.pack("<IIII4i", 32, 1, len(rects), 16 * len(rects), 0, 0, 400, 300)
data += b"".join(struct.pack("<4i", *r) for r in rects)
open("shape.msk", "wb").write(struct.pack("<I", len(data)) + data)
PY
# scale mode  client height  screenshot  expected region
while read -r mode height shot expected <&3; do
    case=mask-$mode
    build "\"movies\": { \"files\": [\"movie.swf\"] }, \"masks\": { \"shape\": \"shape.msk\" },
           \"appearance\": { \"windowShape\": \"mask\", \"maskName\": \"shape\", \"borderStyle\": [\"none\"],
                             \"scaleMode\": \"$mode\" },
           \"sizeAndPos\": { \"windowSize\": \"custom\", \"width\": 800, \"height\": $height, \"pos\": \"topLeft\" }"
    [ "$shot" = - ] && measure || measure "$shots/$shot"
    [ "$(field region)" = "$expected" ] || fail "region \"$(field region)\", expected \"$expected\""
done 3<<'TABLE'
exactFit 600 masked-without-border.bmp 0,0,800,200 200,200,600,600
showAll 450 - 100,0,700,150 250,150,550,450
noScale 450 - 200,75,600,175 300,175,500,375
TABLE
# A mask packaged empty leaves no file: the window stays unshaped.
case=mask-missing
: > empty.msk
build "\"movies\": { \"files\": [\"movie.swf\"] }, \"masks\": { \"other\": \"empty.msk\" },
       \"appearance\": { \"windowShape\": \"mask\", \"maskName\": \"other\" }"
measure
[ "$(field region)" = none ] || fail "region without a mask file: $(field region)"

# ---- A transparent background makes a layered window of the movie's
# shapes (the movie's own background shows through).
new_case transparent
movie --width 300 --height 200 --frames 600 --button 50,50,200,100:Kelpo_Trace -o movie.swf
build "\"movies\": { \"files\": [\"movie.swf\"] },
       \"appearance\": { \"windowShape\": \"transparentBackground\", \"borderStyle\": [\"none\"] }"
measure "$shots/transparent.bmp"
has_bits exstyle 0x80000 yes

# ---- The misc options: the settings' background colour reaches the player
# (a movie without a background of its own shows it); muting the speakers
# without a mixer leaves the sound alone and the run goes on.
new_case misc
movie --width 200 --height 100 --frames 600 -o movie.swf
build "\"movies\": { \"files\": [\"movie.swf\"] },
       \"misc\": { \"flags\": [\"customBackground\", \"muteSpeakers\"], \"backgroundColor\": \"#3366CC\" }"
measure "$shots/background.bmp"
centre=$(/usr/bin/python3 - "$shots/background.bmp" <<'PY'
import struct, sys
d = open(sys.argv[1], "rb").read()
offset = struct.unpack_from("<I", d, 10)[0]
w, h = struct.unpack_from("<ii", d, 18)
row = (w * 3 + 3) & ~3
b, g, r = d[offset + (h // 2) * row + (w // 2) * 3:][:3]
print("%02x%02x%02x" % (r, g, b))
PY
)
[ "$centre" = 3366cc ] || fail "the window's middle is $centre, not the background colour 3366cc"

# ---- Keep-ratio: a height-only resize brings the width to the movie's
# proportions (4:3 here); without keep-ratio the width stays.
new_case keep-ratio
movie --width 400 --height 300 --frames 600 -o movie.swf
for keep in 1 0; do
    case=keep-ratio-$keep
    build "\"movies\": { \"files\": [\"movie.swf\"] }, \"sizeAndPos\": { \"bKeepRatio\": $keep }"
    (windows "$peer" measure 30 > measure.out; windows "$peer" resize 5 0 100 > resize.out
     windows "$peer" close 5 > /dev/null) &
    run
    wait
    before=$(field before resize.out); after=$(field after resize.out); client=$(field client resize.out)
    start_w=$(($(word "$before" 3) - $(word "$before" 1)))
    width=$(($(word "$after" 3) - $(word "$after" 1))); height=$(($(word "$after" 4) - $(word "$after" 2)))
    [ "$height" -eq $(($(word "$before" 4) - $(word "$before" 2) + 100)) ] || fail "height $height after $before"
    if [ $keep = 1 ]; then
        overhead=$((start_w - 400))
        want=$(awk -v h="$(word "$client" 2)" -v o="$overhead" 'BEGIN { printf "%d", o + int(h * (400 / 300)) }')
        [ "$width" -eq "$want" ] || fail "width $width, expected $want ($client)"
        [ "$(word "$client" 1)" -gt 400 ] || fail "client $client did not widen"
    else
        [ "$width" -eq "$start_w" ] || fail "width $width changed from $start_w"
    fi
done

report "window appearance"
