# Shared by the end-to-end scripts that run packaged projects in the real
# projector under Wine: folders per case, packing with kelpo-build, a run
# with a time limit that must end and leave no instance folder behind, and
# checks of the DataFile INI files the scripts write.
#
# The sourcing script passes its arguments:
#   KELPO_BUILD PROJECTOR PLAYER_DLL MAKE_TEST_MOVIE PEER RUNNER
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
builder=$(absolute "$1")
projector=$(absolute "$2")
player=$(absolute "$3")
movie_tool=$(absolute "$4")
peer=$(absolute "$5")
runner=$(absolute "$6")

# Every program of a run shares one display: the projector's windows and
# the peer that answers them.
if [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kelpo-projector.XXXXXX")
keys=""
trap 'for k in $keys; do $runner reg delete "HKCU\\Software\\$k" /f > /dev/null 2>&1 || true; done; rm -rf "$work"' EXIT
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
failures=0

fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }
windows() { $runner "$@" > out.raw 2>/dev/null; status=$?; tr -d '\r' < out.raw; rm -f out.raw; return $status; }
instance_folders() { ls -d "$temp"/\{*\} 2>/dev/null | sort; }

# new_case NAME: a fresh project folder with the player and a key of its own.
new_case() {
    case=$1
    mkdir -p "$work/$case"
    cd "$work/$case"
    key="KelpoRun$$-$case"
    keys="$keys $key"
}

movie() { windows "$movie_tool" "$@" > /dev/null; }

# build [EXTRA JSON MEMBERS]: packs project.json around the given members.
build() {
    cat > project.json <<JSON
{ "version": { "productName": "$case" }, "player": "$(echo "$player" | sed 's/\\/\\\\/g')",
  "registry": "$key/Test", $1 }
JSON
    windows "$builder" project.json --template "$projector" -o app.exe > build.out 2>&1 || { cat build.out; fail "build"; }
}

# run [ARGS]: runs the packaged projector for at most 60 seconds.
run() {
    before=$(instance_folders)
    status=0
    timeout 60 $runner ./app.exe "$@" > run.out 2>&1 || status=$?
    [ "$status" != 124 ] || fail "the projector did not end"
    after=$(instance_folders)
    left=$(printf '%s\n' "$after" | grep -v -x -F "$before" | grep . || true)
    [ -z "$left" ] || fail "instance folder left behind: $left"
}

# DataFile writes texts escaped (%XX); compare them as the script had them.
unescape() {
    awk '{ out = ""; s = $0
           while ((i = index(s, "%")) > 0 && i + 2 <= length(s)) {
               out = out substr(s, 1, i - 1)
               h = toupper(substr(s, i + 1, 2))
               out = out sprintf("%c", (index("0123456789ABCDEF", substr(h, 1, 1)) - 1) * 16 + index("0123456789ABCDEF", substr(h, 2, 1)) - 1)
               s = substr(s, i + 3) }
           print out s }'
}

# expect_value FILE NAME VALUE: the DataFile entry NAME holds VALUE.
expect_value() {
    if [ ! -f "$1" ]; then fail "$1 not written"; return; fi
    got=$(tr -d '\r' < "$1" | sed -n "/^\[$2\]/,/^\[/p" | sed -n 's/^value=//p' | head -1 | unescape)
    [ "$got" = "$3" ] || fail "$1: $2 is \"$got\", expected \"$3\""
}

save() { echo "DataFile.save(\"$1\", \"$2\");"; }


# report NAME: the closing line, and the exit status of the whole script.
report() {
    if [ "$failures" -ne 0 ]; then
        echo "$1: $failures failure(s)"
        exit 1
    fi
    echo "$1: all checks passed"
}
