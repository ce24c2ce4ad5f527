"""A DNS peer over TCP for the MX lookup tests, on 127.0.0.1 at the port of
its first argument (53: the lookup always asks port 53). The queried domain
picks the answer:
  example.test   two MX records, names compressed by dnslib
  cname.test     a CNAME before one MX record
  none.test      no such domain, no answers
  loop.test      an exchange name whose pointers loop
  count.test     more answers counted than the reply holds
  badid.test     a well-formed reply with another transaction identifier
  short.test     a length prefix of 300 bytes, 20 sent, then the close
  stall.test     the query read, nothing answered (the connection held)
Writes "ready" to the file of its second argument once it listens; runs
until it is killed. With --seeds DIR it writes each reply (without the
length prefix, for the query identifier 0x4B70) to DIR and exits."""
import os
import socketserver
import struct
import sys
import threading
import time

from dnslib import CNAME, DNSRecord, MX, QTYPE, RCODE, RR

QUERY_ID = 0x4B70


def well_formed(query, *answers):
    reply = query.reply()
    for rr in answers:
        reply.add_answer(rr)
    return reply.pack()


def reply_for(query):
    name = str(query.q.qname).rstrip(".")
    qname = query.q.qname
    if name == "example.test":
        return well_formed(query, RR(qname, QTYPE.MX, rdata=MX("mx1.example.test", 10)),
                           RR(qname, QTYPE.MX, rdata=MX("mx2.example.test", 20)))
    if name == "cname.test":
        return well_formed(query, RR(qname, QTYPE.CNAME, rdata=CNAME("mail.cname.test")),
                           RR("mail.cname.test", QTYPE.MX, rdata=MX("mx.cname.test", 5)))
    if name == "none.test":
        reply = query.reply()
        reply.header.rcode = RCODE.NXDOMAIN
        return reply.pack()
    if name == "badid.test":
        query.header.id ^= 0xFFFF
        return well_formed(query, RR(qname, QTYPE.MX, rdata=MX("mx.badid.test", 1)))
    if name == "loop.test":
        # The answer's exchange is a pointer to itself.
        good = well_formed(query)
        header = bytearray(good[:12])
        header[7] = 1  # one answer
        body = bytes(header) + good[12:]
        at = len(body) + 2 + 10 + 2
        answer = struct.pack(">HHHIH", 0xC00C, 15, 1, 60, 4) + struct.pack(">HH", 10, 0xC000 | at)
        return body + answer
    if name == "count.test":
        reply = bytearray(well_formed(query, RR(qname, QTYPE.MX, rdata=MX("mx.count.test", 1))))
        reply[6:8] = struct.pack(">H", 3)
        return bytes(reply)
    return None


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        data = b""
        while len(data) < 2 or len(data) < 2 + struct.unpack(">H", data[:2])[0]:
            piece = self.request.recv(4096)
            if not piece:
                return
            data += piece
        query = DNSRecord.parse(data[2:])
        name = str(query.q.qname).rstrip(".")
        if name == "stall.test":
            time.sleep(30)
            return
        if name == "short.test":
            self.request.sendall(struct.pack(">H", 300) + b"\x4b\x70" + b"\0" * 18)
            return
        reply = reply_for(query)
        if reply is not None:
            self.request.sendall(struct.pack(">H", len(reply)) + reply)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def write_seeds(folder):
    os.makedirs(folder, exist_ok=True)
    for name in ("example", "cname", "none", "loop", "count"):
        query = DNSRecord.question(name + ".test", "MX")
        query.header.id = QUERY_ID
        with open(os.path.join(folder, "seed-" + name), "wb") as f:
            f.write(reply_for(query))


def main():
    if sys.argv[1] == "--seeds":
        write_seeds(sys.argv[2])
        return
    server = Server(("127.0.0.1", int(sys.argv[1])), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(sys.argv[2], "w") as f:
        f.write("ready")
    threading.Event().wait()


if __name__ == "__main__":
    main()
