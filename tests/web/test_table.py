"""The page and the world's table, in a headless Chromium against the Linux
quorvax-server on loopback, which serves the page too (one origin).

With the player's name and the world table on, a whole game played in the
page is listed by the server with the score and level the page ended with.
With the server stopped, a finished game stays in the page's IndexedDB
outbox; once the server is back, a reload sends it, once, and a game it
refuses leaves the outbox with the reason. The table's page
lists both games, and its watch link plays one in the page to the state the
page ended it in; a watch address of another site is refused.
Run: /usr/bin/python3 tests/web/test_table.py --site build-web/site --server build/server/quorvax-server
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
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402
from test_page import REPLAYS, parse_script  # noqa: E402

READY = "!!(window.quorvax && window.quorvax.ready === true)"
STATUS = "window.QuorvaxTable.status()"
BAR = "document.getElementById('status').textContent"
NAME = "Page Player"


def without_tick(state):
    return re.sub(r"^(# final )?state tick=\d+ ", "", state.strip())


class Server:
    """quorvax-server on 127.0.0.1 with its table in `data`, serving `site`."""

    def __init__(self, binary, data, site, port=0):
        # Its output goes to a file, which nothing has to keep reading.
        self.log = open(data + ".log", "a+")
        start = self.log.seek(0, os.SEEK_END)
        self.process = subprocess.Popen(
            [binary, "--data", data, "--site", site, "--port", str(port), "--rate", "0"],
            stdout=self.log, stderr=subprocess.STDOUT)
        deadline = time.time() + 20
        m = None
        while m is None and self.process.poll() is None and time.time() < deadline:
            time.sleep(0.05)
            self.log.seek(start)
            m = re.search(r"listening on http://[\d.]+:(\d+)/", self.log.read())
        if not m:
            self.log.seek(start)
            said = self.log.read()
            self.stop()
            raise RuntimeError("quorvax-server did not start: %r" % said)
        self.port = int(m.group(1))
        self.url = "http://127.0.0.1:%d" % self.port

    def games(self):
        with urllib.request.urlopen(self.url + "/api/games?limit=50") as r:
            return json.load(r)["games"]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            cdp.wait_or_kill(self.process)
        self.log.close()


class TableTest(cdp.Checks):
    def __init__(self, args):
        self.args = args
        self.failures = []
        self.work = tempfile.mkdtemp(prefix="quorvax-table-")
        self.data = os.path.join(self.work, "data")
        self.server = None
        self.browser = None

    def start_server(self, port=0):
        self.server = Server(self.args.server, self.data, self.args.site, port)

    def open(self, path):
        self.browser.navigate(self.server.url + path)
        self.browser.wait_for(READY, timeout=60)

    def kept(self):
        """How many games the page's outbox holds."""
        return self.browser.evaluate("window.QuorvaxTable.kept()", await_promise=True)

    def state(self):
        return self.browser.evaluate("window.quorvax.state()")

    def tick(self):
        return int(self.state().split(" ")[1][5:])

    def play(self, script):
        """Presses a script's keys at their ticks (shifted to start now), the
        clock held at each; then waits for the game's end and the table's word."""
        b = self.browser
        b.evaluate("window.quorvax.holdAfter(0)")
        offset = self.tick() + 5
        for tick, verb, key in parse_script(os.path.join(REPLAYS, script)):
            b.evaluate("window.quorvax.holdAfter(%d)" % (tick + offset - 1))
            b.wait_for("parseInt(window.quorvax.state().split(' ')[1].slice(5)) >= %d"
                       % (tick + offset - 1), timeout=20, interval=0.01)
            b.key(key, verb == "down")
        b.evaluate("window.quorvax.holdAfter(-1)")
        deadline = time.time() + 40
        end = None  # the state as the game ended, before the title comes back
        while not (b.evaluate(STATUS) and end):
            state = self.state()
            if end is None and " screen=scores " in state and " lives=0 " in state:
                end = state
            if b.evaluate("window.quorvax.dialog()"):
                # A place in the local table: its name first, then the game ends.
                b.evaluate("document.getElementById('name-input').focus()")
                b.type_text("Ada")
                b.evaluate("[...document.querySelectorAll('dialog.quorvax-dialog[open] button')]"
                           ".find(e => e.textContent.trim() === 'OK').click()")
            if time.time() > deadline:
                raise TimeoutError("no word from the table after the game: %s" % self.state())
            time.sleep(0.05)
        return end, b.evaluate(STATUS)

    def step_submit(self):
        """A whole game sent as it ends, verified to the page's own end."""
        self.start_server()
        self.open("/play/")
        self.browser.evaluate("QuorvaxSettings.update('player', {name: %s, leaderboard: true, "
                              "leaderboard_url: ''})" % json.dumps(NAME), await_promise=True)
        self.open("/play/")  # the settings count from the program's next start
        end, status = self.play("whole_game.txt")
        games = self.server.games()
        m = re.search(r" level=(\d+) lives=0 score=(\d+) ", end)
        # Its start token came back with it: marked as played live.
        listed = [(g["name"], g["score"], g["level"], g["system"], g["marks"]) for g in games]
        return self.check("a game played in the page is listed with the page's own score",
                          m is not None and status == "World rank: 1" and
                          listed == [(NAME, int(m.group(2)), int(m.group(1)), "web", ["live"])],
                          "page %r, world rank line %r, the table %s" % (end, status, listed))

    def step_outbox(self):
        """The server down: the game is kept; back: a reload sends it, once."""
        port = self.server.port
        self.open("/play/")
        self.server.stop()
        end, status = self.play("bombs_and_lives.txt")
        self.ended = end
        kept = self.kept()
        self.check("a game finished with the server down stays in the outbox",
                   kept == 1 and status.startswith("Not sent (") and status.endswith("kept for later"),
                   "%s kept, world rank line %r" % (kept, status))
        self.start_server(port)
        self.browser.reload()
        self.browser.wait_for(READY, timeout=60)
        deadline = time.time() + 20
        while self.kept() != 0 and time.time() < deadline:
            time.sleep(0.2)
        games = self.server.games()
        return self.check("once the server is back, a reload sends it, once",
                          sorted(g["score"] for g in games) == [0, 75]
                          and self.browser.evaluate(STATUS).startswith("World rank: "),
                          "the table %s, world rank line %r"
                          % ([(g["name"], g["score"]) for g in games], self.browser.evaluate(STATUS)))

    def step_refused_game(self):
        """A game the table refuses for what it is leaves the outbox, with the reason."""
        b = self.browser
        b.evaluate("window.QuorvaxTable.submit(JSON.stringify({name: %s, recording: 'no game'}))"
                   % json.dumps(NAME))
        said = b.wait_for("/^Not counted: /.test(%s) && %s" % (STATUS, STATUS), timeout=10)
        kept = self.kept()
        return self.check("a refused game leaves the outbox with its reason", kept == 0,
                          "%s kept, world rank line %r" % (kept, said))

    def step_watch(self):
        """The table's page lists both; its watch link plays the kept game to its end."""
        b = self.browser
        b.navigate(self.server.url + "/")
        rows = b.evaluate("[...document.querySelectorAll('tr')].filter(r => r.textContent.includes(%s))"
                          ".map(r => [r.querySelector('.score').textContent, "
                          "r.querySelector('a[href*=\"watch=\"]').getAttribute('href')])" % json.dumps(NAME))
        links = {int(score): href for score, href in rows}
        if not self.check("the table's page lists both games", sorted(links) == [0, 75], "rows %s" % rows):
            return False
        with urllib.request.urlopen(self.server.url + links[0].split("watch=")[1]) as r:
            final = [l for l in r.read().decode().splitlines() if l.startswith("# final ")]
        self.open(links[0])
        played = b.wait_for("/^(Played|Playback) /.test(%s) && %s" % (BAR, BAR), timeout=60)
        return self.check("its watch link plays the game to the state the page ended it in",
                          played == "Played to the end: the game ended as it was recorded"
                          and final and without_tick(final[0]) == without_tick(self.ended),
                          "%r; recorded end %r, the page's %r" % (played, final, self.ended))

    def step_refused(self):
        self.open("/play/?watch=https://example.com/api/games/1/recording")
        bar = self.browser.wait_for(BAR, timeout=10)
        return self.check("a watch address of another site is refused", bar.startswith("Not played: "),
                          repr(bar))

    def run(self):
        try:
            self.browser = cdp.Browser(os.path.join(self.work, "profile"))
            self.run_steps((self.step_submit, self.step_outbox, self.step_refused_game,
                            self.step_watch, self.step_refused))
        finally:
            if self.browser is not None:
                self.browser.close()
            if self.server is not None:
                self.server.stop()
            shutil.rmtree(self.work, ignore_errors=True)
        return not self.failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--site", required=True)
    parser.add_argument("--server", required=True, help="the Linux quorvax-server")
    args = parser.parse_args()
    started = time.time()
    ok = TableTest(args).run()
    print("web: the page and the table: %s (%.0f s)" % ("all passed" if ok else "some checks FAILED",
                                                        time.time() - started))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
