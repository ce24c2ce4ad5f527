#!/bin/sh
# Runs packaged projects in the real projector under Wine, each with a time
# limit, and checks what their scripts wrote (DataFile INI files in the
# working folder), how the process ended, and that the instance folder is
# gone afterwards.
#
#   projector_runs.sh KELPO_BUILD PROJECTOR PLAYER_DLL MAKE_TEST_MOVIE PEER RUNNER
set -e
. "$(dirname "$0")/projector_case_lib.sh"

# ---- A frame action's FSCommand runs a packaged script; "quit" closes.
new_case fscommand
movie --frames 3 --fscommand 1:KELPO_RUN:Hello --fscommand 2:kelpo_run:hello --fscommand 3:quit -o movie.swf
printf 'if (typeof runs == "undefined") runs = 0;\nruns = runs + 1;\n%s\n' "$(save runs.ini runs)" > hello.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Hello": "hello.kls" }'
run
expect_value runs.ini runs 2

# ---- Two "Kelpo_AsynRun" queued in one frame run in order on idle turns;
# "Kelpo_Eval" and "Kelpo_File" run in the same engine.
new_case commands
movie --frames 10 --fscommand 1:Kelpo_AsynRun:First --fscommand 1:Kelpo_AsynRun:Second \
    --fscommand '6:Kelpo_Eval:evaluated = "yes";' --fscommand 8:Kelpo_File:file.kls --fscommand 10:quit -o movie.swf
printf 'order = "first";\n' > first.kls
printf 'order = order + ",second";\n' > second.kls
printf 'filed = "yes";\n%s\n' "$(echo 'DataFile.save("order.ini", "order", "evaluated", "filed");')" > file.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "First": "first.kls", "Second": "second.kls" }'
run
expect_value order.ini order "first,second"
expect_value order.ini evaluated yes
expect_value order.ini filed yes

# ---- "Initialize" returning false ends the program before the movie plays.
new_case initialize-false
movie --frames 2 --fscommand 1:Kelpo_Run:Played --fscommand 2:quit -o movie.swf
printf 'initialized = "yes";\n%s\nfalse;\n' "$(save init.ini initialized)" > init.kls
printf 'played = "yes";\n%s\n' "$(save played.ini played)" > played.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls", "Played": "played.kls" }'
run
expect_value init.ini initialized yes
[ ! -f played.ini ] || fail "the movie played after Initialize returned false"

# ---- "/AfterInstall" in any letter case runs its script without a window.
new_case after-install
movie --frames 1 --fscommand 1:Kelpo_Run:Played -o movie.swf
printf 'hook = "ran";\n%s\n' "$(save hook.ini hook)" > hook.kls
printf 'played = "yes";\n%s\n' "$(save played.ini played)" > played.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "AfterInstall": "hook.kls", "Played": "played.kls" }'
run /AFTERINSTALL extra arguments
expect_value hook.ini hook ran
[ ! -f played.ini ] || fail "the movie played during an install hook"

# ---- A close requested while a script runs waits for the script: "quit"
# comes first in the frame, the script after it still runs.
new_case deferred-close
movie --frames 2 --fscommand 1:quit --fscommand 1:Kelpo_Run:After -o movie.swf
printf 'after = "ran";\n%s\n' "$(save after.ini after)" > after.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "After": "after.kls" }'
run
expect_value after.ini after ran

# ---- Another process calls a script function through WM_COPYDATA.
new_case copy-data
movie --frames 2 -o movie.swf
cat > init.kls <<'KLS'
function greet(name) { return "hello " + name; }
function big() { var s = "x"; while (s.length < 70000) s = s + s; return s; }
KLS
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls" }'
(sleep 1; windows "$peer" call 30 greet world > greet.out; windows "$peer" call 5 big > big.out;
 windows "$peer" call 5 missing > missing.out; windows "$peer" close 5) &
run
wait
grep -q '^reply: hello world$' greet.out || { cat greet.out; fail "greet"; }
grep -q '^length: 11$' greet.out || fail "greet length"
grep -q '^length: 131072$' big.out || { cat big.out; fail "big length"; }
grep -q '^reply: $' big.out || fail "a reply past 65532 characters is not empty"
grep -q '^reply: undefined$' missing.out || { cat missing.out; fail "missing function"; }

