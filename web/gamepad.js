'use strict';
// Gamepads through the Gamepad API (the standard mapping), read at every
// animation frame, plugged in and out at any time: the buttons bound in the
// settings and the left stick with its dead zone, as on the desktop; Back
// with Start is Escape. The bar names the pad it sees.
window.QuorvaxGamepads = (() => {
  // The standard mapping's button of each name the settings use.
  const BUTTONS = {
    a: 0, b: 1, x: 2, y: 3, leftshoulder: 4, rightshoulder: 5, back: 8, start: 9,
    dpup: 12, dpdown: 13, dpleft: 14, dpright: 15,
  };
  const ACTIONS = ['forward', 'back', 'turn_left', 'turn_right', 'jump', 'bomb', 'start'];
  // The stick's direction per action: axis and sign.
  const STICK = { forward: [1, -1], back: [1, 1], turn_left: [0, -1], turn_right: [0, 1] };
  const ESCAPE = 27;

  const sent = new Map();  // game key -> held, as last sent
  const stickHeld = new Map();  // pad index + action -> held (hysteresis)
  let chord = false;
  let nameShown = '';

  const nameLine = document.createElement('span');
  nameLine.id = 'pad-name';
  window.addEventListener('DOMContentLoaded', () => {
    const bar = document.getElementById('bar');
    if (bar) {
      bar.insertBefore(nameLine, document.getElementById('status'));
    }
  });

  const pressedButton = (pad, name) => {
    const b = pad.buttons[BUTTONS[name]];
    return !!b && (b.pressed || b.value > 0.5);
  };

  function stick(pad, action, deadZone) {
    const key = pad.index + ':' + action;
    const [axis, sign] = STICK[action] || [];
    if (axis === undefined || pad.axes.length <= axis) {
      return false;
    }
    const v = pad.axes[axis] * sign;
    const press = deadZone / 100;
    const was = stickHeld.get(key) || false;
    const now = v > press ? true : v < press * 5 / 8 ? false : was;
    stickHeld.set(key, now);
    return now;
  }

  function poll() {
    requestAnimationFrame(poll);
    const settings = window.QuorvaxSettings && window.QuorvaxSettings.current;
    const pads = navigator.getGamepads ? Array.from(navigator.getGamepads()).filter((p) => p) : [];
    const name = pads.length ? pads.map((p) => p.id).join(', ') : '';
    if (name !== nameShown) {
      nameShown = name;
      nameLine.textContent = name ? 'Pad: ' + name : '';
    }
    const running = window.quorvax && window.quorvax.ready && window.quorvax.state() !== '';
    if (!settings || !running) {
      return;
    }
    const want = new Map();
    let chordNow = false;
    let used = false;
    for (const pad of pads) {
      const backDown = pressedButton(pad, 'back');
      chordNow = chordNow || (backDown && pressedButton(pad, 'start'));
      used = used || pad.buttons.some((b) => b.pressed);
      for (const action of ACTIONS) {
        const vk = window.QuorvaxSettings.gameKey(action);
        const byButton = settings.pad[action].some((b) => b && pressedButton(pad, b) &&
          !(b === 'start' && backDown));
        const held = byButton || stick(pad, action, settings.pad.dead_zone);
        used = used || held;
        want.set(vk, (want.get(vk) || false) || held);
      }
    }
    if (used && window.QuorvaxTouch) {
      window.QuorvaxTouch.otherInput();
    }
    for (const [vk, held] of want) {
      if ((sent.get(vk) || false) !== held) {
        sent.set(vk, held);
        Module._quorvax_key(held ? 1 : 0, vk, 0, 0, 0);
      }
    }
    // A pad unplugged lets go of what it held: its keys are no longer wanted.
    for (const [vk, held] of sent) {
      if (held && !want.get(vk)) {
        sent.set(vk, false);
        Module._quorvax_key(0, vk, 0, 0, 0);
      }
    }
    if (chordNow && !chord) {
      Module._quorvax_key(1, ESCAPE, 0, 0, 0);
      Module._quorvax_key(0, ESCAPE, 0, 0, 0);
    }
    chord = chordNow;
  }
  requestAnimationFrame(poll);
  window.addEventListener('gamepadconnected', (e) => console.log('quorvax: pad ' + e.gamepad.id));
  window.addEventListener('gamepaddisconnected', (e) => console.log('quorvax: pad gone ' + e.gamepad.id));

  return { name: () => nameShown };
})();
