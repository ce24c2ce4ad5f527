#!/bin/sh
# Window objects in a running projector: the main window and the player's
# window as scripts reach them, a child window's events and its end while a
# handler runs, a window the peer program owns found and moved about, the
# player window's context-menu handler, and onQueryClose refusing the
# first close of the main window.
#
#   window_objects.sh KELPO_BUILD PROJECTOR PLAYER_DLL MAKE_TEST_MOVIE PEER RUNNER
set -e
. "$(dirname "$0")/projector_case_lib.sh"

new_case windows
movie --width 300 --height 200 --frames 2000 --fscommand 2:Kelpo_Run:Windows -o movie.swf
title="Kelpo peer window $$"
cat > windows.kls <<KLS
Application.traceToFile("trace.txt");
var main = getMainWnd();
trace("main: ", main === getMainWnd(), " ", main.className, " ", main.caption, " ", main);
trace("main rect: ", main.left, " ", main.top, " ", main.left + main.width, " ", main.top + main.height);
var player = FlashPlayer.window;
trace("player: ", player === FlashPlayer.window, " ", player.parent.handle == main.handle, " ",
      player.width, " ", player.height);
FlashPlayer.onContextMenu = function (x, y) { trace("context menu: ", x, " ", y, " ", this === player); };
trace("forwarded: ", typeof player.onContextMenu);

// A child of the main window and its events.
var label = main.create("STATIC");
label.onMove = function (x, y) { trace("onMove: ", x, " ", y); };
label.onSize = function (type, w, h) { trace("onSize: ", type, " ", w, " ", h); };
label.onMessage = function (message) { if (message == 0x000C) trace("onMessage: WM_SETTEXT"); };
label.caption = "label";
label.move(10, 20, 110, 40);
label.hide();
trace("hidden: ", label.visible);
label.width = 150;
trace("shown again: ", label.visible, " ", label.left, " ", label.top, " ", label.width, " ", label.height);
var path = [];
label.onMove = function (x, y) { path.push(x + "," + y); };
label.fly2(0, 0, 4, 8, 0);
trace("fly2: ", path.join(" "));
label.fly(3, 2, 0, 0);
trace("fly: ", label.left, " ", label.top);
label.center();
trace("centred: ", label.left, " ", label.top);
label.enable = false;
trace("enable: ", label.enable, " ", typeof label.animate(0, \$AW_BLEND), " ", label.update(),
      " ", main.getChildren().length >= 3, " ", label.parent.handle == main.handle);
label.close();
trace("closed: ", label.visible, " ", label.handle, " ", label.move(1, 2, 3, 4), " ", typeof label.onMove);

// A handler that destroys its own window while it runs.
var doomed = main.create("STATIC");
doomed.onMessage = function (message) {
    if (message != 0x000C) return;
    this.close();
    trace("in the handler: ", this.visible);
};
doomed.caption = "going";
trace("after the handler: ", doomed.caption, " ", doomed.getChildren());

// The peer's window: found by class and title, moved, hidden, shown, sized, closed.
var peer = Window.find("KelpoPeerWindow", "$title");
trace("peer found: ", peer !== null, " ", Window.getWindowsByName("$title").length);
peer.move(50, 60, 350, 260);
trace("peer moved: ", peer.left, " ", peer.top, " ", peer.width, " ", peer.height);
peer.hide();
trace("peer hidden: ", peer.visible);
peer.width = 320;
trace("peer shown: ", peer.visible, " ", peer.width);
peer.close();

var asked = 0;
main.onQueryClose = function () { asked++; trace("asked: ", asked); return asked > 1; };
main.onClose = function () { trace("closing: ", this === main); };
DataFile.save("ready.ini", "asked");
KLS
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Windows": "windows.kls" },
       "interaction": { "rBtnClk": "ignore" }, "appearance": { "caption": "Objects" }'
# The peer's window is up before the projector starts.
("$runner" "$peer" window 60 "$title" > peer.raw 2>/dev/null) &
for i in $(seq 1 100); do grep -q '^shown' peer.raw 2>/dev/null && break; sleep 0.2; done
(for i in $(seq 1 300); do [ -f ready.ini ] && break; sleep 0.2; done
 windows "$peer" measure 5 > measure.out
 windows "$peer" rclick 5 30 40 > /dev/null
 windows "$peer" close 5; sleep 1
 windows "$peer" measure 5 > still.out
 windows "$peer" close 5) &
