#!/bin/sh
# Runs every Windows script test in a Wine prefix of its own and fails when
# the prefix differs afterwards: a registry key or value, a file or folder,
# or a setting that a test left behind. The registry is compared as Wine
# saves it, without the times it records for each key.
#   usage: prefix_unchanged.sh KELPO.exe SCRIPTS_FOLDER RUNNER
# WINEPREFIX names the private prefix (created when missing).
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
kelpo=$(absolute "$1")
scripts=$2
runner=$(absolute "$3")
if [ -z "$WINEPREFIX" ]; then
    echo "prefix_unchanged.sh needs WINEPREFIX" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Wine's display driver writes the display-adapter and monitor class keys
# afresh (with the time of writing) whenever a program of a new server
# session first uses the display: a test that only draws on it, creates a
# shell object or reads a key name changes nothing of its own there.
# Likewise the first console window of a prefix writes the console's
# defaults (HKCU\Console) when they are not there yet.
without_wine_own_keys() {
    awk '/^\[/ {
             key = tolower($0)
             skip = key ~ /^\[system\\\\currentcontrolset\\\\control\\\\class\\\\\{4d36e96[8e]-e325-11ce-bfc1-08002be10318\}/ ||
                    key == "[console]"
         }
         !skip'
}

# Stops the prefix's server, which saves the registry, and lists the prefix.
snapshot() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    for hive in system.reg user.reg userdef.reg; do
        echo "== $hive"
        sed -e '/^#time=/d' -e 's/^\(\[.*\]\) [0-9][0-9]*$/\1/' "$WINEPREFIX/$hive" |
            without_wine_own_keys
    done
    echo "== files"
    (cd "$WINEPREFIX/drive_c" && find . -path ./windows/Installer -prune -o -printf '%y %s %p\n' | sort)
}

"$runner" --init || exit 2
snapshot > "$work/before"

failed=0
for script in "$scripts"/*.kls; do
    name=$(basename "$script" .kls)
    mkdir "$work/$name"
    cp "$scripts/$name".* "$work/$name/"
    # A test that is meant to fail (NAME.err) may stop with status 1.
    if ! (cd "$work/$name" && "$runner" "$kelpo" run "$name.kls" > actual.out 2>&1) &&
        [ ! -f "$scripts/$name.err" ]; then
        echo "FAIL: $name did not run"
        failed=1
    fi
done

snapshot > "$work/after"
if ! diff "$work/before" "$work/after" > "$work/diff"; then
    echo "FAIL: the tests left the prefix changed:"
    cat "$work/diff"
    failed=1
fi
exit $failed
