#!/bin/sh
# Writes the seed corpus of every fuzz target into tests/fuzz/corpus with the
# project's own tools: script sources of the test suite, their images made by
# `kelpo compile` (with and without line records), a "#" first line before an
# image, INI files written by DataFile.save, regular expressions with
# subjects, and directory entries of FTP servers.
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

# FTP directory entries: a path, NUL, then records (attributes, size high,
# size low, last write time, name length, name; little-endian).
mkdir -p "$corpus/fuzz_ftp_listing"
/usr/bin/python3 - "$corpus/fuzz_ftp_listing" <<'PY'
import struct, sys
EPOCH = 116444736000000000  # 1970-01-01 as a file time
def record(name, attributes=0x80, size=0, time=EPOCH, length=None):
    length = len(name) if length is None else length
    return struct.pack("<IIIQH", attributes, size >> 32, size & 0xFFFFFFFF, time, length) + name
seeds = {
    "listing": (b"readme.txt", [record(b"readme.txt", size=12), record(b"sub", 0x10, 4096),
                                record(b".", 0x10), record(b"..", 0x10), record(b"a/b"),
                                record(b"big.iso", size=5 << 30, time=EPOCH + 10**13)]),
    "names": (b"/sub/", [record(b"n" * 260), record(b"two\r\nlines"), record(b"x" * 259),
                         record(b"", length=0), record(b"caf\xe9")]),
    "extremes": (b"dir/*.txt", [record(b"a.txt", 0xFFFFFFFF, 2**64 - 1, 2**63),
                                record(b"b.TXT", 0, 0, 2**64 - 1), record(b"c", 0, 1, 0)]),
    "host": (b"ftp://ftp.example.org", []),
}
for name, (path, records) in seeds.items():
    with open(f"{sys.argv[1]}/seed-{name}", "wb") as f:
        f.write(path + b"\0" + b"".join(records))
PY

# Mail: messages written by python3's email package (tests/netlib), forms
# other programs send (nested multiparts, folded headers, a missing final
# boundary, a part without headers), and server replies.
mime=$corpus/fuzz_mime_message
mkdir -p "$mime" "$work/mail/Maildir/cur"
find "$mime" -name 'seed-*' -delete
if /usr/bin/python3 "$here/../netlib/mail_fixtures.py" files "$work/mail" &&
    /usr/bin/python3 "$here/../netlib/mail_fixtures.py" mailbox "$work/mail" "$work/mail/Maildir"; then
    n=0
    for message in "$work/mail/Maildir/cur"/*; do
        n=$((n + 1))
        cp "$message" "$mime/seed-python-$n.eml"
    done
fi
printf 'Subject: =?utf-8?q?n=C3=A9sted?=\r\nContent-Type: multipart/mixed; boundary=OUT\r\n\r\n--OUT\r\nContent-Type: multipart/alternative; boundary="IN"\r\n\r\n--IN\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\ncaf=C3=A9=\r\n\r\n--IN\r\nContent-Type: text/html\r\n\r\n<b>x</b>\r\n--IN--\r\n--OUT\r\nContent-Type: application/pdf\r\nContent-Disposition: attachment;\r\n filename*=utf-8'"''"'r%%C3%%A9sum%%C3%%A9.pdf\r\nContent-Transfer-Encoding: base64\r\n\r\nJVBERg==\r\n--OUT--\r\n' \
    > "$mime/seed-nested.eml"
printf 'subject: first\n second\nfrom: a@b\nContent-Type: multipart/mixed; boundary=b\n\n--b\n\nno headers\n--b\nContent-Type: image/gif; name="p.gif"\nContent-ID: <p1>\n\nGIF\n' \
    > "$mime/seed-unfinished.eml"
printf '+OK 2 messages\r\n1 120\r\n3 4000\r\n..x\r\n.\r\n' > "$mime/seed-pop3-list"
printf '250-host\r\n250-AUTH LOGIN PLAIN CRAM-MD5\r\n250 AUTH=login\r\n' > "$mime/seed-smtp-ehlo"

# DNS replies: what the test's DNS peer answers, well-formed and broken.
/usr/bin/python3 "$here/../netlib/dns_peer.py" --seeds "$corpus/fuzz_dns_reply"
