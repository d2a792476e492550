"""A small driver for headless Chromium over the DevTools protocol.

Serves a site folder on a free port of 127.0.0.1, starts Debian's chromium
with its own profile folder (a second Browser on the same folder sees the
same IndexedDB), and offers what the page tests need: navigation, key
presses with Windows virtual-key codes, clicks, Runtime.evaluate, console
lines and uncaught exceptions, and screenshots as pixels.
"""

import base64
import functools
import http.server
import json
import os
import shutil
import struct
import subprocess
import sys
import threading
import time
import urllib.request
import zlib

import websocket

# name: (key, code, windowsVirtualKeyCode, text)
KEYS = {
    "up": ("ArrowUp", "ArrowUp", 38, ""),
    "down": ("ArrowDown", "ArrowDown", 40, ""),
    "left": ("ArrowLeft", "ArrowLeft", 37, ""),
    "right": ("ArrowRight", "ArrowRight", 39, ""),
    "space": (" ", "Space", 32, " "),
    "ctrl": ("Control", "ControlLeft", 17, ""),
    "shift": ("Shift", "ShiftLeft", 16, ""),
    "enter": ("Enter", "Enter", 13, "\r"),
    "escape": ("Escape", "Escape", 27, ""),
    "f1": ("F1", "F1", 112, ""),
    "f12": ("F12", "F12", 123, ""),
    "backspace": ("Backspace", "Backspace", 8, ""),
    "z": ("z", "KeyZ", 90, "z"),
}
MODIFIER_BITS = {"alt": 1, "ctrl": 2, "shift": 8}


class Site:
    """The folder served over HTTP on 127.0.0.1, on a port the system picks.
    faults: {"/file": "404" or "cut"}, files served wrong (a 404, or half the
    file under the whole one's length) until taken out of self.faults."""

    def __init__(self, folder, faults=None):
        self.faults = dict(faults or {})
        handler = functools.partial(_QuietHandler, directory=folder, faults=self.faults)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".data": "application/octet-stream",
                             ".ogg": "audio/ogg", ".js": "text/javascript"})

    def __init__(self, *args, faults=None, **kwargs):
        self.faults = faults if faults is not None else {}
        super().__init__(*args, **kwargs)

    def do_GET(self):
        fault = self.faults.get(self.path.split("?")[0])
        if fault == "404":
            self.send_error(404)
            return
        if fault == "cut":
            with open(self.translate_path(self.path), "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", self.guess_type(self.path))
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:len(body) // 2])
            self.close_connection = True
            return
        super().do_GET()

    def log_message(self, *args):
        pass


class Browser:
    """One headless chromium with one page, driven over its DevTools socket."""

    def __init__(self, profile, width=1280, height=720, timeout=30, flags=()):
        self.console = []     # "type: text" lines of console calls
        self.exceptions = []  # texts of uncaught exceptions
        self.width, self.height = width, height
        port_file = os.path.join(profile, "DevToolsActivePort")
        if os.path.exists(port_file):
            os.remove(port_file)
        self.log_path = profile.rstrip("/") + "-chromium.log"
        self.log = open(self.log_path, "ab")
        self.process = subprocess.Popen(
            [shutil.which("chromium") or "chromium", "--headless=new", "--no-sandbox",
             "--enable-unsafe-swiftshader", "--window-size=%d,%d" % (width, height),
             "--autoplay-policy=no-user-gesture-required", "--remote-debugging-port=0",
             "--remote-debugging-address=127.0.0.1", "--user-data-dir=" + profile,
             "--no-first-run", "--no-default-browser-check",
             # /dev/shm may be missing or small in a container: shared memory in /tmp.
             "--disable-dev-shm-usage"] + list(flags) + ["about:blank"],
            stdout=self.log, stderr=self.log)
        deadline = time.time() + timeout
        while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
            if time.time() > deadline or self.process.poll() is not None:
                self.close()
                with open(self.log_path, "rb") as f:
                    tail = f.read()[-2000:].decode(errors="replace")
                raise RuntimeError("chromium did not open its DevTools port:\n" + tail)
            time.sleep(0.1)
        with open(port_file) as f:
            port = int(f.readline())
        pages = []
        while not pages:
            with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port) as r:
                pages = [t for t in json.load(r) if t.get("type") == "page"]
            if not pages:
                time.sleep(0.1)
        self.socket = websocket.create_connection(pages[0]["webSocketDebuggerUrl"],
                                                  timeout=timeout)
        self.next_id = 0
        self.events = []
        for domain in ("Page", "Runtime"):
            self.call(domain + ".enable")
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def close(self):
        try:
            if getattr(self, "socket", None):
                self.call("Browser.close")
        except Exception:
            pass
        wait_or_kill(self.process)
        self.log.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # The protocol: a call waits for its answer; events meanwhile are kept.
    def call(self, method, params=None):
        self.next_id += 1
        wanted = self.next_id
        self.socket.send(json.dumps({"id": wanted, "method": method, "params": params or {}}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == wanted:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._event(message)

    def _event(self, message):
        method = message.get("method")
        params = message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"])
            self.console.append("%s: %s" % (params["type"], text))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.exceptions.append(details.get("exception", {}).get("description")
                                   or details.get("text", ""))
        elif method:
            self.events.append(method)

    def navigate(self, url, timeout=60):
        self.events.clear()
        self.call("Page.navigate", {"url": url})
        self.wait_for("document.readyState === 'complete'", timeout)

    def reload(self, timeout=60):
        self.call("Page.reload", {"ignoreCache": False})
        time.sleep(0.2)
        self.wait_for("document.readyState === 'complete'", timeout)

    def evaluate(self, expression, await_promise=False):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": await_promise})
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"].get(
                "exception", {}).get("description", result["exceptionDetails"].get("text"))))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30, interval=0.05):
        """Waits until the expression is truthy; returns its value."""
        deadline = time.time() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.time() > deadline:
                raise TimeoutError("waited %g s for: %s" % (timeout, expression))
            time.sleep(interval)

    # Input, as a user's keyboard and mouse give it to the focused element.
    def key(self, name, down, modifiers=()):
        key, code, vk, text = KEYS[name]
        params = {"type": ("keyDown" if text else "rawKeyDown") if down else "keyUp",
                  "key": key, "code": code, "windowsVirtualKeyCode": vk,
                  "nativeVirtualKeyCode": vk,
                  "modifiers": sum(MODIFIER_BITS[m] for m in modifiers)}
        if down and text:
            params["text"] = text
            params["unmodifiedText"] = text
        self.call("Input.dispatchKeyEvent", params)

    def press(self, name, modifiers=()):
        self.key(name, True, modifiers)
        self.key(name, False, modifiers)

    def type_text(self, text):
        for ch in text:
            self.call("Input.dispatchKeyEvent", {"type": "keyDown", "text": ch, "key": ch,
                                                 "unmodifiedText": ch})
            self.call("Input.dispatchKeyEvent", {"type": "keyUp", "key": ch})

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y,
                                                   "button": "left", "clickCount": 1})

    def click_element(self, selector):
        box = self.evaluate("(() => { const r = document.querySelector(%s)"
                            ".getBoundingClientRect(); return [r.x + r.width / 2, "
                            "r.y + r.height / 2]; })()" % json.dumps(selector))
        self.click(box[0], box[1])

    def screenshot_png(self, scale=1.0):
        """The viewport as PNG bytes, scaled down by scale."""
        params = {"format": "png"}
        if scale != 1.0:
            params["clip"] = {"x": 0, "y": 0, "width": self.width, "height": self.height,
                              "scale": scale}
        return base64.b64decode(self.call("Page.captureScreenshot", params)["data"])

    def screenshot_region(self, x, y, width, height):
        """A rectangle of the viewport in CSS pixels, at full size, as an Image."""
        params = {"format": "png", "clip": {"x": x, "y": y, "width": width, "height": height,
                                            "scale": 1}}
        return Image.from_png(base64.b64decode(self.call("Page.captureScreenshot", params)["data"]))

    def screenshot(self, scale=0.25):
        """The viewport as an Image, a quarter of the size by default (quick to decode)."""
        return Image.from_png(self.screenshot_png(scale))


