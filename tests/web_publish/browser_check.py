"""Opens a published web page in headless Chromium through chromedriver
(WebDriver over loopback HTTP) and reports what a visitor would see.

Usage: browser_check.py URL SCREENSHOT [CLICK_SELECTOR [X,Y ...]]

Loads URL, waits for the page and its pictures, records the console's
errors and the pictures that did not load, reads the colours at the given
points of the page (before the click), clicks the element of CLICK_SELECTOR,
reads the same points again and saves the screenshot after the click as
SCREENSHOT (PNG). Prints one fact a line:
  error MESSAGE / broken URL / stage LEFT TOP / before I R G B / after I R G B /
  worn ENTRY / title TEXT / failure WHY
Exit status 0 when the browser could be driven at all, 2 otherwise.
"""
import base64
import json
import os
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request
import zlib


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def call(base, method, path, body=None):
    data = None if body is None else json.dumps(body).encode()
    req = urllib.request.Request(base + path, data=data, method=method,
                                 headers={"Content-Type": "application/json"})
    with urllib.request.urlopen(req, timeout=60) as r:
        return json.loads(r.read().decode())["value"]


def decode_png(data):
    """RGB(A) 8-bit, non-interlaced PNG -> (width, height, rows of bytes, channels)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
            assert depth == 8 and ctype in (2, 6) and interlace == 0, (depth, ctype, interlace)
            channels = 4 if ctype == 6 else 3
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev, p = [], bytearray(stride), 0
    for _ in range(height):
        f = raw[p]
        line = bytearray(raw[p + 1:p + 1 + stride])
        p += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
        rows.append(line)
        prev = line
    return width, height, rows, channels


def pixels(png, points):
    width, height, rows, channels = decode_png(png)
    out = []
    for x, y in points:
        if 0 <= x < width and 0 <= y < height:
            o = x * channels
            out.append(list(rows[y][o:o + 3]))
        else:
            out.append(None)
    return out


def report(result):
    for m in result.get("errors", []):
        print("error", m.replace("\n", " "))
    for u in result.get("broken", []):
        print("broken", u)
    if "stage" in result:
        print("stage", *result["stage"])
    for key in ("before", "after"):
        for i, px in enumerate(result.get(key, [])):
            print(key, i, *(px or [-1, -1, -1]))
    for w in result.get("worn", []):
        print("worn", w)
    if "title" in result:
        print("title", result["title"])
    if "failure" in result:
        print("failure", result["failure"].replace("\n", " "))


def main():
    url, shot = sys.argv[1], sys.argv[2]
    selector = sys.argv[3] if len(sys.argv) > 3 else ""
    points = [tuple(int(v) for v in a.split(",")) for a in sys.argv[4:]]
    port = free_port()
    profile = tempfile.mkdtemp(prefix="web-check-")
    driver = subprocess.Popen(["chromedriver", "--port=%d" % port],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    base = "http://127.0.0.1:%d" % port
    result = {}
    try:
        for _ in range(100):
            try:
                call(base, "GET", "/status")
                break
            except Exception:
                time.sleep(0.1)
        caps = {"capabilities": {"alwaysMatch": {
            "browserName": "chrome",
            "goog:loggingPrefs": {"browser": "ALL"},
            "goog:chromeOptions": {
                "binary": "/usr/bin/chromium",
                "args": ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                         "--window-size=1200,900", "--force-device-scale-factor=1", "--hide-scrollbars",
                         "--no-first-run", "--disable-extensions", "--disable-background-networking",
                         "--user-data-dir=" + profile]}}}}
        session = call(base, "POST", "/session", caps)["sessionId"]
        s = "/session/" + session
        try:
            call(base, "POST", s + "/url", {"url": url})
            wait_js = "return document.readyState === 'complete' && " \
                      "Array.from(document.images).every(function (i) { return i.complete; });"
            for _ in range(100):
                if call(base, "POST", s + "/execute/sync", {"script": wait_js, "args": []}):
                    break
                time.sleep(0.1)
            time.sleep(0.3)
            result["title"] = call(base, "POST", s + "/execute/sync", {"script": "return document.title;", "args": []})
            result["broken"] = call(base, "POST", s + "/execute/sync", {"script":
                "return Array.from(document.images).filter(function (i) { return !(i.complete && i.naturalWidth > 0); })"
                ".map(function (i) { return i.src; });", "args": []})
            result["stage"] = call(base, "POST", s + "/execute/sync", {"script":
                "var n = document.getElementById('kzvStage') || document.getElementById('kzvScreen');"
                "if (!n) return [0, 0]; var r = n.getBoundingClientRect(); return [Math.round(r.left), Math.round(r.top)];",
                "args": []})
            stage = result["stage"]
            absolute = [(stage[0] + x, stage[1] + y) for x, y in points]
            before = base64.b64decode(call(base, "GET", s + "/screenshot"))
            result["before"] = pixels(before, absolute)
            if selector:
                el = call(base, "POST", s + "/element", {"using": "css selector", "value": selector})
                el_id = list(el.values())[0]
                call(base, "POST", s + "/element/" + el_id + "/click", {})
                for _ in range(50):
                    if call(base, "POST", s + "/execute/sync", {"script":
                            "return Array.from(document.images).every(function (i) { return i.complete; });", "args": []}):
                        break
                    time.sleep(0.1)
                time.sleep(0.3)
                result["broken"] += call(base, "POST", s + "/execute/sync", {"script":
                    "return Array.from(document.images).filter(function (i) { return !(i.complete && i.naturalWidth > 0); })"
                    ".map(function (i) { return i.src; });", "args": []})
            result["worn"] = call(base, "POST", s + "/execute/sync", {"script":
                "return Array.from(document.querySelectorAll('.kzv-worn')).map(function (i) { return Number(i.dataset.entry); });",
                "args": []})
            after = base64.b64decode(call(base, "GET", s + "/screenshot"))
            result["after"] = pixels(after, absolute)
            os.makedirs(os.path.dirname(os.path.abspath(shot)), exist_ok=True)
            with open(shot, "wb") as f:
                f.write(after)
            logs = call(base, "POST", s + "/se/log", {"type": "browser"})
            result["errors"] = [e.get("message", "") for e in logs if e.get("level") == "SEVERE"]
        finally:
            call(base, "DELETE", s)
    except Exception as e:  # the browser could not be driven
        result["failure"] = "%s: %s" % (type(e).__name__, e)
        report(result)
        return 2
    finally:
        driver.terminate()
        try:
            driver.wait(10)
        except subprocess.TimeoutExpired:
            driver.kill()
    report(result)
    return 0


if __name__ == "__main__":
    sys.exit(main())
