'use strict';
// The player's settings on the page: the panel behind the bar's Settings
// button, the keys bound by their place (KeyboardEvent.code), the sound
// levels. The settings themselves are the game's (the same settings.toml on
// the IndexedDB mount): read as JSON, changed by a few TOML lines that the
// game lays over them and saves.
window.QuorvaxSettings = (() => {
  // File name, title, and the game's own key (a Windows virtual-key code).
  const ACTIONS = [
    ['forward', 'Forward', 38], ['back', 'Back', 40], ['turn_left', 'Turn left', 37],
    ['turn_right', 'Turn right', 39], ['jump', 'Jump', 16], ['bomb', 'Bomb', 17],
    ['start', 'Start', 32],
  ];
  // The keys the page hands the game as they are (web/quorvax-page.js).
  const CLASSIC = {
    ArrowUp: 38, ArrowDown: 40, ArrowLeft: 37, ArrowRight: 39, ShiftLeft: 16, ShiftRight: 16,
    ControlLeft: 17, ControlRight: 17, Space: 32,
  };
  const FIXED = ['Escape', 'F1', 'F2', 'F12'];
  const PAD_BUTTONS = ['', 'a', 'b', 'x', 'y', 'back', 'start', 'leftshoulder', 'rightshoulder',
    'dpup', 'dpdown', 'dpleft', 'dpright'];
  const FRAME_RATES = ['display', 'tick', 30, 60, 120, 144, 240];
  const UPDATE_FILE = '/tmp/settings-update.toml';

  let settings = null;
  const listeners = [];
  let capture = null;  // { action, slot } while a key is awaited
  let layoutMap = null;
  const held = new Map();  // code -> game key sent down

  const ready = () => !!(window.quorvax && window.quorvax.ready && window.Module &&
    Module._quorvax_settings_json);

  function load() {
    if (!ready()) {
      return null;
    }
    try {
      settings = JSON.parse(Module.UTF8ToString(Module._quorvax_settings_json()));
    } catch (e) {
      console.error('quorvax: the settings could not be read: ' + e);
      return null;
    }
    const s = settings.sound;
    const scale = s.mute ? 0 : 0.01;
    window.quorvax.setVolumes(s.music_volume * scale, s.effects_volume * scale);
    listeners.forEach((f) => f(settings));
    return settings;
  }

  function tomlValue(v) {
    if (Array.isArray(v)) {
      return '[' + v.map(tomlValue).join(', ') + ']';
    }
    if (typeof v === 'string') {
      return JSON.stringify(v);  // a TOML basic string for what the panel writes
    }
    return String(v);
  }

  // Resolves once the game has saved what it was asked to (SettingsLocation::Persist
  // calls changed()), or after a second where nothing changed.
  let waiting = [];
  function afterSave(asked) {
    if (!asked) {
      return Promise.resolve(false);
    }
    return new Promise((resolve) => {
      waiting.push(resolve);
      setTimeout(() => {
        if (waiting.includes(resolve)) {
          waiting = waiting.filter((f) => f !== resolve);
          load();
          resolve(true);
        }
      }, 1000);
    });
  }

  // Lays `values` ({ name: value }) of one section over the settings; the
  // game saves them in its loop.
  function update(section, values) {
    const fs = window.quorvax && window.quorvax.files();
    if (!ready() || !fs) {
      return Promise.resolve(false);
    }
    let text = '[' + section + ']\n';
    for (const [name, value] of Object.entries(values)) {
      text += name + ' = ' + tomlValue(value) + '\n';
    }
    fs.writeFile(UPDATE_FILE, text);
    return afterSave(Module._quorvax_settings_update() === 1);
  }

  function keyName(code) {
    if (!code) {
      return '-';
    }
    const shown = layoutMap && layoutMap.get(code);
    return shown ? shown.toUpperCase() : code.replace(/^Key|^Digit/, '');
  }
  if (navigator.keyboard && navigator.keyboard.getLayoutMap) {
    navigator.keyboard.getLayoutMap().then((m) => { layoutMap = m; render(); }, () => {});
  }

  // The game's key for a key of the keyboard: its action's, 0 for a
  // classic key bound to nothing now, undefined for any other key.
  function gameKeyOf(code) {
    if (!settings || !code) {
      return undefined;  // an empty slot of a binding holds "": no key is that
    }
    for (const [name, , vk] of ACTIONS) {
      if (settings.keys[name].includes(code)) {
        return vk;
      }
    }
    return CLASSIC[code] !== undefined ? 0 : undefined;
  }

  // ---- Keys: bound keys become the game's own, before the page's handler ----
  function onKey(e, down) {
    if (capture) {
      if (down) {
        takeCapturedKey(e);
      }
      e.preventDefault();
      e.stopImmediatePropagation();
      return;
    }
    if (!panel.hidden && panel.contains(e.target)) {
      e.stopImmediatePropagation();  // typing in the panel is no play
      return;
    }
    if (window.QuorvaxTouch) {
      window.QuorvaxTouch.otherInput();
    }
    const running = window.quorvax && window.quorvax.ready && window.quorvax.state() !== '';
    if (!running || e.altKey || e.metaKey ||
        document.querySelector('dialog.quorvax-dialog[open]')) {
      return;
    }
    const vk = down ? gameKeyOf(e.code) : held.get(e.code);
    if (vk === undefined || (vk === CLASSIC[e.code] && !held.has(e.code))) {
      return;  // the page hands it on as it is
    }
    e.preventDefault();
    e.stopImmediatePropagation();
    if (down && vk !== 0) {
      held.set(e.code, vk);
    } else {
      held.delete(e.code);
    }
    if (vk !== 0) {
      Module._quorvax_key(down ? 1 : 0, vk, e.repeat ? 1 : 0, 0, 0);
    }
  }
  window.addEventListener('keydown', (e) => onKey(e, true), true);
  window.addEventListener('keyup', (e) => onKey(e, false), true);
  window.addEventListener('blur', () => {
    for (const vk of held.values()) {
      Module._quorvax_key(0, vk, 0, 0, 0);
    }
    held.clear();
  });

  function takeCapturedKey(e) {
    const { action, slot } = capture;
    const title = ACTIONS.find((a) => a[0] === action)[1];
    const keys = settings.keys[action].slice();
    capture = null;
    if (e.code === 'Escape') {
      status('Nothing changed.');
    } else if (e.code === 'Backspace') {
      if (!keys[1 - slot]) {
        status(title + ' keeps its last key: an action needs one.');
      } else {
        keys[slot] = '';
        update('keys', { [action]: keys }).then(() => status(title + ': cleared'));
      }
    } else if (!e.code || FIXED.includes(e.code)) {
      status('That key cannot be bound.');
    } else {
      const before = settings.keys;
      keys[slot] = e.code;
      update('keys', { [action]: keys }).then(() => {
        const from = ACTIONS.find(([name]) => name !== action && before[name].includes(e.code) &&
          !settings.keys[name].includes(e.code));
        status(from ? keyName(e.code) + ' was taken from ' + from[1] + '.' :
          title + ': ' + keyName(e.code));
      });
    }
    render();
  }

  // ---- The panel ----
  const panel = document.createElement('div');
  panel.id = 'settings-panel';
  panel.hidden = true;
  panel.setAttribute('role', 'dialog');
  panel.setAttribute('aria-label', 'Settings');
  document.body.appendChild(panel);
  let statusText = '';
  function status(text) {
    statusText = text;
    const line = panel.querySelector('.status');
    if (line) {
      line.textContent = text;
    }
  }

  function el(tag, props, children) {
    const e = Object.assign(document.createElement(tag), props || {});
    for (const c of children || []) {
      e.append(c);
    }
    return e;
  }
  function row(label, ...controls) {
    return el('div', { className: 'row' }, [el('span', { textContent: label }), ...controls]);
  }
  function range(section, name, min, max, step, value) {
    const input = el('input', { type: 'range', min, max, step, value, name });
    input.addEventListener('change', () => update(section, { [name]: Number(input.value) }));
    return input;
  }
  function check(section, name, value) {
    const input = el('input', { type: 'checkbox', checked: value, name });
    input.addEventListener('change', () => update(section, { [name]: input.checked }));
    return input;
  }
  function select(options, value, onChange, name) {
    const s = el('select', { name }, options.map((o) =>
      el('option', { value: String(o), textContent: String(o) || '-', selected: o === value })));
    s.addEventListener('change', () => onChange(s.value));
    return s;
  }
  function text(section, name, value) {
    const input = el('input', { type: 'text', value, name, maxLength: 64 });
    input.addEventListener('change', () => update(section, { [name]: input.value }));
    return input;
  }

  function render() {
    if (panel.hidden || !settings) {
      return;
    }
    const s = settings;
    const keyRows = ACTIONS.map(([name, title]) => row(title, ...[0, 1].map((slot) => {
      const b = el('button', { type: 'button', textContent: keyName(s.keys[name][slot]) });
      b.dataset.action = name;
      b.dataset.slot = slot;
      b.addEventListener('click', () => {
        capture = { action: name, slot };
        status('Press a key for ' + title + '; Escape cancels, Backspace clears');
      });
      return b;
    })));
    const padRows = ACTIONS.map(([name, title]) => row(title, ...[0, 1].map((slot) =>
      select(PAD_BUTTONS, s.pad[name][slot] || '', (v) => {
        const buttons = s.pad[name].slice();
        buttons[slot] = v;
        update('pad', { [name]: buttons });
      }))));
    const close = el('button', { type: 'button', textContent: 'Close' });
    close.addEventListener('click', hide);
    const defaults = el('button', { type: 'button', textContent: 'Defaults' });
    defaults.addEventListener('click', () => {
      afterSave(Module._quorvax_settings_reset() === 1).then(() =>
        status('Every setting is back to its default.'));
    });
    panel.replaceChildren(
      el('h2', { textContent: 'Settings' }),
      el('fieldset', {}, [el('legend', { textContent: 'Sound' }),
        row('Music volume', range('sound', 'music_volume', 0, 100, 10, s.sound.music_volume)),
        row('Effects volume', range('sound', 'effects_volume', 0, 100, 10, s.sound.effects_volume)),
        row('Mute (M)', check('sound', 'mute', s.sound.mute))]),
      el('fieldset', { className: 'keys' }, [el('legend', { textContent: 'Keys' }), ...keyRows]),
      el('fieldset', {}, [el('legend', { textContent: 'Pad' }), ...padRows,
        row('Stick dead zone', range('pad', 'dead_zone', 5, 90, 5, s.pad.dead_zone))]),
      el('fieldset', {}, [el('legend', { textContent: 'Display' }),
        row('Frames', select(FRAME_RATES, s.display.frame_rate,
          (v) => update('display', { frame_rate: /^\d+$/.test(v) ? Number(v) : v }))),
        row('Start in full screen', check('display', 'full_screen', s.display.full_screen))]),
      el('fieldset', {}, [el('legend', { textContent: 'Touch' }),
        row('Touch controls', select(['auto', 'on', 'off'], s.touch.mode,
          (v) => update('touch', { mode: v }), 'mode')),
        row('Size (%)', range('touch', 'size', 50, 200, 10, s.touch.size)),
        row('Left-handed', check('touch', 'left_handed', s.touch.left_handed)),
        row('Vibrate on a hit', check('touch', 'vibrate', s.touch.vibrate))]),
      el('fieldset', {}, [el('legend', { textContent: 'Player' }),
        row('Name', text('player', 'name', s.player.name)),
        row('World table', check('player', 'leaderboard', s.player.leaderboard)),
        row('Table address', text('player', 'leaderboard_url', s.player.leaderboard_url))]),
      el('div', { className: 'status', textContent: statusText }),
      el('div', { className: 'buttons' }, [defaults, close]));
  }

  function show() {
    if (!load()) {
      return;
    }
    statusText = '';
    panel.hidden = false;
    render();
  }
  function hide() {
    capture = null;
    panel.hidden = true;
  }

  // The bar's button; the panel loads the settings again whenever the game saves them.
  window.addEventListener('DOMContentLoaded', () => {
    const button = document.getElementById('settings');
    if (button) {
      button.addEventListener('click', () => (panel.hidden ? show() : hide()));
    }
  });
  const started = setInterval(() => {
    if (ready()) {
      clearInterval(started);
      load();
    }
  }, 100);

  return {
    get current() { return settings; },
    update,
    onChange: (f) => listeners.push(f),
    changed: () => {
      load();
      render();
      const done = waiting;
      waiting = [];
      done.forEach((resolve) => resolve(true));
    },
    show,
    hide,
    toggleMute: () => (settings ? update('sound', { mute: !settings.sound.mute }) :
      Promise.resolve(false)),
    // The classic key of each action, for the touch controls and the pads.
    gameKey: (action) => ACTIONS.find((a) => a[0] === action)[2],
  };
})();
