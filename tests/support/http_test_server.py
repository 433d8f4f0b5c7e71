"""A small HTTP server for the download tests, on 127.0.0.1 and a free port.

Usage: http_test_server.py ROOT
Prints the port on the first line of stdout, then serves until killed or
until its stdin closes (the test that started it has ended, however it ended).
The first path segment chooses how a file under ROOT is served:

  /files/REL     whole, with its length
  /site/REL      whole, with its length and the content type of its extension (web pages)
  /slow/REL      whole, with its length, in 16 KB pieces 40 ms apart
  /paced/MS/REL  with its length, in 10 KB pieces, each after a pause of MS milliseconds
  /paced-nolength/MS/REL
                 the same without a length (the connection ends the body)
  /nolength/REL  whole, without a length (the connection ends the body)
  /short/REL     its length announced, half of it sent, then the connection closed
  /cut/REL       as /short/, except that pages (".htm") come whole
  /stall/REL     its length announced, half of it sent, then nothing (until killed)
  /status/CODE   that status with a small HTML page
  /hang          the connection accepted, no answer ever
  /requests      how many requests arrived before this one (not counting these)
anything else    404 with an HTML page

REL is percent-decoded to bytes, so GBK names work as they would on the host.
"""
import http.server
import mimetypes
import os
import socketserver
import sys
import threading
import time
import urllib.parse

ROOT = os.fsencode(sys.argv[1])


REQUESTS = 0
REQUESTS_LOCK = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def page(self, code, text):
        body = ("<html><body>%d %s</body></html>" % (code, text)).encode()
        self.send_response(code)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        global REQUESTS
        path = urllib.parse.urlsplit(self.path).path
        parts = path.lstrip("/").split("/", 1)
        mode = parts[0]
        rest = parts[1] if len(parts) > 1 else ""
        if mode == "requests":
            with REQUESTS_LOCK:
                count = REQUESTS
            body = str(count).encode()
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        with REQUESTS_LOCK:
            REQUESTS += 1
        if mode == "status":
            self.page(int(rest or "500"), "status")
            return
        if mode == "hang":
            time.sleep(3600)
            return
        gap = 0.0
        paced_length = mode == "paced"
        if mode in ("paced", "paced-nolength"):
            ms, _, rest = rest.partition("/")
            gap = int(ms) / 1000.0 if ms.isdigit() else 0.4
            mode = "paced"
        rel = urllib.parse.unquote_to_bytes(rest)
        full = os.path.normpath(os.path.join(ROOT, rel))
        if mode == "cut":
            mode = "files" if full.endswith(b".htm") else "short"
        site = mode == "site"
        if site:
            mode = "files"
        if mode not in ("files", "slow", "paced", "nolength", "short", "stall") or not full.startswith(ROOT) \
                or not os.path.isfile(full):
            self.page(404, "Not Found")
            return
        with open(full, "rb") as f:
            data = f.read()
        self.send_response(200)
        kind = "application/octet-stream"
        if site:
            kind = mimetypes.guess_type(os.fsdecode(full))[0] or kind
            if kind.startswith("text/") or kind.endswith("javascript"):
                kind += "; charset=utf-8"
        self.send_header("Content-Type", kind)
        if mode == "nolength" or (mode == "paced" and not paced_length):
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        if mode in ("files", "nolength"):
            self.wfile.write(data)
        elif mode == "paced":
            for i in range(0, len(data), 10240):
                time.sleep(gap)
                self.wfile.write(data[i:i + 10240])
                self.wfile.flush()
        elif mode == "slow":
            for i in range(0, len(data), 16384):
                self.wfile.write(data[i:i + 16384])
                self.wfile.flush()
                time.sleep(0.04)
        else:
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            if mode == "stall":
                time.sleep(3600)
            self.close_connection = True


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        pass  # clients that hang up early are part of the tests


def exit_with_parent():
    sys.stdin.buffer.read()
    os._exit(0)


def main():
    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=exit_with_parent, daemon=True).start()
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
