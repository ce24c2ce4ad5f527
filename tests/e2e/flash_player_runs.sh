#!/bin/sh
# FlashPlayer driving the movie of a packaged project in the real projector:
# variables both ways, bound data, arrays and objects through movie
# variables, target properties, play, stop and goto, and coordinates.
#
#   flash_player_runs.sh KELPO_BUILD PROJECTOR PLAYER_DLL MAKE_TEST_MOVIE PEER RUNNER
set -e
. "$(dirname "$0")/projector_case_lib.sh"

# ---- Data between script and movie. Frame 1 fills the movie's variables,
# frame 2 runs Check, frame 3's actions read what Check wrote, frame 4 runs
# Verify, frame 5 quits.
new_case data
movie --width 200 --height 100 --frames 5 \
    --actions "1:push 'n12', '12'; setVariable; push 'n15', '1.5'; setVariable; push 'word', 'abc'; setVariable
push 'arr', 0; initArray; setVariable; push 'o', 0; initObject; setVariable
push 'list', 30, 20, 10, 3; initArray; setVariable" \
    --fscommand 2:Kelpo_Run:Check \
    --actions "3:push 'copy', 'x'; getVariable; setVariable; push 'second', 'arr'; getVariable; push 1; getMember; setVariable" \
    --fscommand 4:Kelpo_Run:Verify --fscommand 5:quit -o movie.swf
cat > check.kls <<'KLS'
FlashPlayer.bindData("n12", "n15", "word");
FlashPlayer.updateData();
types = typeof FlashPlayer.n12 + "," + typeof FlashPlayer.n15 + "," + typeof FlashPlayer.word;
values = FlashPlayer.n12 + "," + FlashPlayer.n15 + "," + FlashPlayer.word;
FlashPlayer.n12 = 99;
FlashPlayer.updateData(false);
pushed = FlashPlayer.getVariable("n12");
written = String(FlashPlayer.setVariable("x", "21"));
FlashPlayer.putArray("arr", ["a", "b", 3]);
var got = FlashPlayer.getArray("arr");
arrayBack = got.join(",") + ":" + typeof got[2];
list = FlashPlayer.getArray("list").join(",");
FlashPlayer.putObject("o", {n: 5, s: "hi", f: 1.5});
var o = FlashPlayer.getObject("o", "n", ["s", "f"]);
objectBack = o.n + "," + o.s + "," + o.f + ":" + typeof o.n + "," + typeof o.f;
// A bound name below a clip path, read through the MovieClip for "o".
FlashPlayer.bindData("o.s");
FlashPlayer.updateData();
throughClip = String(FlashPlayer.o) + ":" + FlashPlayer.o.s;
FlashPlayer.targetSetProperty("/", 6, "50");
alpha = String(FlashPlayer.targetGetPropertyNum("/", 6));
total = FlashPlayer.targetGetProperty("/", 5) + "," + FlashPlayer.totalFrames;
mapped = "";
for (var mode = 0; mode < 4; mode++) {
    FlashPlayer.scaleMode = mode;
    var r = FlashPlayer.movieToWindow(0, 200, 0, 100);
    mapped = mapped + FlashPlayer.scaleMode + ":" + r.left + "," + r.right + "," + r.top + "," + r.bottom + ";";
}
FlashPlayer.scaleMode = 0;
// The player's Base: the executable's folder, then the first movie's folder
// (the instance folder, the movie is embedded), as file:/// URLs.
function asBase(folder) { return "file:///" + folder.split("\\").join("/"); }
var appFolder = asBase(getAppDir());
var firstMovie = getMovies()[0];
var movieFolder = asBase(firstMovie.substring(0, firstMovie.lastIndexOf("\\") + 1));
Application.setBasePath();
base = String(Application.getBasePath() == appFolder && FlashPlayer.base == appFolder);
Application.setBasePath("movies");
base = base + "," + (Application.getBasePath() == movieFolder) + "," + (movieFolder != appFolder);
DataFile.save("check.ini", "base", "types", "values", "pushed", "written", "arrayBack", "list", "objectBack", "throughClip",
              "alpha", "total", "mapped");
KLS
cat > verify.kls <<'KLS'
copied = FlashPlayer.getVariable("copy") + "," + FlashPlayer.getVariable("second");
DataFile.save("verify.ini", "copied");
KLS
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Check": "check.kls", "Verify": "verify.kls" }'
run
expect_value check.ini types "number,number,string"
expect_value check.ini values "12,1.5,abc"
expect_value check.ini pushed 99
expect_value check.ini written true
expect_value check.ini arrayBack "a,b,3:number"
expect_value check.ini list "10,20,30"
expect_value check.ini objectBack "5,hi,1.5:number,number"
expect_value check.ini throughClip "[object MovieClip]:hi"
expect_value check.ini alpha 50
expect_value check.ini total "5,5"
expect_value check.ini mapped "0:0,200,0,100;1:0,200,0,100;2:0,200,0,100;3:0,200,0,100;"
expect_value check.ini base "true,true,true"
expect_value verify.ini copied "21,b"

# ---- Play, stop and goto: Jump stops the movie, goes to frame 8 (7 counted
# from 0) and plays on; the frames between never run.
new_case goto
skipped=""
for frame in 2 3 4 5 6 7; do skipped="$skipped --fscommand $frame:Kelpo_Run:Skipped"; done
movie --frames 10 --fscommand 1:Kelpo_Run:Jump $skipped --fscommand 9:Kelpo_Run:Landed --fscommand 10:quit -o movie.swf
cat > jump.kls <<'KLS'
stopped = String(FlashPlayer.stop()) + "," + FlashPlayer.isPlaying() + "," + FlashPlayer.playing;
went = String(FlashPlayer.gotoFrame(7)) + "," + FlashPlayer.currentFrame();
FlashPlayer.play();
playing = String(FlashPlayer.isPlaying());
DataFile.save("jump.ini", "stopped", "went", "playing");
KLS
printf 'skipped = "yes";\n%s\n' "$(save skipped.ini skipped)" > skipped.kls
printf 'landed = String(FlashPlayer.currentFrame());\n%s\n' "$(save landed.ini landed)" > landed.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Jump": "jump.kls", "Skipped": "skipped.kls", "Landed": "landed.kls" }'
run
expect_value jump.ini stopped "true,false,false"
expect_value jump.ini went "true,7"
expect_value jump.ini playing true
expect_value landed.ini landed 8
[ ! -f skipped.ini ] || fail "frames between the jump and its target ran"

report "flash player runs"
