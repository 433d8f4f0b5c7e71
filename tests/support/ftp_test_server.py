"""A loopback FTP server for the transfer tests, on 127.0.0.1 and a free port.

Usage: ftp_test_server.py ROOT USER PASSWORD [BYTES_PER_SECOND [RENAME [PASSIVE [LOG]]]]
Serves ROOT as the home folder of USER (read and write), optionally throttled
to BYTES_PER_SECOND each way. RENAME says how the server renames: "replace"
(onto an existing name too, the default), "keep" (only onto a free name, as
many Windows servers do) or "none" (never). PASSIVE says whether it takes
passive data connections: "offer" (EPSV and PASV, the default) or "refuse"
(both answer 502, as servers that allow active mode only do); active mode
(EPRT, PORT) works either way. LOG, when given, is a file that gets every
command's verb on a line of its own as the command arrives. Prints the port
on the first line of stdout, then serves until killed or until its stdin
closes (the test that started it has ended, however it ended).
"""
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

logging.getLogger("pyftpdlib").setLevel(logging.CRITICAL)
logging.disable(logging.CRITICAL)

root, user, password = sys.argv[1], sys.argv[2], sys.argv[3]
rate = int(sys.argv[4]) if len(sys.argv) > 4 else 0
rename = sys.argv[5] if len(sys.argv) > 5 else "replace"
passive = sys.argv[6] if len(sys.argv) > 6 else "offer"
log = open(sys.argv[7], "a", encoding="utf-8") if len(sys.argv) > 7 and sys.argv[7] else None

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradmwMT" if rename == "none" else "elradfmwMT")


class Handler(FTPHandler):
    def pre_process_command(self, line, cmd, arg):
        if log:
            log.write(cmd + "\n")
            log.flush()
        return super().pre_process_command(line, cmd, arg)

    def ftp_EPSV(self, line):
        if passive == "refuse":
            return self.respond("502 Command not implemented.")
        return super().ftp_EPSV(line)

    def ftp_PASV(self, line):
        if passive == "refuse":
            return self.respond("502 Command not implemented.")
        return super().ftp_PASV(line)

    def ftp_RNTO(self, path):
        if rename == "keep" and self._rnfr and self.fs.lexists(path):
            self._rnfr = None
            self.respond("550 Cannot create a file when that file already exists.")
            return None
        return super().ftp_RNTO(path)


Handler.authorizer = authorizer
Handler.banner = "test server ready"
Handler.auth_failed_timeout = 0.1
Handler.permit_foreign_addresses = False
if rate > 0:
    class Throttled(ThrottledDTPHandler):
        read_limit = rate
        write_limit = rate
    Handler.dtp_handler = Throttled
    Handler.use_sendfile = False

server = FTPServer(("127.0.0.1", 0), Handler)
print(server.socket.getsockname()[1], flush=True)


def watch_stdin():
    try:
        while sys.stdin.buffer.read(4096):
            pass
    finally:
        os._exit(0)


threading.Thread(target=watch_stdin, daemon=True).start()
server.serve_forever(handle_exit=False)
