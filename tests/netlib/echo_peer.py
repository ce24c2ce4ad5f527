"""An echo peer on 127.0.0.1 for the socket tests: TCP and UDP on one port
number, every byte sent back as it came. Writes the port number to the
file named by its argument once both listen; runs until it is killed."""
import socket
import socketserver
import sys
import threading


class StreamEcho(socketserver.BaseRequestHandler):
    def handle(self):
        while True:
            data = self.request.recv(65536)
            if not data:
                break
            self.request.sendall(data)


class DatagramEcho(socketserver.BaseRequestHandler):
    def handle(self):
        data, sock = self.request
        sock.sendto(data, self.client_address)


class StreamServer(socketserver.ThreadingTCPServer):
    daemon_threads = True


def main():
    for _ in range(20):
        tcp = StreamServer(("127.0.0.1", 0), StreamEcho)
        port = tcp.server_address[1]
        try:
            udp = socketserver.UDPServer(("127.0.0.1", port), DatagramEcho)
            break
        except OSError:
            tcp.server_close()
    else:
        sys.exit("no port free for both TCP and UDP")
    for server in (tcp, udp):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(sys.argv[1] + ".tmp", "w") as f:
        f.write(str(port))
    # The port appears whole: the test reads the file once it exists.
    import os
    os.rename(sys.argv[1] + ".tmp", sys.argv[1])
    threading.Event().wait()


if __name__ == "__main__":
    main()
