#!/bin/sh
# The Application object and the host's global functions in the real
# projector under Wine: interval timers, the trace file, host events, the
# command line, the profile, additional files, the movie list, message
# pumping with a deferred close, and wrong arguments giving their defaults.
# Scripts report through DataFile INI files in the working folder.
#
#   application_object.sh KELPO_BUILD PROJECTOR PLAYER_DLL MAKE_TEST_MOVIE PEER RUNNER
set -e
. "$(dirname "$0")/projector_case_lib.sh"

# ---- Interval timers: a Function with two extras and an object's method,
# each cleared from its own tick; a String period starts nothing and
# clearing twice is harmless. The report comes seconds later, so ticks after
# the clear would show.
new_case timers
movie --frames 30 --fscommand 29:Kelpo_Run:Report --fscommand 30:quit -o movie.swf
cat > init.kls <<'KLS'
var fnLog = "", fnTicks = 0, methodTicks = 0;
function tick(a, b) {
    fnTicks = fnTicks + 1;
    fnLog = fnLog + a + b + ";";
    if (fnTicks == 3) { Application.clearInterval(fnId); Application.clearInterval(fnId); }
}
var counter = { n: 0 };
counter.step = function() {
    this.n = this.n + 1;
    methodTicks = this.n;
    if (this.n == 4) Application.clearInterval(objId);
};
var fnId = Application.setInterval(tick, 100, "x", 7);
var objId = Application.setInterval(counter, "step", 50);
var stringPeriod = Application.setInterval(tick, "100");
var idType = typeof fnId;
var distinct = fnId != objId && fnId > 0 && objId > 0;
KLS
printf 'DataFile.save("timers.ini", "fnLog", "fnTicks", "methodTicks", "stringPeriod", "idType", "distinct");\n' > report.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls", "Report": "report.kls" }'
run
expect_value timers.ini fnLog "x7;x7;x7;"
expect_value timers.ini fnTicks 3
expect_value timers.ini methodTicks 4
expect_value timers.ini stringPeriod 0
expect_value timers.ini idType number
expect_value timers.ini distinct true

# ---- The trace file gets trace lines and engine warnings only while it is
# open; the second file is closed (and flushed) with the main window.
new_case trace
movie --frames 2 --fscommand 2:quit -o movie.swf
cat > init.kls <<'KLS'
trace("before any file");
Application.traceToFile("first.txt");
trace("first line");
var nothing;
var made = new nothing();
Application.traceToFile();
trace("while closed");
Application.traceToFile("second.txt");
trace("second file");
KLS
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls" }'
run
if [ -f first.txt ]; then
    first=$(tr -d '\r' < first.txt)
    [ "$(echo "$first" | head -1)" = "first line" ] || fail "first.txt starts with \"$(echo "$first" | head -1)\""
    echo "$first" | grep -q '^Warning: invalid constructor$' || fail "no warning in first.txt: $first"
    echo "$first" | grep -q 'before any file\|while closed\|second file' && fail "first.txt holds lines of other times: $first"
    grep -q "$(printf 'first line\r$')" first.txt || fail "first.txt lines do not end in CR LF"
else
    fail "first.txt not written"
fi
[ "$(tr -d '\r' < second.txt 2>/dev/null)" = "second file" ] || fail "second.txt is \"$(cat second.txt 2>/dev/null)\""

# ---- onGetMovie chooses the start movie among the listed movies (the
# plug-in is not one of them), onMovieLoaded receives its path; the
# executable's name and folder.
new_case movies
movie --frames 2 --fscommand 2:quit -o first.swf
# The report waits for frame 2: frame 1 runs while the movie is being loaded.
movie --frames 3 --fscommand 2:Kelpo_Run:Report --fscommand 3:quit -o second.swf
printf 'plug-in' > helper.dll
cat > init.kls <<'KLS'
var movies = getMovies();
var movieCount = movies.length;
var asked = "no", loaded = "none", loadCount = 0;
Application.onGetMovie = function(request) { asked = typeof request; request.value = movies[1]; return true; };
Application.onMovieLoaded = function(path) { loaded = path; loadCount = loadCount + 1; };
var handlerType = typeof Application.onMovieLoaded;
var exeName = getExeName();
var appDir = getAppDir();
KLS
cat > report.kls <<'KLS'
var loadedSecond = loaded == movies[1];
var secondName = movies[1].substring(movies[1].lastIndexOf("\\") + 1);
DataFile.save("movies.ini", "movieCount", "asked", "loadedSecond", "secondName", "loadCount", "handlerType",
              "exeName", "appDir");
KLS
build '"movies": { "files": ["first.swf", "second.swf"], "plugins": ["helper.dll"] },
  "scripts": { "Initialize": "init.kls", "Report": "report.kls" }'
