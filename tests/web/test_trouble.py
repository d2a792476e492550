"""The game's page where things go wrong, in a headless Chromium: without
WebGL it says so over the canvas; a game file that answers 404 or arrives
cut off turns the loading bar into a message with a Retry button, and Retry
then starts the game. The page without WebGL throws nothing.
Run: /usr/bin/python3 tests/web/test_trouble.py --site build-web/site [--shots DIR]
"""

import argparse
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402

READY = "!!(window.quorvax && window.quorvax.ready === true)"
PROBLEM = "window.quorvax && window.quorvax.problem"
RETRY_SHOWN = "(() => { const b = document.getElementById('retry'); return !!b && b.offsetParent !== null; })()"
# What the player reads over the canvas.
SHOWN_TEXT = "document.getElementById('loading').innerText"

CASES = [
    # (name, chromium flags, files served wrong until Retry, words the message must hold, Retry offered)
    ("no WebGL", ["--disable-3d-apis"], {}, ("WebGL", "another browser", "hardware acceleration"), False),
    ("quorvax.data answers 404", [], {"/quorvax.data": "404"}, ("could not be loaded", "Try again"), True),
    ("quorvax.wasm arrives cut off", [], {"/quorvax.wasm": "cut"}, ("could not be loaded", "Try again"),
     True),
]


def run_case(args, work, name, flags, faults, words, retry):
    site = cdp.Site(args.site, faults)
    browser = cdp.Browser(os.path.join(work, name.replace(" ", "-")), flags=flags)
    try:
        browser.navigate(site.url + "?scale=full")
        browser.wait_for(PROBLEM, timeout=60)
        text = browser.evaluate(SHOWN_TEXT)
        if args.shots:
            os.makedirs(args.shots, exist_ok=True)
            with open(os.path.join(args.shots, "trouble-%s.png" % name.split()[0].replace(".", "-")),
                      "wb") as f:
                f.write(browser.screenshot_png())
        missing = [w for w in words if w.lower() not in text.lower()]
        offered = browser.evaluate(RETRY_SHOWN)
        thrown = list(browser.exceptions)
        ok = not missing and offered == retry and (retry or not thrown)
        detail = "%r; Retry %s; thrown %s" % (text, "shown" if offered else "not shown", thrown[:2])
        if ok and retry:
            site.faults.clear()
            browser.click_element("#retry")
            browser.wait_for(READY, timeout=60)
            detail += "; after Retry the game runs"
        return ok, detail
    except Exception as e:  # a case that cannot go on is reported, and the next one runs
        return False, "%s: %s" % (type(e).__name__, e)
    finally:
        browser.close()
        site.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--site", required=True)
    parser.add_argument("--shots", help="folder for the screenshots")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="quorvax-trouble-")
    failed = 0
    try:
        for name, flags, faults, words, retry in CASES:
            started = time.time()
            ok, detail = run_case(args, work, name, flags, faults, words, retry)
            print("web: %s: %s (%s, %.1f s)" % (name, "ok" if ok else "FAILED", detail,
                                                 time.time() - started))
            sys.stdout.flush()
            failed += not ok
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("web: the page's trouble cases passed" if not failed else "web: some trouble cases FAILED")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
