"""The game's page in a headless Chromium, played as a player would.

One game, step by step: the page loads and shows the title picture; a
recording starts; the keys of the pinned whole-game replay are pressed at
their ticks (shifted to start now), so Space and the arrows play, the
ambush's bombs go off with their sound, and the last life lost opens the
name dialog; a typed name lands in "scores.dat" in IndexedDB, byte for byte
the pinned table, and is still there when the browser comes back with the
same profile; the page's recording checks with the Linux replay tool.

It also measures the site's size, the first load and the frame time.
Run: /usr/bin/python3 tests/web/test_page.py --site build-web/site
         --replay build/game/quorvax-replay --game-dir build/game [--shots DIR]
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402

REPLAYS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "replays")
STATE = re.compile(r"^state tick=(\d+) screen=(\w+) level=(\d+) lives=(\d+) score=(\d+) "
                   r"enemies=(\d+) bombs=(\d+) hero=([-\d.]+),([-\d.]+),([-\d.]+)")
# IDBFS keeps a mount's files in the IndexedDB database named after the
# mount point, store FILE_DATA, keyed by path, the bytes in "contents".
READ_SCORES = """new Promise((ok, fail) => {
  const r = indexedDB.open('/persistent');
  r.onerror = () => ok(null);
  r.onsuccess = () => {
    const db = r.result;
    if (!db.objectStoreNames.contains('FILE_DATA')) { ok(null); return; }
    const g = db.transaction('FILE_DATA').objectStore('FILE_DATA').get('/persistent/scores.dat');
    g.onsuccess = () => ok(g.result && g.result.contents ? Array.from(g.result.contents) : null);
    g.onerror = () => ok(null);
  };
})"""
# The interval between animation frames, over two seconds, in milliseconds.
FRAME_TIMES = """new Promise(ok => {
  const times = [];
  const step = t => { times.push(t); if (t - times[0] < 2000) requestAnimationFrame(step);
    else { const d = times.slice(1).map((v, i) => v - times[i]).sort((a, b) => a - b);
           ok({mean: (times[times.length - 1] - times[0]) / d.length,
               p95: d[Math.floor(d.length * 0.95)], frames: d.length}); } };
  requestAnimationFrame(step);
})"""


# The page's frame against the Linux replay tool's: the same renderer, so
# only the rasterizers (SwiftShader, Mesa) differ, at a few edge pixels
# (a playing frame at 1280x689: mean 0.26, 0.01% of the pixels).
THRESHOLD = 16  # per-channel difference that counts a pixel as differing
MAX_MEAN = 0.6
MAX_SHARE = 0.001


def read_ppm(path):
    """A binary PPM (quorvax-replay --shot) as a cdp.Image, or None."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return None
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not m:
        return None
    width, height = int(m.group(1)), int(m.group(2))
    return cdp.Image(width, height, bytearray(data[m.end():m.end() + 3 * width * height]))