run
expect_value movies.ini movieCount 2
expect_value movies.ini asked object
expect_value movies.ini loadedSecond true
expect_value movies.ini secondName second.swf
expect_value movies.ini loadCount 1
expect_value movies.ini handlerType function
here=$(winepath -w "$PWD" 2>/dev/null)
expect_value movies.ini exeName "$here\\app.exe"
expect_value movies.ini appDir "$here\\"

# ---- Command-line items (quoted items with blanks), the profile in the
# registry, additional files from the appended archive, and invoke.
new_case items
movie --frames 2 --fscommand 2:quit -o movie.swf
mkdir -p extra/Data
printf '[fromArchive]\r\ntype=string\r\nvalue=extracted\r\n' > extra/Data/values.ini
printf 'top' > extra/top.txt
cat > init.kls <<'KLS'
var items = Application.cmdItems;
var itemCount = items.length, itemList = items.join("|");
var lineHasProgram = Application.cmdLine.indexOf("app.exe") >= 0;
writeProfile("Prefs", "colour", 42);
writeProfile("Prefs", "name", "Kelpo");
var colour = readProfile("Prefs", "colour"), colourType = typeof colour;
var missing = typeof readProfile("Prefs", "nothing");
var valuesPath = getAdditionalFile("data/values.ini");
var sameEntry = getAdditionalFile("DATA\\VALUES.INI") == valuesPath;
var fromArchive = "not loaded";
var loadedBack = DataFile.load(valuesPath);
var tail = valuesPath.substring(valuesPath.indexOf("_extra"));
var whole = getAdditionalFile();
var wholeTail = whole.substring(whole.indexOf("_extra"));
var missingFile = getAdditionalFile("no/such.txt") === null;
invoke("Other");
DataFile.save("items.ini", "itemCount", "itemList", "lineHasProgram", "colour", "colourType", "missing",
              "sameEntry", "fromArchive", "loadedBack", "tail", "wholeTail", "missingFile", "invoked");
KLS
printf 'var invoked = "yes";\n' > other.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls", "Other": "other.kls" },
  "additionalFiles": "extra"'
# Wine quotes the item with a blank in double quotes; the single-quoted one
# reaches the command line as it is written here.
run "two words" plain "'single" "quoted'"
expect_value items.ini itemCount 3
expect_value items.ini itemList "two words|plain|single quoted"
expect_value items.ini lineHasProgram true
expect_value items.ini colour 42
expect_value items.ini colourType string
expect_value items.ini missing undefined
expect_value items.ini sameEntry true
expect_value items.ini fromArchive extracted
expect_value items.ini loadedBack true
expect_value items.ini tail '_extra\Data\values.ini'
expect_value items.ini wholeTail '_extra\'
expect_value items.ini missingFile true
expect_value items.ini invoked yes
windows reg query "HKCU\\Software\\$key\\Test\\Prefs" /v name > reg.out 2>&1 || true
grep -q 'name.*REG_SZ.*Kelpo' reg.out || { cat reg.out; fail "the profile value is not in the registry"; }

# ---- associate: the type's icon and open command in HKEY_CLASSES_ROOT; a
# free extension is bound to the type, one bound to another type stays.
new_case associate
movie --frames 2 --fscommand 2:quit -o movie.swf
fresh=".kelpofresh$$" taken=".kelpotaken$$" type="KelpoTest$$"
trap_classes="$fresh $taken $type.Fresh $type.Second"
printf 'Application.associate("%s", "%s.Fresh");\nApplication.associate("%s", "%s.Second");\n' \
    "$fresh" "$type" "$taken" "$type" > init.kls
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls" }'
windows reg add "HKCR\\$taken" /ve /d "$type.First" /f > /dev/null 2>&1 || fail "cannot bind $taken"
run
class_value() { windows reg query "HKCR\\$1" /ve 2>/dev/null | sed -n 's/.*REG_SZ *//p'; }
[ "$(class_value "$fresh")" = "$type.Fresh" ] || fail "$fresh is bound to \"$(class_value "$fresh")\""
[ "$(class_value "$taken")" = "$type.First" ] || fail "$taken was taken over: \"$(class_value "$taken")\""
here=$(winepath -w "$PWD" 2>/dev/null)
[ "$(class_value "$type.Second\\DefaultIcon")" = "$here\\app.exe,1" ] || fail "icon: \"$(class_value "$type.Second\\DefaultIcon")\""
[ "$(class_value "$type.Fresh\\shell\\open\\command")" = "$here\\app.exe \"%1\"" ] ||
    fail "command: \"$(class_value "$type.Fresh\\shell\\open\\command")\""
