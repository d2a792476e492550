"""The page driver itself, against a page of its own: keys arrive with their
codes, values and console lines come back, screenshots hold the page's
pixels, and IndexedDB outlives the browser with the same profile.
Run: /usr/bin/python3 tests/web/test_driver.py"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402

PAGE = """<!doctype html><html><body style="margin:0;background:#d02010">
<canvas id="c" width="64" height="64" tabindex="0" style="background:#10e020"></canvas>
<script>
window.keys = [];
addEventListener('keydown', e => { keys.push(e.keyCode); e.preventDefault(); });
console.log('driver page', 42);
function store(v) {
  return new Promise(ok => { const r = indexedDB.open('t', 1);
    r.onupgradeneeded = () => r.result.createObjectStore('s');
    r.onsuccess = () => { const t = r.result.transaction('s', 'readwrite');
      t.objectStore('s').put(v, 'k'); t.oncomplete = () => ok(true); }; });
}
function load() {
  return new Promise(ok => { const r = indexedDB.open('t', 1);
    r.onupgradeneeded = () => r.result.createObjectStore('s');
    r.onsuccess = () => { const g = r.result.transaction('s').objectStore('s').get('k');
      g.onsuccess = () => ok(g.result === undefined ? null : g.result); }; });
}
</script></body></html>"""


class DriverTest(unittest.TestCase):
    def test_driver(self):
        with tempfile.TemporaryDirectory() as folder:
            site_dir = os.path.join(folder, "site")
            profile = os.path.join(folder, "profile")
            os.makedirs(site_dir)
            with open(os.path.join(site_dir, "index.html"), "w") as f:
                f.write(PAGE)
            site = cdp.Site(site_dir)
            try:
                with cdp.Browser(profile) as browser:
                    browser.navigate(site.url)
                    self.assertEqual(browser.evaluate("1 + 2"), 3)
                    browser.wait_for("document.readyState === 'complete'")
                    self.assertIn("log: driver page 42", browser.console)
                    browser.click(32, 32)
                    for name in ("space", "up", "ctrl", "f1"):
                        browser.press(name)
                    self.assertEqual(browser.evaluate("keys"), [32, 38, 17, 112])
                    shot = browser.screenshot()
                    self.assertEqual((shot.width, shot.height), (320, 180))
                    r, g, b = shot.pixel(200, 100)
                    self.assertTrue(r > 180 and g < 60 and b < 60, (r, g, b))
                    r, g, b = shot.pixel(8, 8)
                    self.assertTrue(g > 180 and r < 60, (r, g, b))
                    self.assertTrue(browser.evaluate("store('kept')", await_promise=True))
                with cdp.Browser(profile) as browser:
                    browser.navigate(site.url)
                    self.assertEqual(browser.evaluate("load()", await_promise=True), "kept")
                    self.assertEqual(browser.exceptions, [])
            finally:
                site.close()


if __name__ == "__main__":
    unittest.main()
