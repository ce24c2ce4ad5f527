"""An HTTP peer for the Inet tests, for the responses a file server does
not give, on 127.0.0.1 at a free port (written to the file of the first
argument once it listens; runs until it is killed):
  /nolength   a body of 3000 bytes without Content-Length, ended by the close
  /redirect   302 to /nolength
  /header     200 with "X-Kelpo-Test: hello, world" and a fixed Last-Modified
  /slow       8192 bytes in pieces of 512 with a pause between them
  /cut        Content-Length 10000, 1000 bytes sent, then the close
  /garbled    a Content-Length that is no number
anything else 404."""
import http.server
import os
import sys
import threading
import time

BODY = bytes((i * 7) % 251 for i in range(3000))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        path = self.path.split("?")[0]
        if path == "/nolength":
            self.send_response(200)
            self.end_headers()
            self.wfile.write(BODY)
        elif path == "/redirect":
            self.send_response(302)
            self.send_header("Location", "/nolength")
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path == "/header":
            self.send_response(200)
            self.send_header("X-Kelpo-Test", "hello, world")
            self.send_header("Last-Modified", "Tue, 15 Nov 1994 12:45:26 GMT")
            self.send_header("Content-Length", "2")
            self.end_headers()
            self.wfile.write(b"ok")
        elif path == "/slow":
            self.send_response(200)
            self.send_header("Content-Length", "8192")
            self.end_headers()
            try:
                for _ in range(16):
                    self.wfile.write(b"s" * 512)
                    self.wfile.flush()
                    time.sleep(0.1)
            except OSError:
                pass  # the client stopped the download
        elif path == "/cut":
            self.send_response(200)
            self.send_header("Content-Length", "10000")
            self.end_headers()
            self.wfile.write(b"c" * 1000)
        elif path == "/garbled":
            self.send_response(200)
            self.send_header("Content-Length", "12abc")
            self.end_headers()
            self.wfile.write(b"x" * 12)
        else:
            self.send_error(404)


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(sys.argv[1] + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(sys.argv[1] + ".tmp", sys.argv[1])
    threading.Event().wait()


if __name__ == "__main__":
    main()
