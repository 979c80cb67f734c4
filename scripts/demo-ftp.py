"""A small FTP server on 127.0.0.1 standing in for the gateway's FTP server.

usage: demo-ftp.py --root DIR [--port N] [--user U] [--password P]
                   [--throttle BYTES_PER_SECOND] [--hang-on NAME] [--quiet]
                   [--exit-on-eof]

The account's home is DIR, so the gateway's folder /www/htdocs/ is
DIR/www/htdocs. With --port 0 (the default) it takes a free port; it prints
"ftp server listening on 127.0.0.1:PORT" and one "login USER" line per
successful login on standard output. --throttle slows data transfers down;
--hang-on NAME makes a download of NAME never get an answer (a server that
stops answering). With --exit-on-eof it ends when its standard input closes
(tests use it so that the server does not outlive a test program that died).
"""
import argparse
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("--root", required=True)
parser.add_argument("--port", type=int, default=0)
parser.add_argument("--user", default="relaymo")
parser.add_argument("--password", default="qzvx")
parser.add_argument("--throttle", type=int, default=0)
parser.add_argument("--hang-on", default="")
parser.add_argument("--quiet", action="store_true")
parser.add_argument("--exit-on-eof", action="store_true")
args = parser.parse_args()

if args.exit_on_eof:
    def wait_for_eof():
        sys.stdin.buffer.read()
        os._exit(0)
    threading.Thread(target=wait_for_eof, daemon=True).start()

logging.basicConfig(level=logging.WARNING if args.quiet else logging.INFO,
                    format="[ftp] %(message)s")

authorizer = DummyAuthorizer()
authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")


class Handler(FTPHandler):
    auth_failed_timeout = 0.2

    def on_login(self, username):
        print("login", username, flush=True)

    def ftp_RETR(self, file):
        if args.hang_on and file.replace("\\", "/").endswith("/" + args.hang_on):
            return  # no reply at all
        return super().ftp_RETR(file)


Handler.authorizer = authorizer
Handler.banner = "Relaymo demo FTP server ready."
if args.throttle > 0:
    class Throttled(ThrottledDTPHandler):
        read_limit = args.throttle
        write_limit = args.throttle
    Handler.dtp_handler = Throttled

server = FTPServer(("127.0.0.1", args.port), Handler)
print("ftp server listening on 127.0.0.1:%d" % server.socket.getsockname()[1], flush=True)
server.serve_forever()
