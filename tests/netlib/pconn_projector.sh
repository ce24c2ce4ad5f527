#!/bin/sh
# PConn between two programs: a packaged projector whose Initialize script
# listens at a named block, and a script of the command-line tool that
# sends it commands; the projector is closed by the peer program at the end.
# The projector's script also connects two sockets of its own: their
# handlers run from the projector's message loop, without processMsg, and
# the caller asks for what they saw.
#   usage: pconn_projector.sh KELPO_BUILD PROJECTOR PLAYER_DLL MAKE_TEST_MOVIE PEER RUNNER KELPO
set -e
kelpo=$(cd "$(dirname "$7")" && pwd)/$(basename "$7")
. "$(dirname "$0")/../e2e/projector_case_lib.sh"

block="KelpoPConnTest$$"

new_case pconn
movie --frames 2 -o movie.swf
cat > init.kls <<KLS
var conn = new PConn();
var listening = conn.listen("$block");
// Listening again at another name closes the first block and keeps this one.
var again = new PConn().listen("${block}Other");
function greet(a, b) { return "hello " + a + " " + b; }
function count() { return "count"; }
function big() { var s = "x"; while (s.length < 70000) s = s + s; return s; }
function quiet() { }
var acceptCode = "none", connectCode = "none", receivedText = "";
function onAccept(code) {
    accepted = this.accept();
    accepted.asyncSelect(\$FD_READ);
    accepted.onReceive = onServerReceive;
    acceptCode = code;
}
function onConnect(code) {
    connectCode = code;
    var out = new StringStream();
    out.write("ping");
    this.send(out, 4);
}
function onServerReceive(code) {
    var got = new StringStream();
    this.receive(got, 100);
    receivedText += got.toString();
}
// The notifications may come in either order; the answer does not tell.
function socketEvents() {
    return "accept " + acceptCode + ", connect " + connectCode + ", received " + receivedText;
}
var server = new Socket();
server.onAccept = onAccept;
server.create(0, \$SOCK_STREAM, \$FD_ACCEPT, "127.0.0.1");
server.listen();
var client = new Socket();
client.onConnect = onConnect;
client.create(0, \$SOCK_STREAM, \$FD_CONNECT);
client.connect("127.0.0.1", server.getSockName().port);
DataFile.save("listen.ini", "listening", "again");
KLS
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls" }'

cat > caller.kls <<KLS
// typeof tells the listener's text "undefined" from no answer at all.
function show(v) { return typeof v + " " + v; }
var p = new PConn();
trace(p + " " + PConn());
trace("greet " + show(p.send("$block", "greet", "a,,b")));
trace("one argument " + show(p.send("$block", "greet", "x")));
trace("no arguments " + show(p.send("$block", "count")));
trace("empty pieces " + show(p.send("$block", "greet", ",,")));
trace("too long " + show(p.send("$block", "big")));
trace("no result " + show(p.send("$block", "quiet")));
trace("missing function " + show(p.send("$block", "missing")));
trace("no block " + show(p.send("${block}Gone", "greet", "a")));
trace("no command " + show(p.send("$block")));
trace("command not a String " + show(p.send("$block", 5)));
trace("listen without a main window " + p.listen("${block}Tool"));
// The projector's sockets were connected while it ran its message loop.
var events = "";
var start = new Date().getTime();
while (events.indexOf("ping") < 0 && new Date().getTime() - start < 20000)
    events = p.send("$block", "socketEvents");
trace("projector sockets " + events);
KLS

# The caller waits until the projector listens, then closes it.
(
    waited=0
    while [ ! -f listen.ini ] && [ "$waited" -lt 300 ]; do sleep 0.1; waited=$((waited + 1)); done
    timeout 60 $runner "$kelpo" run caller.kls > caller.raw 2> caller.err || true
    windows "$peer" close 10 > /dev/null || true
) &
run
wait

expect_value listen.ini listening true
expect_value listen.ini again true
tr -d '\r' < caller.raw > caller.out
cat > expected.out <<'OUT'
[PConn Object] [PConn Object]
greet string hello a b
one argument string hello x undefined
no arguments string count
empty pieces string hello undefined undefined
too long undefined undefined
no result string undefined
missing function string undefined
no block undefined undefined
no command undefined undefined
command not a String undefined undefined
listen without a main window false
projector sockets accept 0, connect 0, received ping
OUT
if ! cmp -s caller.out expected.out; then
    fail "the caller's answers differ (expected, actual):"
    diff expected.out caller.out || true
    cat caller.err
fi
report "pconn_projector"
