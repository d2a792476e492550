'use strict';
// The world's table from the page: each finished game goes into an outbox
// in IndexedDB first, then out with fetch as POST <address>/api/games, and
// leaves the outbox only once the table has answered for it (taken, or
// refused for what it is). A game that cannot be sent (no network, the
// table down, 5xx) waits there for the next start and the next game. The
// game (platform/web/WebPage.cpp) calls open, gameStarted, submit, status.
window.QuorvaxTable = (() => {
  const DB = 'quorvax-outbox';
  const STORE = 'games';
  let base = null;        // the table's address without its last '/'; null while off
  let token = '';         // the running game's start token
  let game = 0;           // counts the games begun, so a late token is not taken
  let statusText = '';
  let sending = false;
  let again = false;

  // The page's own site when the address is empty or names the page's origin.
  function tableBase(url) {
    const trimmed = url.trim().replace(/\/+$/, '');
    if (trimmed === '' || trimmed === window.location.origin) {
      return '';
    }
    return trimmed;
  }

  function setStatus(text) {
    statusText = text;
    const bar = document.getElementById('status');
    if (bar) {
      bar.textContent = text;
    }
  }

  // ---- The outbox: one record per game, its request body, in the order kept ----
  let dbPromise = null;
  function db() {
    if (!dbPromise) {
      dbPromise = new Promise((resolve, reject) => {
        const r = indexedDB.open(DB, 1);
        r.onupgradeneeded = () => r.result.createObjectStore(STORE, { autoIncrement: true });
        r.onsuccess = () => resolve(r.result);
        r.onerror = () => reject(r.error);
      });
    }
    return dbPromise;
  }
  function request(mode, use) {
    return db().then((d) => new Promise((resolve, reject) => {
      const r = use(d.transaction(STORE, mode).objectStore(STORE));
      r.onsuccess = () => resolve(r.result);
      r.onerror = () => reject(r.error);
    }));
  }
  const keep = (body) => request('readwrite', (s) => s.add(body));
  const drop = (key) => request('readwrite', (s) => s.delete(key));
  // The oldest game kept, as { key, body }, or null.
  const oldest = () => request('readonly', (s) => s.openCursor()).then(
    (c) => (c ? { key: c.key, body: c.value } : null));

  // Taken, or refused for good: a 4xx other than a timeout or the rate limit.
  const final = (status) => (status >= 200 && status < 300) ||
    (status >= 400 && status < 500 && status !== 408 && status !== 429);

  function answered(status, text) {
    let answer = {};
    try {
      answer = JSON.parse(text);
    } catch (e) { /* not JSON: the status alone says it */ }
    if (status === 200 || status === 201) {
      setStatus('World rank: ' + answer.rank);
    } else if (final(status)) {
      setStatus('Not counted: ' + (answer.error || 'HTTP ' + status));
    } else {
      setStatus('Not sent (HTTP ' + status + '): kept for later');
    }
  }

  function post(path, body) {
    return fetch(base + path, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body,
    });
  }

  // Sends the outbox's games oldest first, until it is empty or one cannot
  // be sent now; a call while it runs makes it look once more at the end.
  async function send() {
    if (sending) {
      again = true;
      return;
    }
    sending = true;
    try {
      do {
        again = false;
        for (let entry; base !== null && (entry = await oldest()) !== null;) {
          let status;
          let text;
          try {
            const r = await post('/api/games', entry.body);
            status = r.status;
            text = await r.text();
          } catch (e) {
            setStatus('Not sent (no answer from the table): kept for later');
            break;
          }
          if (final(status)) {
            await drop(entry.key);
          }
          answered(status, text);
          if (!final(status)) {
            break;
          }
        }
      } while (again);
    } catch (e) {
      console.error('quorvax: the outbox could not be read: ' + e);
    } finally {
      sending = false;
    }
  }

  return {
    open: (url) => {
      base = tableBase(url);
      send();
    },
    gameStarted: () => {
      const mine = ++game;
      token = '';
      post('/api/tokens', '{}')
        .then((r) => (r.ok ? r.json() : {}))
        .then((answer) => {
          if (mine === game && typeof answer.token === 'string') {
            token = answer.token;
          }
        })
        .catch(() => { /* no token, no harm: the game counts without the live mark */ });
    },
    submit: (body) => {
      ++game;  // a token still on its way belongs to the game that ended
      let withToken = body;
      if (token) {
        const request = JSON.parse(body);
        request.token = token;
        withToken = JSON.stringify(request);
      }
      token = '';
      keep(withToken).then(send, (e) => {
        // Without IndexedDB (a private window may have none) it is sent all the same.
        console.error('quorvax: the outbox could not keep the game: ' + e);
        post('/api/games', withToken).then((r) => r.text().then((t) => answered(r.status, t)),
          () => setStatus('Not sent (no answer from the table)'));
      });
    },
    status: () => statusText,
    // The tests: how many games the outbox holds.
    kept: () => request('readonly', (s) => s.count()),
  };
})();
