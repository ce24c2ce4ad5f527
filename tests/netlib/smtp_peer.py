"""SMTP peers on 127.0.0.1 for the mail tests, all in one process:

  full   aiosmtpd offering AUTH CRAM-MD5, LOGIN and PLAIN (CRAM-MD5 is the
         handler's own mechanism; aiosmtpd has LOGIN and PLAIN)
  login  the same without CRAM-MD5
  plain  PLAIN alone
  silent accepts connections and never answers
  endless answers with a greeting line that never ends

The user is "kelpo" with the password "s3cret". Every message received is
stored in the folder given as the first argument as msg-N.eml (the data as
received) and msg-N.json (sender, recipients, the AUTH mechanism used). The
ports are written to the file "ports" there, in the order above, once all
listen; the peer runs until it is killed."""
import asyncio
import hmac
import json
import os
import secrets
import socket
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword, auth_mechanism

USER = b"kelpo"
PASSWORD = b"s3cret"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0
        self.lock = threading.Lock()

    def keep(self, envelope, mechanism):
        with self.lock:
            self.count += 1
            base = os.path.join(self.folder, "msg-%d" % self.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".json", "w") as f:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos,
                       "auth": mechanism}, f)


class Handler:
    def __init__(self, store):
        self.store = store

    @auth_mechanism("CRAM-MD5")
    async def auth_CRAM_MD5(self, server, args):
        challenge = ("<%s@127.0.0.1>" % secrets.token_hex(8)).encode()
        response = await server.challenge_auth(challenge)
        if not isinstance(response, bytes) or b" " not in response:
            return AuthResult(success=False, handled=False)
        user, digest = response.rsplit(b" ", 1)
        expected = hmac.new(PASSWORD, challenge, "md5").hexdigest().encode()
        ok = user == USER and hmac.compare_digest(digest, expected)
        return AuthResult(success=ok, handled=False, auth_data="CRAM-MD5")

    async def handle_DATA(self, server, session, envelope):
        mechanism = session.auth_data if isinstance(session.auth_data, str) else None
        self.store.keep(envelope, mechanism)
        return "250 OK stored"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == USER and \
        auth_data.password == PASSWORD
    return AuthResult(success=ok, handled=False, auth_data=mechanism if ok else None)


def start_smtp(store, exclude):
    port = free_port()
    controller = Controller(Handler(store), hostname="127.0.0.1", port=port,
                            authenticator=authenticator, auth_require_tls=False,
                            auth_exclude_mechanism=exclude)
    controller.start()
    return port


def start_raw(answer):
    """A TCP server whose every connection gets `answer` (a callable that
    writes to the socket) and is then held open."""
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    held = []

    def serve():
        while True:
            conn, _ = server.accept()
            held.append(conn)
            threading.Thread(target=answer, args=(conn,), daemon=True).start()

    threading.Thread(target=serve, daemon=True).start()
    return server.getsockname()[1]


def never_answer(conn):
    pass


def endless_greeting(conn):
    try:
        conn.sendall(b"220 ")
        while True:
            conn.sendall(b"x" * 65536)
    except OSError:
        pass


def main():
    store = Store(sys.argv[1])
    ports = [
        start_smtp(store, []),
        start_smtp(store, ["CRAM-MD5"]),
        start_smtp(store, ["CRAM-MD5", "LOGIN"]),
        start_raw(never_answer),
        start_raw(endless_greeting),
    ]
    path = os.path.join(sys.argv[1], "ports")
    with open(path + ".tmp", "w") as f:
        f.write(" ".join(str(p) for p in ports))
    os.rename(path + ".tmp", path)
    threading.Event().wait()


if __name__ == "__main__":
    main()
