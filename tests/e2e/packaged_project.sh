#!/bin/sh
# Builds a project into the projector stand-in with kelpo-build, runs the
# packaged executable and checks every store it reads back: settings and
# saved options, the movie list, masks, menus, scripts, additional files,
# support files and the about picture; then a rebuild with changed settings
# and a build that fails.
#
#   packaged_project.sh KELPO_BUILD PROJECT_PROBE MAKE_TEST_MOVIE [RUNNER]
set -e
absolute() { [ -z "$1" ] || echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
builder=$(absolute "$1")
probe=$(absolute "$2")
movie_tool=$(absolute "$3")
runner=$(absolute "$4")

work=$(mktemp -d "${TMPDIR:-/tmp}/kelpo-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# Runs a Windows program; its output without carriage returns, its status kept.
run() {
    status=0
    $runner "$@" > run.raw || status=$?
    tr -d '\r' < run.raw
    rm -f run.raw
    return $status
}
fail() { echo "FAIL: $*"; exit 1; }

# A 2 by 2 pixel, 24-bit BMP.
bmp() {
    printf 'BM\106\0\0\0\0\0\0\0\066\0\0\0\050\0\0\0\002\0\0\0\002\0\0\0\001\0\030\0'
    printf '\0\0\0\0\020\0\0\0\023\013\0\0\023\013\0\0\0\0\0\0\0\0\0\0'
    printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
}

mkdir -p movies extra/Docs/Img
run "$movie_tool" --width 320 --height 240 --frames 3 -o movies/intro.swf
run "$movie_tool" --compressed --fscommand 1:Kelpo_Run:Initialize -o movies/main.swf
printf 'plug-in' > movies/plug.dll
printf 'MASK' > round.msk
printf 'HELP' > help.chm
printf 'SUPPORT ONE' > support1.dll
bmp > about.bmp
printf 'read me' > extra/Docs/ReadMe.txt
printf 'logo' > extra/Docs/Img/logo.bin
printf 'top' > extra/top.txt
printf 'var parts = ["Initialize", "ran"];\ntrace(parts.join(" ") + ": " + (2 + 3));\n' > init.kls

# The registry key is new for every run, so no earlier run's options apply.
key="KelpoTest$$"
write_project() {
    cat > project.json <<JSON
{
    "version": { "productName": "Probe", "version": "$1" },
    "appearance": { "caption": "Packaged caption", "borderStyle": ["single"], "scaleMode": "noBorder" },
    "sizeAndPos": { "windowSize": "custom", "width": 640, "height": 480, "pos": 9, "left": 10, "top": 20 },
    "behaviour": { "flags": ["autoPlay", "showInSystemTray"] },
    "misc": { "flags": ["customBackground", "useHelpFile"], "backgroundColor": "#336699", "helpFile": "help.chm" },
    "about": { "link1Caption": "Site", "link1Target": "http://example.org/", "link1Font": { "faceName": "Verdana" } },
    "movies": { "embed": true, "files": ["movies/intro.swf", "movies/main.swf"], "plugins": ["movies/plug.dll"] },
    "scripts": { "Initialize": "init.kls" },
    "menus": { "Main": [
        { "name": "", "caption": "&File", "items": [
            { "name": "open", "caption": "&Open", "default": true },
            { "separator": true },
            { "name": "quit", "caption": "E&xit", "checked": true } ] } ] },
    "masks": { "round": "round.msk" },
    "aboutPicture": "about.bmp",
    "support": { "MSVCRT.DLL": "support1.dll" },
    "registry": "$key/Probe",
    "additionalFiles": "extra"
}
JSON
}

write_project "1.0"
run "$builder" project.json --template "$probe" -o app.exe
[ -f app.exe ] || fail "no executable built"

run ./app.exe --extra docs/readme.txt --extra 'DOCS\README.TXT' --extra docs --extra top.txt \
    --extra missing.txt --extra ../escape.txt --support KELPOPROBE.DLL --caption "Changed caption" > first.out
cat > first.expected <<OUT
id: key="$key" profile="Probe"
settings: saved=0 product="Probe" version="1.0" caption="Packaged caption"
appearance: shape=0 border=16 icons=273 scale=2 mask=""
size: mode=3 640x480 pos=9 at 10,20 keepRatio=1
behaviour: menu=4369 flags=4097 misc=4097 background=996633
about: "Site" -> "http://example.org/", font "Verdana"
help: <instance>\\help.chm "HELP"
mask: round MASK
movies: flags=2 count=3 start=0
movie: <instance>\\intro.swf 28
movie: <instance>\\main.swf 70
movie: <instance>\\Plug_Ins\\plug.dll 7
menu: MAIN read
menu:   2 "" "&File"
menu:     64 "open" "&Open"
menu:     1 "" ""
menu:     8 "quit" "E&xit"
trace: Initialize ran: 5
script: Initialize ran=1
script: Missing ran=0
extra: docs/readme.txt -> <instance>\\_extra\\Docs\\ReadMe.txt "read me"
extra: DOCS\\README.TXT -> <instance>\\_extra\\Docs\\ReadMe.txt "read me"
extra: docs -> <instance>\\_extra\\Docs
extra: top.txt -> <instance>\\_extra\\top.txt "top"
extra: missing.txt -> ""
extra: ../escape.txt -> ""
support: KELPOPROBE.DLL provided=1 "SUPPORT ONE"
support: OLEAUT32.DLL 2.0 up to date=1
about picture: 2x2
saved options: 1
instance folder removed: 1
OUT
diff -u first.expected first.out || fail "first run"

# The same package again: the options saved by the first run apply.
run ./app.exe > second.out
grep -q '^settings: saved=1 product="Probe" version="1.0" caption="Changed caption"$' second.out ||
    { cat second.out; fail "saved options not applied"; }
grep -q '^help: <instance>\\help.chm "HELP"$' second.out || fail "embedded file not extracted from saved options"

# A rebuild with changed settings replaces the saved options.
write_project "2.0"
run "$builder" project.json --template "$probe" -o app.exe
run ./app.exe > third.out
grep -q '^settings: saved=0 product="Probe" version="2.0" caption="Packaged caption"$' third.out ||
    { cat third.out; fail "packaged settings not in force after a rebuild"; }

# The stand-in without a project refuses to start.
cp "$probe" bare.exe
run ./bare.exe > bare.out || true
grep -q '^Invalid application data$' bare.out || fail "bare executable"

# A failing build leaves nothing behind and keeps the earlier output.
cp app.exe before.exe
sed 's/"init.kls"/"missing.kls"/' project.json > broken.json
if run "$builder" broken.json --template "$probe" -o app.exe 2> broken.err; then fail "broken build succeeded"; fi
cmp -s app.exe before.exe || fail "a failed build changed the output"
[ "$(ls | grep -c -i '\.tmp')" = 0 ] || fail "temporary file left behind"

$runner reg delete "HKCU\\Software\\$key" /f > /dev/null 2>&1 || true
echo "packaged project: all checks passed"
