"""A hostile FTP server on 127.0.0.1 for the FTP client's tests. The user
name chooses what goes wrong (see SCENARIOS); a second port greets with
garbage and a line without end. Passive mode only. Writes "PORT GARBAGE"
to the file named by its argument once both listen; runs until it is
killed. Every wait for the client is bounded."""
import os
import socket
import sys
import threading

LISTING_HEAD = (
    b"drwxr-xr-x 2 u g 4096 Jan 01 2020 .\r\n"
    b"drwxr-xr-x 2 u g 4096 Jan 01 2020 ..\r\n"
    b"-rw-r--r-- 1 u g 12 Jan 01 2020 ok.txt\r\n"
    b"drwxr-xr-x 2 u g 4096 Jan 01 2020 okdir\r\n"
)
# Entries a server should never list: names with separators, control
# characters, dots, absurd sizes and dates, lines that are no entry. (No
# line here is blank or starts with NUL: Wine's Internet library reads past
# a null pointer on those itself, inside its own listing parser.)
LISTING_BAD = (
    b"-rw-r--r-- 1 u g 5 Jan 01 2020 up/../escape.txt\r\n"
    b"-rw-r--r-- 1 u g 5 Jan 01 2020 back\\slash.txt\r\n"
    b"-rw-r--r-- 1 u g 5 Jan 01 2020 bell\x07name.txt\r\n"
    b"-rw-r--r-- 1 u g 5 Jan 01 2020 ..\r\n"
    b"-rw-r--r-- 1 u g 99999999999999999999999 Jan 01 2020 huge.bin\r\n"
    b"-rw-r--r-- 1 u g -5 Feb 30 99:99 negative.bin\r\n"
    b"-rw-r--r-- 1 u g 5 Xyz 77 1 odd-date.bin\r\n"
    b"garbage line without fields\r\n"
    b"\xff\xfe\x01 binary\r\n"
    b"drwx\r\n"
)
LISTING_LONG = b"-rw-r--r-- 1 u g 5 Jan 01 2020 " + b"n" * 5000 + b"\r\n"

SCENARIOS = {
    # user: what the server does
    "reject": "refuses the password",
    "bigreply": "answers USER with a 100 KB line",
    "listing": "lists good and bad entries",
    "longname": "lists a name of 5000 characters",
    "pwd": "answers PWD with a 2000-character folder",
    "pwdbroken": "answers PWD without quotes",
    "oversize": "lists f.bin with 1000 bytes and sends 3000",
    "cut": "lists f.bin with 1500 bytes, sends 700 and aborts",
    "storfail": "refuses every upload",
    "storlate": "takes an upload's bytes, then reports it failed",
    "storcut": "closes an upload's data connection after 1000 bytes",
}


def listing_of(user):
    if user == "listing":
        return LISTING_HEAD + LISTING_BAD
    if user == "longname":
        return LISTING_HEAD + LISTING_LONG
    if user in ("oversize", "cut"):
        size = 1000 if user == "oversize" else 1500
        return b"-rw-r--r-- 1 u g %d Jan 01 2020 f.bin\r\n" % size
    return LISTING_HEAD


def accept_data(listener):
    listener.settimeout(10)
    try:
        data, _ = listener.accept()
    finally:
        listener.close()
    data.settimeout(10)
    return data


def read_all(data, limit=None):
    total = 0
    while limit is None or total < limit:
        chunk = data.recv(65536 if limit is None else min(65536, limit - total))
        if not chunk:
            break
        total += len(chunk)
    return total


def serve(control):
    control.settimeout(30)
    reader = control.makefile("rb")
    send = lambda text: control.sendall(text if isinstance(text, bytes) else text.encode())
    send("220 hostile server\r\n")
    user = ""
    passive = None
    while True:
        line = reader.readline(4096)
        if not line:
            return
        words = line.strip().split(b" ", 1)
        command = words[0].upper().decode("latin-1")
        argument = words[1].decode("latin-1") if len(words) > 1 else ""
        if command == "USER":
            user = argument
            send(b"331 " + b"x" * 100000 + b"\r\n" if user == "bigreply" else "331 password\r\n")
        elif command == "PASS":
            send("530 no\r\n" if user == "reject" else "230 logged in\r\n")
        elif command in ("TYPE", "MODE", "STRU", "NOOP"):
            send("200 ok\r\n")
        elif command == "SYST":
            send("215 UNIX Type: L8\r\n")
        elif command in ("PWD", "XPWD"):
            if user == "pwd":
                send(b'257 "/' + b"d" * 2000 + b'" is the folder\r\n')
            elif user == "pwdbroken":
                send("257 no quotes at all\r\n")
            else:
                send('257 "/" is the folder\r\n')
        elif command == "CWD":
            send("250 ok\r\n")
        elif command == "PASV":
            passive = socket.socket()
            passive.bind(("127.0.0.1", 0))
            passive.listen(1)
            port = passive.getsockname()[1]
            send("227 Entering Passive Mode (127,0,0,1,%d,%d)\r\n" % (port // 256, port % 256))
        elif command in ("LIST", "NLST") and passive is not None:
            send("150 listing\r\n")
            data = accept_data(passive)
            passive = None
            data.sendall(listing_of(user))
            data.close()
            send("226 done\r\n")
        elif command == "RETR" and passive is not None and user in ("oversize", "cut"):
            send("150 sending\r\n")
            data = accept_data(passive)
            passive = None
            data.sendall(b"r" * (3000 if user == "oversize" else 700))
            data.close()
            send("226 done\r\n" if user == "oversize" else "426 aborted\r\n")
        elif command == "STOR" and passive is not None and user != "storfail":
            send("150 receiving\r\n")
            data = accept_data(passive)
            passive = None
            try:
                read_all(data, 1000 if user == "storcut" else None)
            except OSError:
                pass
            data.close()
            send("552 storage exceeded\r\n" if user in ("storlate", "storcut") else "226 done\r\n")
        elif command == "QUIT":
            send("221 bye\r\n")
            return
        else:
            send("550 not here\r\n")


def serve_safely(control):
    try:
        serve(control)
    except OSError:
        pass
    finally:
        control.close()


def greet_with_garbage(control):
    try:
        control.sendall(b"garbage\r\n" + b"y" * 100000)
    except OSError:
        pass
    finally:
        control.close()


def listen(handler):
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(16)

    def loop():
        while True:
            control, _ = server.accept()
            threading.Thread(target=handler, args=(control,), daemon=True).start()

    threading.Thread(target=loop, daemon=True).start()
    return server.getsockname()[1]


def main():
    ports = "%d %d" % (listen(serve_safely), listen(greet_with_garbage))
    with open(sys.argv[1] + ".tmp", "w") as f:
        f.write(ports)
    os.rename(sys.argv[1] + ".tmp", sys.argv[1])
    threading.Event().wait()


if __name__ == "__main__":
    main()
