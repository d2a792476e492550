'use strict';
// Touch controls for phones and tablets: a four-way pad under the left
// thumb, Jump and Bomb under the right, small menu and mute buttons. Every
// finger is followed by its own identifier; a press shorter than a tick is
// held until the next tick has seen it. The picture of a title screen
// takes a tap as Space.
window.QuorvaxTouch = (() => {
  const TICK_MS = 40;
  const HOLD_MS = TICK_MS + 20;  // a tap stays down past one whole tick
  const GIVE_UP_MS = 2000;       // ... unless the game stands still (a pause, a hidden page)
  const stage = document.getElementById('stage');
  const root = document.createElement('div');
  root.id = 'touch';
  root.hidden = true;
  root.innerHTML =
    '<div class="pad">' +
    '<button data-action="forward" aria-label="Forward">&#9650;</button>' +
    '<button data-action="turn_left" aria-label="Turn left">&#9664;</button>' +
    '<button data-action="turn_right" aria-label="Turn right">&#9654;</button>' +
    '<button data-action="back" aria-label="Back">&#9660;</button></div>' +
    '<div class="act"><button data-action="bomb">Bomb</button>' +
    '<button data-action="jump">Jump</button></div>' +
    '<div class="small"><button data-do="menu" aria-label="Settings">&#9776;</button>' +
    '<button data-do="mute" aria-label="Mute">M</button></div>';
  stage.appendChild(root);
  const overlay = document.createElement('div');
  overlay.id = 'turn-device';
  overlay.textContent = 'Turn your device';
  document.body.appendChild(overlay);

  let otherInputAt = -Infinity;  // a key or a pad was used: the controls step aside
  const fingers = new Map();     // touch identifier -> control element (or the canvas)
  const pressed = new Map();     // control -> { count, downAt, vk }
  let firstTapDone = false;

  const running = () => window.quorvax && window.quorvax.ready && window.quorvax.state() !== '';
  const settings = () => window.QuorvaxSettings && window.QuorvaxSettings.current;

  function wanted() {
    const s = settings();
    const mode = s ? s.touch.mode : 'auto';
    if (mode === 'off') {
      return false;
    }
    const touchDevice = navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches;
    return mode === 'on' || (touchDevice && otherInputAt < lastTouchAt);
  }
  let lastTouchAt = 0;

  function layout() {
    const on = wanted();
    root.hidden = !on;
    document.body.classList.toggle('touch-on', on);
    const s = settings();
    root.classList.toggle('left-handed', !!(s && s.touch.left_handed));
    root.style.setProperty('--touch-scale', s ? s.touch.size / 100 : 1);
  }

  function send(vk, down) {
    if (running()) {
      Module._quorvax_key(down ? 1 : 0, vk, 0, 0, 0);
    }
  }

  function gameKeyOf(control) {
    if (control === 'canvas') {
      return 32;  // Space: the title screens' start
    }
    const action = control.dataset && control.dataset.action;
    return action ? window.QuorvaxSettings.gameKey(action) : 0;
  }

  function press(control) {
    const p = pressed.get(control);
    if (p) {
      p.count++;
      return;
    }
    const vk = gameKeyOf(control);
    pressed.set(control, { count: 1, downAt: performance.now(), downTick: tickNow(), vk });
    if (control !== 'canvas') {
      control.classList.add('down');
    }
    if (vk) {
      send(vk, true);
    }
  }

  function release(control) {
    const p = pressed.get(control);
    if (!p || --p.count > 0) {
      return;
    }
    pressed.delete(control);
    if (control !== 'canvas') {
      control.classList.remove('down');
    }
    // A quick tap is let go only once a tick has seen it: the game's own
    // count of ticks has moved on since the press (a slow frame may run two
    // ticks or none), or, where the game stands still, after a while.
    if (!p.vk) {
      return;
    }
    const letGo = () => {
      const waited = performance.now() - p.downAt;
      if ((waited >= HOLD_MS && tickNow() > p.downTick) || waited > GIVE_UP_MS) {
        send(p.vk, false);
      } else {
        setTimeout(letGo, 10);
      }
    };
    letGo();
  }

  // The game's tick now, from its state line; -1 before it runs.
  function tickNow() {
    const m = window.quorvax && /^state tick=(\d+)/.exec(window.quorvax.state());
    return m ? parseInt(m[1], 10) : -1;
  }

  // The control under a finger: a pad button, an action button, or the
  // picture (a title screen's tap); null for nothing of the game's.
  function controlAt(x, y) {
    const e = document.elementFromPoint(x, y);
    if (e && e.closest && e.closest('#touch button[data-action]')) {
      return e.closest('button');
    }
    if (e && e.id === 'canvas') {
      const state = window.quorvax.state();
      return / screen=(title|scores) /.test(state) ? 'canvas' : null;
    }
    return null;
  }

  function onTouch(e) {
    if (!running()) {
      return;
    }
    lastTouchAt = performance.now();
    layout();
    for (const t of e.changedTouches) {
      const before = fingers.get(t.identifier);  // undefined: a finger not followed
      if (e.type === 'touchend' || e.type === 'touchcancel') {
        if (before) {
          release(before);
        }
        fingers.delete(t.identifier);
        continue;
      }
      const now = controlAt(t.clientX, t.clientY);
      if ((e.type !== 'touchstart' && before === undefined) || before === now) {
        continue;
      }
      if (before) {
        release(before);  // the finger slid to another button
      }
      fingers.set(t.identifier, now);
      if (now) {
        press(now);
      }
    }
    e.preventDefault();  // no scrolling, zooming or mouse emulation under a finger
  }
  for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
    stage.addEventListener(type, onTouch, { passive: false });
  }
  document.addEventListener('gesturestart', (e) => e.preventDefault());

  // The small buttons act on their release, as buttons do.
  root.querySelector('[data-do="menu"]').addEventListener('click', () =>
    window.QuorvaxSettings.show());
  root.querySelector('[data-do="mute"]').addEventListener('click', () =>
    window.QuorvaxSettings.toggleMute());
  root.addEventListener('touchend', (e) => {
    const small = e.target.closest && e.target.closest('[data-do]');
    if (small) {
      small.click();
    }
  });

  // The first tap: full screen in landscape where the browser allows it.
  stage.addEventListener('touchend', () => {
    if (firstTapDone) {
      return;
    }
    firstTapDone = true;
    const el = document.documentElement;
    if (!document.fullscreenElement && el.requestFullscreen) {
      el.requestFullscreen().then(() => {
        if (screen.orientation && screen.orientation.lock) {
          return screen.orientation.lock('landscape');
        }
        return undefined;
      }).catch(() => {});
    }
  });

  // The page follows the visible part of the screen as the address bar comes and goes.
  function followViewport() {
    const v = window.visualViewport;
    if (v) {
      document.documentElement.style.setProperty('--vv-height', v.height + 'px');
    }
    window.dispatchEvent(new Event('resize'));
  }
  if (window.visualViewport) {
    window.visualViewport.addEventListener('resize', followViewport);
  }

  // A hit (a life lost) shakes the phone where it can, if the player wants it.
  let lives = null;
  function watch() {
    const m = running() && / lives=(\d+) /.exec(window.quorvax.state());
    const now = m ? Number(m[1]) : null;
    const s = settings();
    if (now !== null && lives !== null && now < lives && s && s.touch.vibrate &&
        navigator.vibrate) {
      navigator.vibrate(200);
    }
    lives = now;
    requestAnimationFrame(watch);
  }
  requestAnimationFrame(watch);

  const settingsReady = setInterval(() => {
    if (window.QuorvaxSettings && window.QuorvaxSettings.current) {
      clearInterval(settingsReady);
      window.QuorvaxSettings.onChange(layout);
      layout();
    }
  }, 100);
  layout();

  return {
    // A key or a pad is in use: the controls hide until the next touch.
    otherInput: () => {
      otherInputAt = performance.now();
      if (!root.hidden) {
        layout();
      }
    },
    shown: () => !root.hidden,
  };
})();
