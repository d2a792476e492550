"""The page on a phone in headless Chromium: touch controls, a pad, settings.

A landscape phone (844 x 390, five touch points) through the DevTools
protocol: the controls show; the pad and Jump held by two fingers at once
both act; a 10 ms tap jumps; portrait shows the overlay; the page does not
scroll; a faked gamepad walks and bombs and is named; a volume and a
rebound key survive a reload, and the rebound key jumps.
"""

import argparse
import os
import re
import shutil
import sys
import tempfile
import time

import cdp

STATE = re.compile(r"screen=(\w+) .* bombs=(\d+) hero=([-\d.]+),([-\d.]+),([-\d.]+)")
# A pad of the standard mapping, driven by the test through window.__pad.
FAKE_PAD = """
window.__pad = { id: 'Test Pad (STANDARD GAMEPAD)', index: 0, connected: true,
  mapping: 'standard', timestamp: 1, axes: [0, 0, 0, 0],
  buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })) };
window.__press = (i, down) => {
  window.__pad.buttons[i] = { pressed: down, touched: down, value: down ? 1 : 0 };
  window.__pad.timestamp++;
};
navigator.getGamepads = () => [window.__pad, null, null, null];
// The phone's vibrator, counted.
window.__vibrations = [];
navigator.vibrate = (pattern) => { window.__vibrations.push(pattern); return true; };
window.addEventListener('load', () => {
  const e = new Event('gamepadconnected');
  e.gamepad = window.__pad;
  window.dispatchEvent(e);
});
"""


# The settings file as IDBFS stores it (database and key named after the
# mount point), or "" before it is there.
STORED_SETTINGS = """new Promise(ok => {
  const r = indexedDB.open('/persistent');
  r.onerror = () => ok('');
  r.onsuccess = () => {
    const db = r.result;
    if (!db.objectStoreNames.contains('FILE_DATA')) { db.close(); ok(''); return; }
    const g = db.transaction('FILE_DATA').objectStore('FILE_DATA').get('/persistent/settings.toml');
    g.onsuccess = () => { db.close();
      ok(g.result && g.result.contents ? new TextDecoder().decode(g.result.contents) : ''); };
    g.onerror = () => { db.close(); ok(''); };
  };
})"""