def picture_difference(a, b):
    """(mean per-channel difference, share of pixels with a channel off by more than THRESHOLD)."""
    total, differing = 0, 0
    for i in range(0, len(a.rgb), 3):
        d = max(abs(a.rgb[i] - b.rgb[i]), abs(a.rgb[i + 1] - b.rgb[i + 1]), abs(a.rgb[i + 2] - b.rgb[i + 2]))
        total += abs(a.rgb[i] - b.rgb[i]) + abs(a.rgb[i + 1] - b.rgb[i + 1]) + abs(a.rgb[i + 2] - b.rgb[i + 2])
        differing += d > THRESHOLD
    return total / len(a.rgb), differing / (len(a.rgb) // 3)


def parse_script(path):
    """The key events of a replay script up to its game's end (its first typed
    text, or Escape, which leaves the high-score screen): [(tick, verb, key)]."""
    events = []
    with open(path) as f:
        for line in f:
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[1] == "text" or words[2] == "escape":
                break
            events.append((int(words[0]), words[1], words[2]))
    return events


class PageTest(cdp.Checks):
    def __init__(self, args):
        self.args = args
        self.failures = []
        self.results = {}
        self.work = tempfile.mkdtemp(prefix="quorvax-web-")
        self.profile = os.path.join(self.work, "profile")
        self.site = cdp.Site(args.site)
        self.browser = None
        self.page_errors = []  # console.error lines and uncaught exceptions of every browser run

    def close_browser(self):
        """Closes the browser, keeping what went wrong in its page."""
        if self.browser is not None:
            self.page_errors += [c for c in self.browser.console if c.startswith("error:")]
            self.page_errors += self.browser.exceptions
            self.browser.close()
            self.browser = None

    def state(self):
        line = self.browser.evaluate("window.quorvax.state()") or ""
        m = STATE.match(line)
        if not m:
            raise RuntimeError("not a state line: %r" % line)
        return {"line": line, "tick": int(m.group(1)), "screen": m.group(2),
                "lives": int(m.group(4)), "score": int(m.group(5)),
                "hero": tuple(float(m.group(i)) for i in (8, 9, 10))}

    def save_shot(self, name):
        if self.args.shots:
            os.makedirs(self.args.shots, exist_ok=True)
            with open(os.path.join(self.args.shots, name), "wb") as f:
                f.write(self.browser.screenshot_png())

    def canvas_rect(self):
        """The canvas in CSS pixels, and CSS pixels per pixel of its picture."""
        r = self.browser.evaluate("(() => { const c = document.getElementById('canvas'); "
                                  "const r = c.getBoundingClientRect(); "
                                  "return [r.x, r.y, r.width, r.height, c.width]; })()")
        return r[:4], r[2] / r[4]

    def open_page(self):
        self.browser = cdp.Browser(self.profile)
        started = time.time()
        self.browser.navigate(self.site.url + "?scale=full")
        deadline = started + 60
        # An error thrown while the page starts ends the wait: it would not get ready.
        while not self.browser.evaluate("!!(window.quorvax && window.quorvax.ready === true)"):
            if self.browser.exceptions:
                raise RuntimeError("the page threw while starting: " + self.browser.exceptions[0])
            if time.time() > deadline:
                raise TimeoutError("the page was not ready after 60 s")
            time.sleep(0.05)
        return time.time() - started

    # The steps; each returns False when the ones after it cannot run.
    def step_title(self):
        size = sum(os.path.getsize(os.path.join(d, f))
                   for d, _, files in os.walk(self.args.site) for f in files)
        load = self.open_page()
        # When the last of the page's files had arrived, from the start of the navigation.
        files = self.browser.evaluate(
            "Math.max(0, ...performance.getEntriesByType('resource').map(e => e.responseEnd)) / 1000")
        self.results.update(site_bytes=size, files_loaded_s=files, first_frame_s=load)
        print("web: the site is %.2f MB; first load: its files in %.2f s, the first frame at %.2f s"
              % (size / 1e6, files, load))
        st = self.state()
        shot = self.browser.screenshot()
        (x, y, w, h), _ = self.canvas_rect()
        pixels = shot.region(int(x / 4), int(y / 4), int((x + w) / 4), int((y + h) / 4))
        colours = len(set(pixels))
        # A picture, not text on a plain ground: no colour covers most of it.
        commonest = max(pixels.count(p) for p in set(pixels)) / len(pixels)
        self.save_shot("title.png")
        hint = self.browser.evaluate(
            "(() => { const e = document.getElementById('start-hint'); return e && "
            "e.offsetParent !== null ? e.textContent : null; })()") or ""
        keys_help = self.browser.evaluate(
            "(() => { const e = document.getElementById('keys-help'); return e ? e.textContent : ''; })()")
        loading = self.browser.evaluate(
            "(() => { const e = document.getElementById('loading'); return !e || e.offsetParent === null; })()")
        # Without the picture the rest can still be played and checked.
        self.check("the page loads and shows the title picture",
                          st["screen"] == "title" and colours > 200 and commonest < 0.5 and
                          "click or press a key to start" in hint.lower() and keys_help.strip() != ""
                          and loading,
                          "screen=%s, %d colours, the commonest on %.0f%%, start hint %r, "
                          "keys help %r, loading bar hidden %s"
                          % (st["screen"], colours, 100 * commonest, hint, keys_help, loading))
        return True

    def tick(self):
        return int(self.browser.evaluate("window.quorvax.state().split(' ')[1].slice(5)"))

    def play_script(self, events):
        """Starts a new recorded game and presses the keys of the script at their
        ticks. Returns the late keys' ticks and what the effects did at the blast."""
        b = self.browser
        b.click_element("#record")
        b.click_element("#canvas")
        # The click starts the sound, and the song is decoded first: a moment
        # of full load in which a tick could wait.
        try:
            b.wait_for("window.quorvax.musicPlaying() && window.quorvax.audioState() === 'running'",
                       timeout=10)
            self.song_after_key = True
        except TimeoutError:
            self.song_after_key = False
        time.sleep(0.5)
        # The clock is held at each key's tick while the key goes in, so that
        # it lands at its tick however long the browser takes for a frame
        # (SwiftShader draws a playing frame in some 60 ms: two ticks a frame).
        b.evaluate("window.quorvax.holdAfter(0)")
        # The title ticks before the first key change nothing in the world.
        offset = self.tick() + 5
        self.before_walk = self.state()["hero"]
        self.walked = None  # where the first arrow keys took the hero
        self.playing = None
        late = []
        sounds = None  # effects started before the ambush goes off, then after it
        for tick, verb, key in events:
            due = tick + offset - 1
            b.evaluate("window.quorvax.holdAfter(%d)" % due)
            while True:
                now = self.tick()
                if now >= due:
                    break
                if self.walked is None and now >= 40 + offset:
                    self.walked = self.state()["hero"]
                if sounds is None and now >= 580 + offset:
                    sounds = [b.evaluate("window.quorvax.soundsStarted")]
                elif sounds is not None and len(sounds) == 1 and now >= 597 + offset:
                    sounds += [b.evaluate("window.quorvax.soundsStarted"),
                               b.evaluate("window.quorvax.audioState()"),
                               b.evaluate("window.quorvax.musicPlaying()")]
                # Looking at the picture takes a moment: only where the next key is far.
                if self.playing is None and now > 600 + offset and due - now > 15:
                    self.playing = self.look_at_play(due)
                time.sleep(0.01)
            if now > due:
                late.append(tick)
            b.key(key, verb == "down")
        b.evaluate("window.quorvax.holdAfter(-1)")
        return late, sounds

    def stop_recording(self):
        """Stops the recording (which ends its game); returns the recording's text."""
        b = self.browser
        b.evaluate("window.confirm = () => true")  # ending a game in progress is asked first
        b.click_element("#record")
        # Stopping ends the recorded game as leaving the program does: its final state.
        try:
            b.wait_for("(window.quorvax.recording() || '').includes('\\n# final ')", timeout=5)
        except TimeoutError:
            pass
        return b.evaluate("window.quorvax.recording()") or ""

    def step_song(self):
        """The song decodes in the browser to exactly the song's length, so that
        looping it leaves no gap, and starts with sound, not silence."""
        if not self.args.song_length_ms:
            return True
        with open(self.args.song_length_ms) as f:
            want = int(f.read()) * 48
        got = self.browser.evaluate(
            "fetch('song.ogg').then(r => r.arrayBuffer()).then(b => "
            "new OfflineAudioContext(2, 48000, 48000).decodeAudioData(b)).then(a => "
            "[a.length, a.sampleRate, Math.max(...a.getChannelData(0).slice(0, 4800).map(Math.abs))])",
            await_promise=True)
        self.check("the song loops without a gap", got[0] == want and got[1] == 48000 and got[2] > 0.01,
                   "%d samples at %d Hz (the song's length: %d), loudest of the first 0.1 s %.3f"
                   % (got[0], got[1], want, got[2]))
        return True

    def step_play(self):
        """Plays the whole game until the name dialog opens, once: with the clock
        held at each key, a game that goes otherwise is a fault of the page."""
        events = parse_script(os.path.join(REPLAYS, "whole_game.txt"))
        late, sounds = self.play_script(events)
        self.results["late_keys"] = len(late)
        self.check("every key lands at its tick", not late, "late at ticks %s" % late[:5])
        try:
            self.dialog_title = self.browser.wait_for("window.quorvax.dialog()", timeout=15)
        except TimeoutError:
            self.dialog_title = None
            self.check("the game goes as on Linux", False, self.divergence(self.stop_recording()))
        self.check("Space and the arrows play", bool(self.playing and self.playing[0]),
                   self.playing[1] if self.playing else "the game did not get there")
        self.check("the song plays after the first click", self.song_after_key)
        if sounds is None or len(sounds) < 4:
            self.check("a bomb explodes with its sound", False, "the game did not get there")
        else:
            # What the audio graph carried of the effects started at the blast.
            peak = max(self.browser.evaluate("window.quorvax.effectPeaks()")[sounds[0]:sounds[1]] or [0])
            self.check("a bomb explodes with its sound",
                       sounds[1] > sounds[0] and sounds[2] == "running" and peak > 0.05,
                       "effects started %d -> %d around the blast, audio %s, music playing %s, "
                       "loudest sample heard %.3f" % (tuple(sounds) + (peak,)))
        return True

    def linux_replay(self, script, options):
        """Plays a script with the Linux replay tool in a fresh copy of the
        game's files: (the run, that folder)."""
        game = tempfile.mkdtemp(dir=self.work)
        for name in os.listdir(self.args.game_dir):
            if name.endswith((".bmp", ".jpg", ".wav", ".MID")):
                shutil.copy(os.path.join(self.args.game_dir, name), game)
        with open(os.path.join(game, "script.txt"), "w") as f:
            f.write(script)
        run = subprocess.run([os.path.abspath(self.args.replay)] + options + ["--script", "script.txt"],
                             cwd=game, capture_output=True, text=True)
        return run, game

    def replay_states(self, script):
        """{tick: state line without its tick} of a script played by the Linux replay tool."""
        run, _ = self.linux_replay(script, ["--headless", "--state-every", "1"])
        states = {}
        for line in run.stdout.splitlines():
            m = re.match(r"^state tick=(\d+) (.*)$", line)
            if m:
                states[int(m.group(1))] = m.group(2)
        return states

    def divergence(self, recording):
        """Where the page's game (its recording, replayed) left the script's, in words."""
        with open(os.path.join(REPLAYS, "whole_game.txt")) as f:
            script = f.read()
        keys = [int(l.split()[0]) for l in recording.splitlines() if l[:1].isdigit()]
        if not keys:
            return "the page recorded no keys"
        offset = keys[0] - parse_script(os.path.join(REPLAYS, "whole_game.txt"))[0][0]
        page, linux = self.replay_states(recording), self.replay_states(script)
        for tick in sorted(linux):
            if page.get(tick + offset) != linux[tick]:
                return ("left the Linux replay's state at the script's tick %d (the page's %d): "
                        "page %r, Linux %r" % (tick, tick + offset, page.get(tick + offset), linux[tick]))
        return "the states agree with the Linux replay's: %s" % self.state()["line"]

    def look_at_play(self, due):
        """(whether the game plays as it should look, the details): the canvas
        at a held tick against the Linux replay tool's frame of that tick,
        drawn by the same renderer at the same size."""
        b = self.browser
        held = self.tick() + 2
        b.evaluate("window.quorvax.holdAfter(%d)" % held)
        # Two ticks to a slow frame may pass the tick asked for: the clock stands
        # at the first tick at or after it, and that tick is the one compared.
        b.wait_for("parseInt(window.quorvax.state().split(' ')[1].slice(5)) >= %d" % held, timeout=10)
        time.sleep(0.1)
        held = self.tick()
        time.sleep(0.3)  # frames at the held tick: the blend towards it is complete
        st = self.state()
        moved = self.walked is not None and self.walked != self.before_walk
        (x, y, w, h), _ = self.canvas_rect()
        page = b.screenshot_region(x, y, w, h)
        self.save_shot("playing.png")
        run, game = self.linux_replay(b.evaluate("window.quorvax.recording()"),
                                      ["--renderer", "gles2", "--size", "%dx%d" % (page.width, page.height),
                                       "--ticks", str(held), "--shot", "%d:linux.ppm" % held])
        b.evaluate("window.quorvax.holdAfter(%d)" % due)
        linux = read_ppm(os.path.join(game, "linux.ppm"))
        if linux is None or (linux.width, linux.height) != (page.width, page.height):
            return False, "no Linux frame of tick %d to compare with: %s" % (held, run.stderr.strip())
        mean, share = picture_difference(page, linux)
        started = b.evaluate("(() => { const e = document.getElementById('start-hint'); "
                             "return !e || e.offsetParent === null; })()")
        return (st["screen"] == "playing" and moved and mean < MAX_MEAN and share < MAX_SHARE and started,
                "hero %s -> %s; tick %d against the Linux replay's frame at %dx%d: mean difference "
                "%.2f, %.2f%% of the pixels differ by more than %d; start hint gone %s"
                % (self.before_walk, self.walked, held, page.width, page.height, mean, 100 * share,
                   THRESHOLD, started))

    def step_name_dialog(self):
        b = self.browser
        title = self.dialog_title
        if not title:
            return self.check("losing all lives opens the name dialog", False, self.state()["line"])
        has_input = b.evaluate("!!document.querySelector('dialog.quorvax-dialog[open] #name-input')")
        self.save_shot("name-dialog.png")
        if not self.check("losing all lives opens the name dialog", has_input,
                          "dialog %r, name field %s" % (title, has_input)):
            return False
        b.evaluate("(() => { const i = document.getElementById('name-input'); i.focus(); i.select(); })()")
        b.type_text("Ada Lovelace")
        b.evaluate("(() => { for (const e of document.querySelectorAll('dialog.quorvax-dialog[open] button'))"
                   " if (e.textContent.trim() === 'OK') { e.click(); return; } })()")
        b.wait_for("window.quorvax.dialog() === null", timeout=5)
        # Before the page is ever hidden or left: the dialog's close saves.
        self.scores_kept("closing the name dialog saves the table (scores.dat in IndexedDB)")
        return True

    def step_recording(self):
        b = self.browser
        b.wait_for("window.quorvax.state().includes('screen=scores')", timeout=5)
        time.sleep(0.5)
        text = self.stop_recording()
        path = os.path.join(self.work, "recording.txt")
        with open(path, "w") as f:
            f.write(text)
        if self.args.shots:
            shutil.copy(path, os.path.join(self.args.shots, "recording.txt"))
        game = os.path.join(self.work, "game")
        os.makedirs(game)
        for name in os.listdir(self.args.game_dir):
            if name.endswith((".bmp", ".jpg", ".wav", ".MID")):
                shutil.copy(os.path.join(self.args.game_dir, name), game)
        run = subprocess.run([os.path.abspath(self.args.replay), "--headless", "--check",
                              "--script", path], cwd=game, capture_output=True, text=True)
        last = [l for l in run.stdout.splitlines() if l.startswith(("check:", "-", "+"))]
        checked = self.check("a recording made in the page checks on Linux",
                             run.returncode == 0 and "check: the same final state" in run.stdout,
                             "; ".join(last) or run.stderr.strip())
        verifier = os.path.join(os.path.dirname(os.path.abspath(self.args.replay)), "quorvax-verify")
        verified = subprocess.run([verifier, path], capture_output=True, text=True)
        return self.check("the leaderboard's verifier takes the page's game",
                          verified.returncode == 0 and " system=web\n" in verified.stdout,
                          verified.stdout.strip() or verified.stderr.strip()) and checked

    def step_playback(self):
        """The page's own recording played back in the page: no warning about
        other game files, the recorded end, the player's table left alone."""
        b = self.browser
        before = b.evaluate(READ_SCORES, await_promise=True)
        document = b.call("DOM.getDocument")["root"]["nodeId"]
        field = b.call("DOM.querySelector", {"nodeId": document, "selector": "#play-file"})["nodeId"]
        b.call("DOM.setFileInputFiles", {"files": [os.path.join(self.work, "recording.txt")],
                                         "nodeId": field})
        captions, status = set(), ""
        deadline = time.time() + 240
        while not status.startswith(("Played", "Playback")) and time.time() < deadline:
            captions.add(b.evaluate("window.quorvax.dialog()"))
            status = b.evaluate("document.getElementById('status').textContent")
            time.sleep(0.2)
        time.sleep(0.5)
        after = b.evaluate(READ_SCORES, await_promise=True)
        return self.check("the recording plays back in the page as recorded, without a warning",
                          status == "Played to the end: the game ended as it was recorded"
                          and "Playback" not in captions and after == before,
                          "status %r, dialogs %s, scores.dat %s" % (status, sorted(c for c in captions if c),
                                                                    "unchanged" if after == before else "changed"))

    def scores_kept(self, what):
        """Waits a moment for scores.dat in IndexedDB to be the pinned table."""
        with open(os.path.join(REPLAYS, "whole_game.scores"), "rb") as f:
            want = list(f.read())
        deadline = time.time() + 5
        got = None
        while got != want and time.time() < deadline:
            got = self.browser.evaluate(READ_SCORES, await_promise=True)
            time.sleep(0.1)
        return self.check(what, got == want, "scores.dat %r" % (bytes(got) if got else None))

    def table_loaded(self, what):
        """Whether the running game's own table (what its high-score screen
        shows) is the pinned one: the page read the saved file back."""
        with open(os.path.join(REPLAYS, "whole_game.scores"), "rb") as f:
            want = f.read().decode("latin-1").replace("\r", "").splitlines()
        got = (self.browser.evaluate("window.quorvax.scores()") or "").splitlines()
        return self.check(what, got == want, "the game's table %r" % got)

    def step_reload(self):
        self.browser.reload()
        self.browser.wait_for("window.quorvax && window.quorvax.ready === true", timeout=60)
        self.table_loaded("after a reload the game's table holds the typed name")
        self.close_browser()
        self.open_page()
        return self.table_loaded("the name is still there after the browser comes back")

    def step_frame_time(self):
        """On the title, then playing freely (no held clock: every frame a new picture)."""
        b = self.browser
        for screen, key in (("title", "frame_ms"), ("playing", "playing_frame_ms")):
            if screen == "playing":
                b.click_element("#canvas")
                b.press("space")
                b.wait_for("window.quorvax.state().includes('screen=playing')", timeout=5)
                time.sleep(0.5)
            times = b.evaluate(FRAME_TIMES, await_promise=True)
            self.results[key] = times
            print("web: frame time at %dx%d, %s: mean %.1f ms, 95th percentile %.1f ms over %d frames"
                  % (b.width, b.height, screen, times["mean"], times["p95"], times["frames"]))
        # At half the render scale the game draws a quarter of the pixels,
        # scaled up by the page; the screenshot below is named for it.
        full = b.evaluate("(c => [c.width, c.height])(document.getElementById('canvas'))")
        b.evaluate("window.quorvax.setRenderScale(0.5)")
        time.sleep(0.3)
        half = b.evaluate("(c => [c.width, c.height])(document.getElementById('canvas'))")
        times = b.evaluate(FRAME_TIMES, await_promise=True)
        self.results["playing_half_scale_frame_ms"] = times
        print("web: frame time at %dx%d drawn at %dx%d, playing: mean %.1f ms, 95th percentile %.1f ms"
              % (b.width, b.height, half[0], half[1], times["mean"], times["p95"]))
        return self.check("half the render scale draws half the canvas's size",
                          half == [(v + 1) // 2 for v in full], "%s -> %s" % (full, half))

    def step_screenshot(self):
        """F12 while playing (at half the render scale): the picture downloads
        as a PNG named as on the desktop, with the scale, and the game plays
        on. F5 and F11 stay the browser's."""
        b = self.browser
        folder = os.path.join(self.work, "downloads")
        os.makedirs(folder)
        b.call("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": folder})
        before = self.tick()
        b.press("f12")
        try:
            b.wait_for("window.quorvax.savedFiles().length > 0", timeout=10)
        except TimeoutError:
            pass
        names = b.evaluate("window.quorvax.savedFiles()")
        path = os.path.join(folder, names[0]) if names else ""
        deadline = time.time() + 10
        while names and not os.path.exists(path) and time.time() < deadline:
            time.sleep(0.1)
        with open(path, "rb") if os.path.exists(path) else open(os.devnull, "rb") as f:
            magic = f.read(8)
        time.sleep(0.5)
        after = self.tick()
        self.check("F12 downloads the picture, named for its render scale, and the game plays on",
                   len(names) == 1 and re.match(r"^quorvax-\d{8}-\d{6}-scale50\.png$", names[0]) is not None
                   and magic == b"\x89PNG\r\n\x1a\n" and after > before,
                   "downloads %s, a PNG: %s, ticks %d -> %d" % (names, magic[:4] == b"\x89PNG", before, after))
        # The browser's own keys: the page leaves them alone.
        kept = b.evaluate("[116, 122].map(k => { const e = new KeyboardEvent('keydown', "
                          "{keyCode: k, cancelable: true, bubbles: true}); "
                          "window.dispatchEvent(e); return !e.defaultPrevented; })")
        self.check("F5 and F11 stay the browser's", kept == [True, True], "left alone: %s" % kept)
        return True

    def run(self):
        try:
            self.run_steps((self.step_title, self.step_song, self.step_play, self.step_name_dialog,
                            self.step_recording, self.step_playback, self.step_reload,
                            self.step_frame_time, self.step_screenshot))
            self.close_browser()
            self.check("no console errors or uncaught exceptions in the page", not self.page_errors,
                       "; ".join(self.page_errors[:3]))
        finally:
            self.close_browser()
            self.site.close()
            shutil.rmtree(self.work, ignore_errors=True)
        if self.args.results:
            with open(self.args.results, "w") as f:
                json.dump(self.results, f, indent=1)
        return not self.failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--site", required=True)
    parser.add_argument("--replay", required=True, help="the Linux quorvax-replay")
    parser.add_argument("--game-dir", required=True, help="the Linux game's files")
    parser.add_argument("--shots", help="folder for the screenshots and the recording")
    parser.add_argument("--results", help="file for the measured numbers (JSON)")
    parser.add_argument("--song-length-ms", help="file holding the song's length in milliseconds")
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.site, "index.html")):
        print("web: %s has no index.html: the page is not built" % args.site)
        return 1
    ok = PageTest(args).run()
    print("web: all passed" if ok else "web: some checks FAILED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
