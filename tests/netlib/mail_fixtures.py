"""Files, mailbox messages and checks for the mail tests (mail_peers.sh).

  files WORK            the files the scripts attach: photo.gif, report.bin,
                        notes.txt
  mailbox WORK MAILDIR  three messages written by python's email package
                        (a non-ASCII subject and body; text, HTML and two
                        attachments, one with a non-ASCII name; an HTML body
                        with an embedded picture)
  smtp WORK             checks what the SMTP peer received against sent.eml
  deliver WORK MAILDIR  puts the first received message into the mailbox
  recv WORK             checks the files the POP3 script saved
Exits with a message on the first difference."""
import email
import email.policy
import json
import os
import sys
from email.message import EmailMessage

SUBJECT = "Gr\u00fc\u00dfe: a subject long enough to need two encoded words, caf\u00e9"
TEXT = "Hello Bob,\r\n.a line starting with a dot\r\n..and two\r\n.\r\nend \u00e9"
HTML = "<html><body><p>Hello <img src=\"cid:photo1\"></p></body></html>"
RECIPIENTS = ["bob@example.org", "jane@example.org", "carl@example.org", "dora@example.org"]


def fail(message):
    sys.exit("mail check: " + message)


def files(work):
    photo = b"GIF89a" + bytes(range(256)) * 3
    report = b"".join(b"line %d\r\n" % i + (b".\r\n" if i % 7 == 0 else b"") for i in range(400))
    report += bytes(range(255, -1, -1))
    notes = b"Notes\r\n.\r\n..two dots\r\nno final line break"
    for name, data in (("photo.gif", photo), ("report.bin", report), ("notes.txt", notes)):
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def mailbox(work, maildir):
    first = EmailMessage()
    first["From"] = "\u00dcnal <unal@example.org>"
    first["To"] = "kelpo@127.0.0.1"
    first["Subject"] = "Gr\u00fc\u00dfe aus K\u00f6ln"
    first["Date"] = "Wed, 09 Dec 2026 10:00:00 +0000"
    first["X-Priority"] = "1"
    first.set_content("Sch\u00f6ne Gr\u00fc\u00dfe\n.dot line\n")

    second = EmailMessage()
    second["From"] = "reports@example.org"
    second["To"] = "kelpo@127.0.0.1, other@example.org"
    second["Cc"] = "copy@example.org"
    second["Subject"] = "Report with attachments"
    second.set_content("The report is attached.\n")
    second.add_alternative("<p>The report is <b>attached</b>.</p>\n", subtype="html")
    second.add_attachment(read(os.path.join(work, "report.bin")), maintype="application",
                          subtype="octet-stream", filename="report.bin")
    second.add_attachment("R\u00e9sum\u00e9 text\n", filename="r\u00e9sum\u00e9.txt")

    third = EmailMessage()
    third["From"] = "pictures@example.org"
    third["To"] = "kelpo@127.0.0.1"
    third["Subject"] = "A picture"
    third.set_content("See the picture.\n")
    third.add_alternative("<p><img src=\"cid:pic@example.org\"></p>\n", subtype="html")
    third.get_payload()[1].add_related(read(os.path.join(work, "photo.gif")), "image", "gif",
                                       cid="<pic@example.org>", filename="photo.gif")

    for number, message in enumerate((first, second, third), 1):
        data = message.as_bytes(policy=email.policy.SMTP)
        if parse(data).defects:
            fail("python's own message %d has defects" % number)
        with open(os.path.join(maildir, "cur", "100000000%d.msg%d:2," % (number, number)),
                  "wb") as f:
            f.write(data)


def parse(data):
    return email.message_from_bytes(data, policy=email.policy.default)


def all_defects(message):
    return [(part.get_content_type(), part.defects) for part in message.walk() if part.defects]