class Image:
    """RGB pixels of a decoded PNG (8-bit, not interlaced, as Chromium writes them)."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def region(self, x0, y0, x1, y1):
        """The pixels of the rectangle [x0, x1) x [y0, y1)."""
        return [self.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]

    @staticmethod
    def from_png(png):
        if png[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("not a PNG")
        pos, idat, width, height, channels = 8, b"", 0, 0, 0
        while pos < len(png):
            length, kind = struct.unpack(">I4s", png[pos:pos + 8])
            body = png[pos + 8:pos + 8 + length]
            pos += 12 + length
            if kind == b"IHDR":
                width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
                channels = {2: 3, 6: 4}.get(colour)
                if depth != 8 or channels is None or interlace:
                    raise ValueError("PNG kind not handled: depth %d colour %d" % (depth, colour))
            elif kind == b"IDAT":
                idat += body
        raw = zlib.decompress(idat)
        stride = width * channels
        rows, prev, at = [], bytearray(stride), 0
        for _ in range(height):
            kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
            at += 1 + stride
            for i in range(stride):
                a = line[i - channels] if i >= channels else 0
                b = prev[i]
                c = prev[i - channels] if i >= channels else 0
                if kind == 1:
                    line[i] = (line[i] + a) & 255
                elif kind == 2:
                    line[i] = (line[i] + b) & 255
                elif kind == 3:
                    line[i] = (line[i] + (a + b) // 2) & 255
                elif kind == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            rows.append(line)
            prev = line
        rgb = bytearray()
        for line in rows:
            if channels == 3:
                rgb += line
            else:
                for i in range(0, stride, 4):
                    rgb += line[i:i + 3]
        return Image(width, height, rgb)


class Checks:
    """Named checks of a test run, printed as they go ("PREFIX: what: ok"),
    the failed ones kept in self.failures."""
    prefix = "web"

    def check(self, what, ok, detail=""):
        if not hasattr(self, "failures"):
            self.failures = []
        print("%s: %s: %s%s" % (self.prefix, what, "ok" if ok else "FAILED",
                                " (%s)" % detail if detail else ""))
        sys.stdout.flush()
        if not ok:
            self.failures.append(what)
        return ok

    def run_steps(self, steps):
        """Runs the steps in order; a step returns False, or throws, when
        the ones after it cannot run (a throw is reported as its failure)."""
        for step in steps:
            try:
                if not step():
                    break
            except Exception as e:
                self.check(step.__name__, False, "%s: %s" % (type(e).__name__, e))
                break


def wait_or_kill(process, timeout=10):
    """Waits for a process that was asked to end; kills it after `timeout` s."""
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