class TouchTest(cdp.Checks):
    prefix = "touch"

    def __init__(self, args):
        self.args = args
        self.failures = []
        self.work = tempfile.mkdtemp(prefix="quorvax-touch-")
        self.profile = os.path.join(self.work, "profile")
        self.site = cdp.Site(args.site)
        self.browser = None

    def phone(self, portrait=False):
        w, h = (390, 844) if portrait else (844, 390)
        self.browser.call("Emulation.setDeviceMetricsOverride", {
            "width": w, "height": h, "deviceScaleFactor": 2, "mobile": True,
            "screenOrientation": {"type": "portraitPrimary" if portrait else "landscapePrimary",
                                  "angle": 0 if portrait else 90}})

    def open(self):
        self.browser = cdp.Browser(self.profile, 844, 390)
        self.phone()
        self.browser.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.browser.call("Page.addScriptToEvaluateOnNewDocument", {"source": FAKE_PAD})
        self.browser.navigate(self.site.url + "?scale=full")
        self.wait_ready()

    def wait_ready(self):
        self.browser.wait_for("!!(window.quorvax && window.quorvax.ready === true && "
                              "window.QuorvaxSettings && window.QuorvaxSettings.current)", timeout=90)

    def state(self):
        m = STATE.search(self.browser.evaluate("window.quorvax.state()") or "")
        return {"screen": m.group(1), "bombs": int(m.group(2)),
                "hero": tuple(float(m.group(i)) for i in (3, 4, 5))} if m else None

    def centre(self, selector):
        return self.browser.evaluate(
            "(() => { const r = document.querySelector(%r).getBoundingClientRect(); "
            "return [r.x + r.width / 2, r.y + r.height / 2]; })()" % selector)

    def touch(self, kind, points):
        self.browser.call("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"x": x, "y": y, "id": i} for i, (x, y) in points]})

    def watch(self, seconds):
        """The states seen over the next seconds."""
        seen = []
        end = time.time() + seconds
        while time.time() < end:
            st = self.state()
            if st:
                seen.append(st)
            time.sleep(0.02)
        return seen

    def landed(self, timeout=10):
        """Waits until the hero stands on the floor again; its height then."""
        end = time.time() + timeout
        while time.time() < end:
            z = self.state()["hero"][2]
            if z < 0.55:
                return z
            time.sleep(0.05)
        return self.state()["hero"][2]

    def start_playing(self):
        canvas = self.centre("#canvas")
        for _ in range(3):
            self.touch("touchStart", [(1, canvas)])
            time.sleep(0.1)
            self.touch("touchEnd", [])
            try:
                self.browser.wait_for("window.quorvax.state().includes('screen=playing')", timeout=3)
                return True
            except TimeoutError:
                pass
        return False

    def step_controls(self):
        b = self.browser
        shown = b.evaluate("window.QuorvaxTouch.shown()")
        self.check("the touch controls show on a phone", shown)
        if not self.check("a tap on the title picture starts", self.start_playing(),
                          b.evaluate("window.quorvax.state()")):
            return False
        if self.args.shots:
            os.makedirs(self.args.shots, exist_ok=True)
            with open(os.path.join(self.args.shots, "phone.png"), "wb") as f:
                f.write(b.screenshot_png())
        forward, jump = self.centre("#touch [data-action=forward]"), self.centre("#touch [data-action=jump]")
        rest = self.landed()
        self.touch("touchStart", [(3, jump)])
        time.sleep(0.01)
        self.touch("touchEnd", [])
        top = max(s["hero"][2] for s in self.watch(1.0))
        self.check("a 10 ms tap jumps", top > rest + 0.05, "height %.2f -> %.2f" % (rest, top))

        self.landed()
        start = self.state()["hero"]
        self.touch("touchStart", [(1, forward)])
        self.touch("touchStart", [(1, forward), (2, jump)])
        seen = self.watch(1.0)
        self.touch("touchEnd", [])
        moved = seen[-1]["hero"][:2] != start[:2]
        jumped = max(s["hero"][2] for s in seen) > start[2] + 0.05
        self.check("two fingers: the pad and Jump act together", moved and jumped,
                   "hero %s -> %s, highest %.2f" % (start, seen[-1]["hero"],
                                                     max(s["hero"][2] for s in seen)))

        self.touch("touchStart", [(4, (420, 200))])
        for y in range(200, 40, -20):
            self.touch("touchMove", [(4, (420, y))])
        self.touch("touchEnd", [])
        scrolled = b.evaluate("[window.scrollY, document.scrollingElement.scrollTop, "
                              "getComputedStyle(document.getElementById('stage')).touchAction]")
        self.check("the page does not scroll under a finger",
                   scrolled[0] == 0 and scrolled[1] == 0 and scrolled[2] == "none", str(scrolled))

        self.phone(portrait=True)
        time.sleep(0.3)
        overlay = b.evaluate("getComputedStyle(document.getElementById('turn-device')).display")
        self.phone()
        self.check("portrait shows the turn-your-device overlay", overlay != "none", overlay)
        return True

    def step_gamepad(self):
        b = self.browser
        start = self.state()
        b.evaluate("window.__press(12, true)")  # d-pad up
        seen = self.watch(1.0)
        b.evaluate("window.__press(12, false); window.__press(1, true)")  # B: a bomb
        bombs = max(s["bombs"] for s in self.watch(0.4))
        b.evaluate("window.__press(1, false)")
        name = b.evaluate("document.getElementById('pad-name').textContent")
        self.check("a gamepad walks and bombs, and is named",
                   seen[-1]["hero"][:2] != start["hero"][:2] and bombs > start["bombs"] and
                   "Test Pad" in name,
                   "hero %s -> %s, bombs %d -> %d, %r" % (start["hero"], seen[-1]["hero"],
                                                          start["bombs"], bombs, name))
        # The pad hid the controls; a touch brings them back, a key hides them.
        shown = [b.evaluate("window.QuorvaxTouch.shown()")]
        self.touch("touchStart", [(5, self.centre("#canvas"))])
        self.touch("touchEnd", [])
        shown.append(b.evaluate("window.QuorvaxTouch.shown()"))
        b.key("left", True)
        b.key("left", False)
        shown.append(b.evaluate("window.QuorvaxTouch.shown()"))
        self.check("the controls step aside for a pad or a key until the next touch",
                   shown == [False, True, False], "shown after pad, touch, key: %s" % shown)
        # The hero stands on the pad's bomb: its blast costs a life and shakes the phone.
        try:
            b.wait_for("window.__vibrations.length > 0", timeout=10)
        except TimeoutError:
            pass
        shakes = b.evaluate("window.__vibrations")
        self.check("a life lost vibrates the phone", shakes == [200], "%s; %s" % (
            shakes, b.evaluate("window.quorvax.state()")))

    def step_reload(self):
        b = self.browser
        saved = [b.evaluate("QuorvaxSettings.update('sound', { music_volume: 30 })", True),
                 b.evaluate("QuorvaxSettings.update('keys', { jump: ['KeyZ', 'ShiftRight'] })", True)]
        self.check("the game saves what the panel changes", saved == [True, True], str(saved))
        # The game writes in its own loop, and IndexedDB commits after it:
        # the page is reloaded once the stored file holds both.
        before = []
        for what in ("QuorvaxSettings.current.keys.jump[0] === 'KeyZ' && "
                     "QuorvaxSettings.current.sound.music_volume === 30",
                     STORED_SETTINGS + ".then(t => /KeyZ/.test(t) && /music_volume = 30/.test(t))"):
            deadline = time.time() + 10
            while not b.evaluate(what, True) and time.time() < deadline:
                time.sleep(0.1)
            before.append(time.time() < deadline)
        b.reload()
        self.wait_ready()
        kept = b.evaluate("[QuorvaxSettings.current.sound.music_volume, "
                          "QuorvaxSettings.current.keys.jump[0], window.quorvax.volumes()[0]]")
        self.check("a volume and a rebound key survive a reload",
                   kept[0] == 30 and kept[1] == "KeyZ" and abs(kept[2] - 0.3) < 0.01,
                   "%s; before the reload, in the panel and stored: %s" % (kept, before))
        self.start_playing()
        rest = self.landed()
        b.key("z", True)
        top = max(s["hero"][2] for s in self.watch(1.0))
        b.key("z", False)
        self.check("the rebound key jumps", top > rest + 0.05, "height %.2f -> %.2f" % (rest, top))

    def run(self):
        try:
            self.open()
            if self.step_controls():
                self.step_gamepad()
            self.step_reload()
            if self.browser.exceptions:
                self.check("no uncaught exceptions", False, self.browser.exceptions[0])
        finally:
            if self.browser:
                self.browser.close()
            self.site.close()
            shutil.rmtree(self.work, ignore_errors=True)
        return not self.failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--site", required=True)
    parser.add_argument("--shots", help="folder for the phone's screenshot")
    ok = TouchTest(parser.parse_args()).run()
    print("touch: all passed" if ok else "touch: FAILED")
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
