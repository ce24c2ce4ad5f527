#!/usr/bin/env python3
"""The interactive mode on a terminal: banner, prompts, a continuation
prompt for an unfinished entry, history recalled with the up arrow (line
editing), and Ctrl-D to leave.
   usage: terminal_session.py KELPO"""
import os
import pty
import select
import sys
import time

kelpo = sys.argv[1]
pid, fd = pty.fork()
if pid == 0:
    os.environ["TERM"] = "xterm"
    os.execv(kelpo, [kelpo])

seen = b""


def type_text(data):
    """Types after the editor has taken the terminal: input that arrives
    while it switches the terminal's mode may be flushed."""
    time.sleep(0.3)
    os.write(fd, data)


def expect(text, timeout=10.0):
    """Reads until `text` has appeared in the output after the last match."""
    global seen
    deadline = time.time() + timeout
    while text.encode() not in seen:
        left = deadline - time.time()
        if left <= 0:
            sys.exit("timed out waiting for %r; output so far:\n%r" % (text, seen))
        ready, _, _ = select.select([fd], [], [], left)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                sys.exit("kelpo ended while waiting for %r; output:\n%r" % (text, seen))
            seen += chunk
    seen = seen[seen.index(text.encode()) + len(text):]


expect("Kelpo Script")
expect("> ")
type_text(b"var a = [10,\r")
expect("... ")
type_text(b"20, 30];\r")
expect("> ")
type_text(b"a.length * 2\r")
expect("6")
expect("> ")
type_text(b"\x1b[A\r")  # the up arrow recalls the last entry
expect("6")
expect("> ")
for attempt in range(20):  # Ctrl-D, again if the first was flushed
    if attempt % 5 == 0:
        type_text(b"\x04")
    ended, status = os.waitpid(pid, os.WNOHANG)
    if ended:
        break
    time.sleep(0.2)
else:
    os.kill(pid, 9)
    sys.exit("kelpo did not leave at Ctrl-D")
if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
    sys.exit("kelpo ended with status %r" % status)
print("terminal session passed")
