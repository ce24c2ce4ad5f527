"""An FTP server on 127.0.0.1 for the FTP client's tests (pyftpdlib): the
user "kelpo" with password "secret" may do everything in the home folder
given as the second argument; anonymous users may read it. Passive data
connections listen on free ports of 127.0.0.1. Writes the port number to
the file named by the first argument once it listens; runs until it is
killed."""
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    port_file, home = sys.argv[1], sys.argv[2]
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user("kelpo", "secret", home, perm="elradfmwMT")
    authorizer.add_anonymous(home)

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    # Listings give times in UTC, as the tests expect them.
    Handler.use_gmt_times = True
    server = FTPServer(("127.0.0.1", 0), Handler)
    port = server.socket.getsockname()[1]
    with open(port_file + ".tmp", "w") as f:
        f.write(str(port))
    # The port appears whole: the test reads the file once it exists.
    os.rename(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
