#!/bin/sh
# The Dialogs class answered by a person at the keyboard: the peer program
# finds each dialog by its title, prints what it shows, types into it and
# presses its buttons, while the script prints what the dialogs returned.
# Windows only (under Wine, on a display). Titles carry this run's process
# id, so dialogs of tests running beside this one are left alone.
#   usage: dialogs_peer.sh KELPO.exe PROJECTOR_PEER.exe RUNNER
# The peer and the script must share one display: without one, the whole
# test runs on a virtual display of its own.
if [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a "$0" "$@"
fi
kelpo=$1
peer=$2
runner=$3
work=$(mktemp -d)
cd "$work" || exit 2
# The system's file dialogs remember the last folder of each program in
# the registry; the prefix gets back the keys as they were before.
dialogs_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32'
mru="$dialogs_key\LastVisitedMRU"
had_dialogs_key=no
if "$runner" reg query "$dialogs_key" > /dev/null 2>&1; then had_dialogs_key=yes; fi
"$runner" reg export "$mru" mru-before.reg /y > /dev/null 2>&1 || rm -f mru-before.reg
restore_mru() {
    if [ "$had_dialogs_key" = no ]; then
        "$runner" reg delete "$dialogs_key" /f > /dev/null 2>&1
        return
    fi
    "$runner" reg delete "$mru" /f > /dev/null 2>&1
    if [ -f mru-before.reg ]; then "$runner" reg import mru-before.reg > /dev/null 2>&1; fi
}
trap 'restore_mru; cd /; rm -rf "$work"' EXIT
tag=$$
: > a.txt
: > b.txt

cat > dialogs.kls <<KLS
var path = Dialogs.fileOpen("Text files|*.txt|All files|*.*", "Open $tag", "first.txt");
trace("fileOpen " + path);
trace("cancelled " + Dialogs.fileOpen("All files|*.*", "Cancel $tag"));
var list = Dialogs.fileOpen("All files|*.*", "Several $tag", "", true);
trace("multiSelect " + typeof list + " " + list.length + " " + list[0]);
list = Dialogs.fileOpen("All files|*.*", "Two $tag", "", true);
trace("multiSelect " + list.length + " " + (list[0].length > 3) + " " + list[1] + " " + list[2]);
// A start name longer than a path may be is left out, not copied past the buffer.
var long = "x";
while (long.length < 5000) long += long;
trace("long name " + Dialogs.fileOpen("", "Long $tag", long));
// The flags may not ask for a dialog template (there is none).
trace("fileSave " + Dialogs.fileSave("All files|*.*", "Save $tag", "out.txt", 0x40));
trace("msgBox " + Dialogs.msgBox("Go on?", "Ask $tag", 4));
trace("msgBox number " + Dialogs.msgBox(42, "Number $tag"));
trace("msgBox default " + Dialogs.msgBox());
trace("chooseColor typed " + Dialogs.chooseColor());
trace("chooseColor given " + Dialogs.chooseColor(0x00FF00));
trace("chooseColor cancelled " + Dialogs.chooseColor(0x0000FF));
var font = new FontObject();
font.name = FontObject.getFonts()[0];
font.size = 11;
font.bold = true;
font.color = 0xFF0000;
var chosen = Dialogs.chooseFont(font);
trace("chooseFont " + (chosen.name == font.name) + " " + chosen.size + " " + chosen.bold + " " +
      chosen.color);
trace("chooseFont cancelled " + (Dialogs.chooseFont() === null));
trace("browse " + Dialogs.browse("Pick $tag", "C:\\\\windows"));
KLS

# The peer's steps, in the order the script opens the dialogs. Each waits
# for its dialog at most ten seconds.
(
    "$runner" "$peer" type 10 "Open $tag" 'C:\windows\win.ini'
    "$runner" "$peer" button 10 "Cancel $tag" 2
    "$runner" "$peer" type 10 "Several $tag" 'C:\windows\win.ini'
    "$runner" "$peer" type 10 "Two $tag" '"a.txt" "b.txt"'
    "$runner" "$peer" button 10 "Long $tag" 2
    "$runner" "$peer" type 10 "Save $tag" 'C:\windows\temp\kelpo-save.txt'
    "$runner" "$peer" button 10 "Ask $tag" 7
    "$runner" "$peer" button 10 "Number $tag" 1
    "$runner" "$peer" button 10 Qantor 1
    "$runner" "$peer" color 10 Color 0xFF0000
    "$runner" "$peer" button 10 Color 1
    "$runner" "$peer" button 10 Color 2
    "$runner" "$peer" button 10 Font 1
    "$runner" "$peer" button 10 Font 2
    "$runner" "$peer" button 10 "Browse for Folder" 1
) > peer.out 2>&1 &
peer_pid=$!

timeout 50 "$runner" "$kelpo" run dialogs.kls 2>kelpo.err | tr -d '\r' > dialogs.out
status=$?
wait $peer_pid
tr -d '\r' < peer.out > peer.txt

cat > expected.txt <<'EXPECTED'
fileOpen C:\windows\win.ini
cancelled false
multiSelect object 1 C:\windows\win.ini
multiSelect 3 true a.txt b.txt
long name false
fileSave C:\windows\temp\kelpo-save.txt
msgBox 7
msgBox number 1
msgBox default 1
chooseColor typed 16711680
chooseColor given 65280
chooseColor cancelled false
chooseFont true 11 true 16711680
chooseFont cancelled true
browse C:\windows
EXPECTED
failed=0
if [ "$status" -ne 0 ] || ! cmp -s dialogs.out expected.txt; then
    echo "--- expected"; cat expected.txt; echo "--- actual (status $status)"; cat dialogs.out
    cat kelpo.err
    failed=1
fi
# The open dialog offered both filters of the filter text.
for line in "dialog: Open $tag" "filter: Text files" "filter: All files" "dialog: Ask $tag" \
            "text: Go on?" "text: 42" "dialog: Qantor"; do
    if ! grep -qxF "$line" peer.txt; then
        echo "peer did not see: $line"
        failed=1
    fi
done
if [ "$failed" -ne 0 ]; then
    echo "--- peer"; cat peer.txt
    exit 1
fi
echo "dialogs answered as the peer chose"
