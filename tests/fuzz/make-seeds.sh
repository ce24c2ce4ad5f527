#!/bin/sh
# Writes the seed corpus of every fuzz target into tests/fuzz/corpus with the
# project's own tools: script sources of the test suite, their images made by
# `kelpo compile` (with and without line records), a "#" first line before an
# image, INI files written by DataFile.save, and regular expressions with
# subjects.
#   usage: tests/fuzz/make-seeds.sh KELPO
# Findings kept as regression inputs live in the same folders under names
# starting with "crash-", "leak-", "timeout-" or "oom-"; they are left alone.
set -e
kelpo=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../scripts
corpus=$here/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for target in fuzz_compile fuzz_image fuzz_script_file fuzz_regexp fuzz_profile; do
    mkdir -p "$corpus/$target"
    find "$corpus/$target" -name 'seed-*' -delete
done

for script in "$scripts"/*.kls "$here"/../../examples/*.kls; do
    name=$(basename "$script" .kls)
    cp "$script" "$corpus/fuzz_compile/seed-$name.kls"
    if "$kelpo" compile "$script" -o "$work/$name.klc" >/dev/null 2>&1; then
        cp "$work/$name.klc" "$corpus/fuzz_image/seed-$name.klc"
        "$kelpo" compile "$script" -o "$work/$name-lines.klc" --lines >/dev/null 2>&1 &&
            cp "$work/$name-lines.klc" "$corpus/fuzz_image/seed-$name-lines.klc"
    fi
done

# Content detection: sources, images, and both after a "#" first line.
for name in control_flow exceptions regexp_exec string_split; do
    cp "$scripts/$name.kls" "$corpus/fuzz_script_file/seed-$name-source"
    cp "$work/$name.klc" "$corpus/fuzz_script_file/seed-$name-image"
    { echo "#!/usr/bin/env kelpo run"; cat "$work/$name.klc"; } > "$corpus/fuzz_script_file/seed-$name-hash-image"
    { echo "#!/usr/bin/env kelpo run"; cat "$scripts/$name.kls"; } > "$corpus/fuzz_script_file/seed-$name-hash-source"
done

# INI text: the hand-written fixture and what DataFile.save writes.
cp "$scripts/datafile_load_rules.ini" "$corpus/fuzz_profile/seed-load-rules.ini"
(cd "$work" && cat > save.kls <<'KLS'
var num = 12.5; var text = "a \"quoted\" line\r\n"; var flag = true; var none = null;
var list = new Array(1, "two", new Array(3), new Object());
var obj = new Object(); obj.inner = new Object(); obj.inner.deep = list; obj.when = new Date(0);
var cycle = new Object(); cycle.self = cycle;
DataFile.save("saved.ini", "num", "text", "flag", "none", "list", "obj", "cycle", "missing");
KLS
"$kelpo" run save.kls >/dev/null 2>&1 && cp saved.ini "$corpus/fuzz_profile/seed-saved.ini") || true
printf '[a]\nk=v\n[A]\nK = "v"\r\n; note\n[b\nkey\n=\n[]\n' > "$corpus/fuzz_profile/seed-edges.ini"

# Regular expressions: a flags byte (1 g, 2 i, 4 m), the pattern, NUL, the subject.
n=0
while IFS='	' read -r flags pattern subject; do
    n=$((n + 1))
    { printf "\\$(printf '%03o' "$flags")"; printf '%s' "$pattern"; printf '\0'; printf '%s' "$subject"; } \
        > "$corpus/fuzz_regexp/seed-$n"
done <<'TABLE'
1	(\w+)\s(\w+)	John Smith and Jane Doe
3	[a-z]+	Hello World
5	^b	a\nb\nc
0	a|b	cab
1	x*$	xxx
0	(a)|(b)	b
0	((a)(b)?)+	aba
2	[^\d]+	123abc456
0	\bfoo\b	a foo b
1	(?:ab){2,}	abababab
0	a{2,1}	aa
0	[z-a]	z
0	(ab	ab
0	\u00e9	caf\u00e9
1	$	abc
0	.*?(\d+)	id 42 and 7
TABLE

# DNS replies: what the test's DNS peer answers, well-formed and broken.
/usr/bin/python3 "$here/../netlib/dns_peer.py" --seeds "$corpus/fuzz_dns_reply"