def smtp(work):
    folder = os.path.join(work, "smtp")
    sent = read(os.path.join(work, "sent.eml"))
    # What every recipient gets: the message without its BCC header.
    lines = sent.split(b"\r\n")
    header_end = lines.index(b"")
    expected = b"\r\n".join([line for line in lines[:header_end] if not line.startswith(b"BCC:")] +
                            lines[header_end:])
    # The peers in the order the script sent: full, login, plain, then the
    # full peer again without a password.
    mechanisms = ["CRAM-MD5", "LOGIN", "PLAIN", None]
    for number, mechanism in enumerate(mechanisms, 1):
        base = os.path.join(folder, "msg-%d" % number)
        if not os.path.exists(base + ".json"):
            fail("message %d was not received" % number)
        with open(base + ".json") as f:
            envelope = json.load(f)
        if envelope["auth"] != mechanism:
            fail("message %d: AUTH %s, expected %s" % (number, envelope["auth"], mechanism))
        if envelope["from"] != "ann@127.0.0.1" or envelope["to"] != RECIPIENTS:
            fail("message %d: envelope %r" % (number, envelope))
        received = read(base + ".eml")
        if received.rstrip(b"\r\n") != expected.rstrip(b"\r\n"):
            fail("message %d differs from the message sent" % number)
    if os.path.exists(os.path.join(folder, "msg-5.json")):
        fail("a message arrived that should have been stopped")

    message = parse(read(os.path.join(folder, "msg-1.eml")))
    if all_defects(message):
        fail("defects: %r" % all_defects(message))
    if message["Subject"] != SUBJECT:
        fail("subject %r" % message["Subject"])
    if "Bcc" in message:
        fail("the BCC header reached the recipients")
    text = message.get_body(("plain",)).get_content()
    if text.replace("\n", "\r\n") != TEXT and text != TEXT:
        fail("text %r" % text)
    if message.get_body(("html",)).get_content().rstrip("\r\n") != HTML:
        fail("html %r" % message.get_body(("html",)).get_content())
    related = [p for p in message.walk() if p["Content-ID"] == "<photo1>"]
    if len(related) != 1 or related[0].get_payload(decode=True) != read(os.path.join(work, "photo.gif")):
        fail("the embedded picture differs")
    attachments = {p.get_filename(): p.get_payload(decode=True) for p in message.iter_attachments()
                   if p.get_content_disposition() == "attachment"}
    for name in ("report.bin", "notes.txt"):
        if attachments.get(name) != read(os.path.join(work, name)):
            fail("attachment %s differs" % name)


def deliver(work, maildir):
    data = read(os.path.join(work, "smtp", "msg-1.eml"))
    with open(os.path.join(maildir, "cur", "1000000004.msg4:2,"), "wb") as f:
        f.write(data)


def recv(work):
    pairs = [("rt-photo.gif", "photo.gif"), ("rt-report.bin", "report.bin"),
             ("rt-notes.txt", "notes.txt"), ("py-report.bin", "report.bin"),
             ("py-photo.gif", "photo.gif")]
    for saved, original in pairs:
        path = os.path.join(work, saved)
        if not os.path.exists(path) or read(path) != read(os.path.join(work, original)):
            fail("%s differs from %s" % (saved, original))
    # A text part not in base64 carries its line ends as CR LF.
    resume = read(os.path.join(work, "py-resume.txt")).replace(b"\r\n", b"\n")
    if resume != "R\u00e9sum\u00e9 text\n".encode():
        fail("py-resume.txt differs: %r" % resume)


def main():
    command = sys.argv[1]
    if command == "files":
        files(sys.argv[2])
    elif command == "mailbox":
        mailbox(sys.argv[2], sys.argv[3])
    elif command == "smtp":
        smtp(sys.argv[2])
    elif command == "deliver":
        deliver(sys.argv[2], sys.argv[3])
    elif command == "recv":
        recv(sys.argv[2])
    else:
        fail("unknown command " + command)


if __name__ == "__main__":
    main()