# ---- Input goes through the interaction settings: Esc and a hot key close
# the window, and ignored left presses never reach the movie's button.
new_case input
movie --frames 400 -o long.swf
build '"movies": { "files": ["long.swf"] }, "interaction": { "exitKeys": ["esc"] }'
# The keys wait until start-up is over and the player window is wrapped.
(sleep 2; windows "$peer" key 30 27 > /dev/null) &
run
wait
build '"movies": { "files": ["long.swf"] }, "interaction": { "exitKeys": ["hotKey"], "hotKeyCode": 81 }'
(sleep 2; windows "$peer" key 30 27 > /dev/null; sleep 1
 windows "$peer" command 2 0 > /dev/null || touch closed-by-esc
 windows "$peer" key 5 81 > /dev/null) &
run
wait
[ ! -f closed-by-esc ] || fail "Esc closed the window although only the hot key should"

# ---- The left button by the interaction settings: "player" lets a click
# reach the movie's button, "ignore" keeps presses away, "dragWindow" moves
# the window when the mouse moves with the button held.
new_case left-button
movie --width 200 --height 100 --frames 600 --button 20,20,100,40:Kelpo_Run:Clicked -o movie.swf
printf 'clicked = "yes";\n%s\n' "$(save clicked.ini clicked)" > clicked.kls
for mode in player ignore dragWindow; do
    rm -f clicked.ini drag.out
    build "\"movies\": { \"files\": [\"movie.swf\"] }, \"scripts\": { \"Clicked\": \"clicked.kls\" },
           \"interaction\": { \"lBtnClk\": \"$mode\" }"
    (sleep 2; windows "$peer" drag 30 60 40 30 20 > drag.out; windows "$peer" click 5 60 40 > /dev/null
     sleep 1; windows "$peer" close 5) &
    run
    wait
    case $mode in
        player) expect_value clicked.ini clicked yes; expected="moved: 0 0" ;;
        ignore) [ ! -f clicked.ini ] || fail "an ignored click reached the movie"; expected="moved: 0 0" ;;
        dragWindow) expected="moved: 30 20" ;;
    esac
    grep -q "^$expected\$" drag.out || fail "$mode: drag gave \"$(cat drag.out)\", expected \"$expected\""
done

# ---- The right button: "contextMenu" opens the window's menu (choosing
# Close there, by its letter C, ends the program), "ignore" opens nothing.
new_case right-button
movie --frames 600 -o long.swf
build '"movies": { "files": ["long.swf"] }, "interaction": { "rBtnClk": "contextMenu" }'
(sleep 2; windows "$peer" rclick 30 50 50 C > menu.out) &
run
wait
grep -q '^menu: open$' menu.out || fail "contextMenu: $(cat menu.out)"
build '"movies": { "files": ["long.swf"] }, "interaction": { "rBtnClk": "ignore" }'
(sleep 2; windows "$peer" rclick 30 50 50 > menu.out; windows "$peer" close 5) &
run
wait
grep -q '^menu: none$' menu.out || fail "ignore: $(cat menu.out)"

# ---- The session ends: the player goes at once and the trace file is
# closed; the window closes later as usual and the instance folder is
# still removed.
new_case session-end
movie --frames 600 -o long.swf
printf 'Application.traceToFile("trace.txt");\ntrace("before the end");\n' > init.kls
build '"movies": { "files": ["long.swf"] }, "scripts": { "Initialize": "init.kls" }'
(sleep 2; windows "$peer" endsession 30 > session.out; sleep 1; cp trace.txt seen.txt
 windows "$peer" close 5) &
run
wait
grep -q '^player: gone$' session.out || fail "after the session end: $(cat session.out)"
# The trace file was closed (and so written out) while the program still ran.
tr -d '\r' < seen.txt | grep -q '^before the end$' || fail "the trace file was not closed at the session end"

# ---- A bad ID resource stops the start with "Invalid application data".
new_case bad-id
cp "$projector" app.exe
(windows "$peer" dialog 30 > dialog.out) &
run
wait
grep -q '^text: Invalid application data$' dialog.out || { cat dialog.out; fail "no Invalid application data message"; }

# ---- Without movies, File Open loads the location typed into its dialog.
new_case file-open
movie --frames 2 --fscommand 1:Kelpo_Run:Opened --fscommand 2:quit -o opened.swf
printf 'opened = "yes";\n%s\n' "$(save opened.ini opened)" > opened.kls
build '"scripts": { "Opened": "opened.kls" }'
location=$(winepath -w "$PWD/opened.swf" 2>/dev/null)
(windows "$peer" command 30 57601; windows "$peer" dialog 30 "$location" > dialog.out) &
run
wait
grep -q '^dialog: Open$' dialog.out || { cat dialog.out; fail "no Open dialog"; }
expect_value opened.ini opened yes

report "projector runs"