for k in $trap_classes; do windows reg delete "HKCR\\$k" /f > /dev/null 2>&1 || true; done

# ---- processMsg inside a long-running script: a close requested meanwhile
# makes it return false (once the close has been deferred), the script ends
# and then the window closes.
new_case process-messages
movie --frames 400 -o long.swf
cat > init.kls <<'KLS'
var started = new Date().getTime(), loops = 0, pumped = true;
while (pumped && new Date().getTime() - started < 30000) { pumped = processMsg(); loops = loops + 1; }
var endedByClose = !pumped;
DataFile.save("pump.ini", "endedByClose");
KLS
build '"movies": { "files": ["long.swf"] }, "scripts": { "Initialize": "init.kls" }'
(sleep 2; windows "$peer" close 20 > /dev/null) &
run
wait
expect_value pump.ini endedByClose true

# ---- Host methods and functions given wrong or missing arguments return
# their documented defaults without a script error (the report is written
# only when the script ran to its end).
new_case wrong-arguments
movie --frames 2 --fscommand 2:quit -o movie.swf
cat > init.kls <<'KLS'
var r = "";
function note(name, value) { r = r + name + "=" + value + ";"; }
note("setInterval()", Application.setInterval());
note("setInterval(s,n)", Application.setInterval("tick", 5));
note("setInterval(o,n,n)", Application.setInterval(Application, 5, 5));
note("clearInterval(s)", Application.clearInterval("abc"));
note("clearInterval(n)", Application.clearInterval(123456));
note("associate()", Application.associate());
note("associate(s)", Application.associate(".kelpotest"));
note("associate(n,n)", Application.associate(1, 2));
note("sendMessage()", Application.sendMessage());
note("sendMessage(s,n)", Application.sendMessage("w", 16));
note("setBasePath(n)", Application.setBasePath(5));
note("setBasePath(missing)", Application.setBasePath("C:\\no\\such\\folder"));
note("traceToFile(n)", Application.traceToFile(5));
note("setDragRegion(s)", Application.setDragRegion("no-such-mask"));
note("setDragRegion(..)", Application.setDragRegion("..\\..\\x"));
note("setDragRegion()", Application.setDragRegion());
Application.cursor = 5;
Application.cursor = "no-such-file.cur";
note("cursor", Application.cursor);
Application.onGetMovie = "not a function";
note("onGetMovie", Application.onGetMovie);
note("isScr", Application.isScr);
note("isPreview", Application.isPreview);
note("traceWnd", Application.traceWnd === null);
note("toString", Application.toString());
note("called", Application() == Application);
// valueOf answers the global of the class's name, whatever it holds.
var A = Application; Application = "moved"; note("valueOf", A.valueOf()); Application = A;
note("readProfile()", readProfile());
note("readProfile(s)", readProfile("Prefs"));
note("readProfile(n,n)", readProfile(1, 2));
note("readProfile(bad)", readProfile("a\\b", "c"));
note("writeProfile(s,s)", writeProfile("Prefs", "x"));
note("getAdditionalFile(n)", getAdditionalFile(5) === null);
note("invoke()", invoke());
note("invoke(missing)", invoke("NoSuchScript"));
note("processMsg(n)", typeof processMsg(1));
note("setWindowless()", setWindowless());
var finished = "yes";
DataFile.save("wrong.ini", "r", "finished");
KLS
build '"movies": { "files": ["movie.swf"] }, "scripts": { "Initialize": "init.kls" }'
run
expect_value wrong.ini finished yes
expected="setInterval()=0;setInterval(s,n)=0;setInterval(o,n,n)=0;clearInterval(s)=undefined;"
expected="${expected}clearInterval(n)=undefined;associate()=undefined;associate(s)=undefined;associate(n,n)=undefined;"
expected="${expected}sendMessage()=undefined;sendMessage(s,n)=undefined;setBasePath(n)=undefined;"
expected="${expected}setBasePath(missing)=undefined;traceToFile(n)=undefined;setDragRegion(s)=undefined;"
expected="${expected}setDragRegion(..)=undefined;setDragRegion()=undefined;cursor=undefined;onGetMovie=undefined;"
expected="${expected}isScr=false;isPreview=false;traceWnd=true;toString=[object Application];called=true;valueOf=moved;"
expected="${expected}readProfile()=undefined;readProfile(s)=undefined;readProfile(n,n)=undefined;"
expected="${expected}readProfile(bad)=undefined;writeProfile(s,s)=undefined;getAdditionalFile(n)=true;"
expected="${expected}invoke()=undefined;invoke(missing)=undefined;processMsg(n)=boolean;setWindowless()=undefined;"
expect_value wrong.ini r "$expected"
[ ! -f 5 ] || fail "traceToFile(5) created a file"

report "application object"
