// The render scale. Where the browser cannot draw a playing frame 30 times
// a second at the canvas's full size (software GL, no GPU), the game draws
// at half the size and the page scales the picture up. The bar's button
// shows the scale and turns the automatic choice off and on (kept in the
// browser); ?scale=full or ?scale=auto chooses it for one visit (the tests
// compare pictures at full size).
'use strict';

(function () {
  const KEY = 'quorvax.renderScale';
  const LOW = 0.5;
  const SLOW_MS = 1000 / 28;  // a mean frame interval above this: under 28 frames a second
  const button = document.getElementById('render-scale');
  const q = window.quorvax;

  function stored() {
    try {
      return window.localStorage.getItem(KEY);
    } catch (e) {
      return null;  // storage refused (private mode, file://): automatic
    }
  }
  const asked = new URLSearchParams(window.location.search).get('scale');
  let auto = (asked || stored()) !== 'full';

  function show() {
    const percent = Math.round(q.renderScale() * 100) + '%';
    button.textContent = 'Scale ' + percent + (auto ? ' (auto)' : '');
    button.title = auto ? 'Drawn at ' + percent + ' when frames are slow; click for full size always'
                        : 'Always drawn at full size; click to let the page choose';
  }

  button.addEventListener('click', () => {
    auto = !auto;
    try {
      window.localStorage.setItem(KEY, auto ? 'auto' : 'full');
    } catch (e) {
      // kept for this visit only
    }
    q.setRenderScale(1);
    last = null;
    show();
    document.getElementById('canvas').focus();
  });

  // Every two seconds while the page is seen, the frames the game's loop
  // saw. The title's picture is cheap, so slow frames mean the board's. The
  // game itself is not asked: a call into it while it waits on the lasting
  // storage could come between its writes.
  let last = null;
  setInterval(() => {
    const measuring = auto && q.renderScale() === 1 && q.ready &&
                      document.visibilityState === 'visible';
    const now = q.frameTimes();
    if (measuring && last) {
      const frames = now.frames - last.frames;
      const mean = (now.meanMs * now.frames - last.meanMs * last.frames) / Math.max(1, frames);
      if (frames >= 8 && mean > SLOW_MS) {
        q.setRenderScale(LOW);
        show();
      }
    }
    last = measuring ? now : null;
  }, 2000);
  show();
})();