run
wait
tr -d '\r' < trace.txt > got.txt
rect=$(sed -n 's/^window: //p' measure.out)
cat > want.txt <<OUT
main: true KelpoProjectorFrame Objects [object Window]
main rect: $rect
player: true true 300 200
forwarded: function
onMessage: WM_SETTEXT
onMove: 10 20
onSize: 0 100 20
hidden: false
onSize: 0 150 20
shown again: true 10 20 150 20
fly2: 0,0 1,2 2,4 3,6 4,8
fly: 4 180
centred: 75 90
enable: false boolean true true true
closed: undefined undefined undefined function
in the handler: undefined
after the handler: undefined undefined
peer found: true 1
peer moved: 50 60 300 200
peer hidden: false
peer shown: true 320
context menu: 30 40 true
asked: 1
asked: 2
closing: true
OUT
diff want.txt got.txt > trace.diff || { cat trace.diff; fail "the script's trace differs"; }
grep -q '^state: normal visible$' still.out || fail "the refused close closed the window: $(cat still.out)"
tr -d '\r' < peer.raw > peer.out
grep -q '^rect: 50 60 370 260$' peer.out || fail "peer window: $(cat peer.out)"
grep -q '^closed: yes$' peer.out || fail "the peer window was not closed"

# ---- Forms: a modal form returns the text its movie sends with "Kelpo_Ret";
# a modeless one returns at once, its movie's other commands reach the main
# bridge (a script there reads the form's variable), and its onExit gets
# the text; a form whose movie sends "quit" closes the main window.
new_case forms
movie --width 300 --height 200 --frames 2000 --fscommand 2:Kelpo_Run:Forms -o main.swf
movie --width 200 --height 150 --frames 20 --fscommand '5:Kelpo_Ret:hello from the form' -o modal.swf
movie --width 240 --height 120 --frames 40 --actions "1:push 'greeting', 'hi'; setVariable" \
    --fscommand 3:Kelpo_Run:Probe --fscommand 6:KELPO_RET:bye -o modeless.swf
movie --width 100 --height 100 --frames 40 --fscommand 3:quit -o quit.swf
cat > forms.kls <<'KLS'
Application.traceToFile("trace.txt");
var modal = new Form();
trace("defaults: ", modal.showCaption, " ", modal.canDrag, " ", modal.movie === "", " ", modal.onExit === null, " ", modal);
modal.movie = "modal.swf";
modal.caption = "Modal form";
modal.initVars = "a=1";
modal.movie = 5;  // not a String: kept as it was
modal.onExit = function (text) { trace("onExit: ", text, " ", this === modal); };
trace("closed form: ", modal.getVariable("a"), " ", modal.close());
trace("modal: ", modal.show());
trace("again closed: ", modal.getVariable("a"));

modeless = new Form();
modeless.movie = "modeless.swf";
modeless.showCaption = false;
modeless.canDrag = true;
modeless.onExit = function (text) {
    trace("modeless onExit: ", text);
    var last = new Form();
    last.movie = "quit.swf";
    trace("quit form: ", last.show());
};
trace("modeless: ", modeless.show(false));
trace("open twice: ", modeless.show(false));
KLS
printf 'trace("form variable: ", modeless.getVariable("greeting"), " ", modeless.setBase("C:\\\\"));\n' > probe.kls
build '"movies": { "files": ["main.swf", "modal.swf", "modeless.swf", "quit.swf"] },
       "scripts": { "Forms": "forms.kls", "Probe": "probe.kls" }'
run
tr -d '\r' < trace.txt > got.txt
cat > want.txt <<'OUT'
defaults: true false true true [object Form]
closed form: undefined undefined
onExit: hello from the form true
modal: hello from the form
again closed: undefined
modeless: undefined
open twice: undefined
form variable: hi true
modeless onExit: bye
quit form: undefined
OUT
diff want.txt got.txt > trace.diff || { cat trace.diff; fail "the forms' trace differs"; }

report "window objects"
