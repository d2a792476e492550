// The page around the game: the canvas and its size, the keys, the game's
// dialogs as HTML dialogs, Web Audio, the lasting storage, the loading bar,
// full screen, recordings. The game (quorvax.js) calls QuorvaxPage; tests
// and the player's scripts read window.quorvax.
'use strict';

var QuorvaxPage = (function () {
  const page = {};
  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');
  let fs = null;            // emscripten's file system, once mounted
  let running = false;      // the game has started
  let ready = false;        // the first frame is drawn
  let pictures = true;      // the game draws (else the stand-in shows its state)

  // ---- Canvas size: the whole stage, in device pixels ----
  // times the render scale (render-scale.js lowers it where the browser
  // cannot fill that many pixels 30 times a second; the picture is scaled up).
  let renderScale = 1;
  function fitCanvas() {
    const ratio = (window.devicePixelRatio || 1) * renderScale;
    const w = Math.max(1, Math.round(canvas.clientWidth * ratio));
    const h = Math.max(1, Math.round(canvas.clientHeight * ratio));
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
      if (running) {
        Module._quorvax_resized(w, h);
      }
    }
  }
  window.addEventListener('resize', fitCanvas);
  fitCanvas();
  page.canvasWidth = () => canvas.width;
  page.canvasHeight = () => canvas.height;
  page.renderScale = () => renderScale;
  page.setRenderScale = (scale) => {
    renderScale = Math.min(1, Math.max(0.25, scale));
    fitCanvas();
  };

  // ---- The loop's wait: the next animation frame ----
  let lastFrameAt = 0;
  const frameStats = { frames: 0, intervalSum: 0, intervalMax: 0 };
  // Resolves with 1 at the next animation frame, or with 0 as soon as the
  // page has queued work for the game (wake).
  let wakeLoop = null;
  page.nextFrame = () => new Promise((resolve) => {
    let done = false;
    const finish = (frame) => {
      if (!done) {
        done = true;
        wakeLoop = null;
        resolve(frame);
      }
    };
    wakeLoop = () => finish(0);
    requestAnimationFrame((t) => {
      if (done) {
        return;
      }
      if (lastFrameAt > 0) {
        const d = t - lastFrameAt;
        frameStats.frames++;
        frameStats.intervalSum += d;
        frameStats.intervalMax = Math.max(frameStats.intervalMax, d);
      }
      lastFrameAt = t;
      finish(1);
    });
  });
  function wake() {
    if (wakeLoop) {
      wakeLoop();
    }
  }
  // A page may be closed at any moment: the scores are written whenever it
  // goes out of sight or away.
  function saveScores() {
    if (running) {
      Module._quorvax_save();
      wake();
    }
  }
  window.addEventListener('pagehide', saveScores);
  document.addEventListener('visibilitychange', () => {
    lastFrameAt = 0;  // a hidden tab's pause is no frame's time
    if (document.hidden) {
      saveScores();
    }
    if (!audio) {
      return;
    }
    if (document.hidden) {
      audio.suspend();
    } else if (soundStarted) {
      audio.resume();
    }
  });

  page.frameShown = () => { ready = true; };
  page.setCursorHidden = (hidden) => canvas.classList.toggle('no-cursor', !!hidden);

  // ---- Sound: Web Audio, started by the player's first key or click ----
  const AudioContextClass = window.AudioContext || window.webkitAudioContext;
  const audio = AudioContextClass ? new AudioContextClass() : null;
  // The player's levels (web/settings.js): one gain for the song, one for the effects.
  const musicGain = audio ? audio.createGain() : null;
  const effectsGain = audio ? audio.createGain() : null;
  if (audio) {
    musicGain.connect(audio.destination);
  }
  let soundStarted = false;
  let soundsStarted = 0;
  const effects = new Map();  // path -> { buffer, promise }
  let effectSource = null;
  let effectToken = 0;
  let songBuffer = null;
  let songSource = null;
  let songWanted = null;      // { from, length } while the game plays its song
  let songStopTimer = null;

  function startSound() {
    if (soundStarted || !audio) {
      return;
    }
    soundStarted = true;
    audio.resume();
    $('start-hint').hidden = true;
  }
  window.addEventListener('mousedown', startSound, true);
  window.addEventListener('touchstart', startSound, true);

  page.audioAvailable = () => audio !== null;

  // The effects pass a tap on their way out, so that what was heard can be
  // read back: the loudest sample of each effect started, in order.
  const effectTap = audio ? audio.createAnalyser() : null;
  const effectPeaks = [];
  if (effectTap) {
    effectsGain.connect(effectTap);  // the tap reads the effects at the player's level
    effectTap.connect(audio.destination);
  }
  function measureEffect(index, seconds) {
    const data = new Float32Array(effectTap.fftSize);
    const until = performance.now() + seconds * 1000;
    const timer = setInterval(() => {
      effectTap.getFloatTimeDomainData(data);
      for (const v of data) {
        effectPeaks[index] = Math.max(effectPeaks[index], Math.abs(v));
      }
      if (performance.now() > until) {
        clearInterval(timer);
      }
    }, 20);
  }

  function decodeEffect(path) {
    let entry = effects.get(path);
    if (!entry) {
      const bytes = fs.readFile(path);
      entry = { buffer: null, promise: null };
      entry.promise = audio.decodeAudioData(bytes.slice().buffer).then((b) => {
        entry.buffer = b;
        return b;
      });
      entry.promise.catch((e) => console.error('quorvax: cannot decode ' + path + ': ' + e));
      effects.set(path, entry);
    }
    return entry;
  }

  page.playEffect = (path) => {
    if (!audio || !fs) {
      return false;
    }
    let entry;
    try {
      entry = decodeEffect(path);
    } catch (e) {
      return false;  // no such file: nothing plays, as on the desktop
    }
    const token = ++effectToken;
    const start = (buffer) => {
      if (token !== effectToken) {
        return;  // a newer effect came first
      }
      if (effectSource) {
        try { effectSource.stop(); } catch (e) { /* already over */ }
      }
      effectSource = audio.createBufferSource();
      effectSource.buffer = buffer;
      effectSource.connect(effectsGain);
      effectSource.start();
      soundsStarted++;
      effectPeaks.push(0);
      measureEffect(effectPeaks.length - 1, buffer.duration + 0.1);
    };
    if (entry.buffer) {
      start(entry.buffer);
    } else {
      entry.promise.then(start, () => {});
    }
    return true;
  };

  function stopSongNow() {
    if (songSource) {
      try { songSource.stop(); } catch (e) { /* never started */ }
      songSource.disconnect();
      songSource = null;
    }
  }

  function startSong() {
    stopSongNow();
    if (!audio || !songBuffer || !songWanted) {
      return;
    }
    const src = audio.createBufferSource();
    src.buffer = songBuffer;
    src.loop = true;
    let loopLength = songBuffer.duration;
    if (songWanted.length > 0 && songWanted.length < songBuffer.duration) {
      // The recording rings out past the song's end; the song itself
      // repeats at its length.
      src.loopStart = 0;
      src.loopEnd = songWanted.length;
      loopLength = songWanted.length;
    }
    src.connect(musicGain);
    src.start(0, songWanted.from % loopLength);
    songSource = src;
  }

  page.songPlay = (from, length) => {
    const restart = songStopTimer !== null && songSource !== null && from === 0;
    if (songStopTimer !== null) {
      clearTimeout(songStopTimer);
      songStopTimer = null;
    }
    songWanted = { from, length };
    if (!restart) {
      startSong();
    }
  };

  // A stop followed at once by a play is the song's restart: the recording
  // then runs on, already looping.
  page.songStop = () => {
    songWanted = null;
    if (songStopTimer === null) {
      songStopTimer = setTimeout(() => {
        songStopTimer = null;
        if (!songWanted) {
          stopSongNow();
        }
      }, 0);
    }
  };

  if (audio) {
    fetch('song.ogg')
      .then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(r.status))))
      .then((bytes) => audio.decodeAudioData(bytes))
      .then((buffer) => {
        songBuffer = buffer;
        if (songWanted && !songSource) {
          startSong();
        }
      })
      .catch((e) => console.error('quorvax: no song: ' + e));
  }

  // ---- Lasting storage: IndexedDB behind /persistent ----
  page.mountStorage = (FS, IDBFS, dir) => {
    fs = FS;
    try {
      FS.mkdir(dir);
    } catch (e) { /* already there */ }
    FS.mount(IDBFS, {}, dir);
    return new Promise((resolve) => {
      FS.syncfs(true, (err) => {
        if (err) {
          console.error('quorvax: the saved files could not be read: ' + err);
        }
        resolve();
      });
    });
  };

  // ---- Keys: all of them go to the game (its innermost dialog) ----
  const heldKeys = new Set();
  function isPrintable(e) {
    return [...e.key].length === 1 && (!e.ctrlKey || e.altKey) && !e.metaKey;
  }
  function wantsDefaultPrevented(e) {
    const k = e.keyCode;
    if ((k >= 37 && k <= 40) || k === 32 || k === 112 || k === 123) {
      // Arrows and Space never scroll the page, F1 and F12 are the game's;
      // the other function keys stay the browser's (F5 reloads, F11 full screen).
      return true;
    }
    if (openDialogs.length > 0) {
      return k === 13 || k === 27 || k === 8 || k === 46 || k === 35 || k === 36 || isPrintable(e);
    }
    return k === 13 || k === 27 || k === 17 || k === 16;
  }
  // The game's calls are made directly: a call through ccall would wait for
  // the game's loop, which never returns.
  function typeText(text) {
    for (const ch of text) {
      Module._quorvax_text(ch.codePointAt(0));
    }
  }
  function onKey(e, down) {
    startSound();
    if (e.target && e.target.id === 'play-file') {
      return;
    }
    if (wantsDefaultPrevented(e)) {
      e.preventDefault();
    }
    if (!running) {
      return;
    }
    if (down) {
      heldKeys.add(e.keyCode);
    } else {
      heldKeys.delete(e.keyCode);
    }
    Module._quorvax_key(down ? 1 : 0, e.keyCode, e.repeat ? 1 : 0, e.altKey ? 1 : 0,
                        e.ctrlKey ? 1 : 0);
    if (down && isPrintable(e)) {
      typeText(e.key);
    }
  }
  window.addEventListener('keydown', (e) => onKey(e, true), true);
  window.addEventListener('keyup', (e) => onKey(e, false), true);
  // Keys held when the page loses the focus are let go, so none stays held.
  window.addEventListener('blur', () => {
    if (running) {
      for (const k of heldKeys) {
        Module._quorvax_key(0, k, 0, 0, 0);
      }
    }
    heldKeys.clear();
  });
  canvas.addEventListener('mousedown', () => canvas.focus());

  // ---- The game's dialogs ----
  const openDialogs = [];  // { handle, element, caption }, innermost last
  page.openDialog = (handle, layout) => {
    const dlg = document.createElement('dialog');
    dlg.className = 'quorvax-dialog';
    const title = document.createElement('h2');
    title.textContent = layout.caption;
    dlg.appendChild(title);
    const body = document.createElement('div');
    body.className = 'body';
    dlg.appendChild(body);
    const buttons = document.createElement('div');
    buttons.className = 'buttons';
    let input = null;
    const addButton = (id, text, isDefault) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = text.replace(/&(.)/g, '$1');
      b.dataset.id = id;
      if (isDefault) {
        b.classList.add('default');
      }
      b.addEventListener('click', (e) => {
        e.preventDefault();
        Module._quorvax_button(handle, id);
      });
      buttons.appendChild(b);
    };
    for (const c of layout.controls) {
      if (c.kind === 'text') {
        const p = document.createElement('p');
        p.textContent = c.text;
        body.appendChild(p);
      } else if (c.kind === 'edit' && !input) {
        input = document.createElement('input');
        input.type = 'text';
        input.id = 'name-input';
        input.autocomplete = 'off';
        input.spellcheck = false;
        input.value = c.text;
        // Pasted or composed text goes to the game's field like typed text.
        input.addEventListener('beforeinput', (e) => {
          e.preventDefault();
          if (e.data) {
            typeText(e.data);
          }
        });
        body.appendChild(input);
      } else if (c.kind === 'button') {
        addButton(c.id, c.text, c.default);
      }
    }
    if (!buttons.firstChild && !layout.messageBox) {
      // The desktop's close box is Escape; here it is a button beside OK.
      addButton(1, 'OK', true);
      addButton(2, 'Cancel', false);
    }
    dlg.appendChild(buttons);
    dlg.addEventListener('cancel', (e) => e.preventDefault());  // Escape reaches the game instead
    $('stage').appendChild(dlg);
    dlg.showModal();
    (input || buttons.querySelector('.default') || dlg).focus();
    openDialogs.push({ handle, element: dlg, caption: layout.caption });
  };
  page.closeDialog = (handle) => {
    const i = openDialogs.findIndex((d) => d.handle === handle);
    if (i < 0) {
      return;
    }
    const d = openDialogs[i];
    openDialogs.splice(i, 1);
    d.element.close();
    d.element.remove();
    if (openDialogs.length === 0) {
      canvas.focus();
    }
    // A closed dialog may have put a name into the score table: written at
    // once, since nothing tells the page when the player will leave.
    saveScores();
  };
  page.setEdit = (handle, text, caret) => {
    const d = openDialogs.find((x) => x.handle === handle);
    const input = d && d.element.querySelector('input');
    if (input) {
      input.value = text;
      input.setSelectionRange(caret, caret);
    }
  };

  // ---- Full screen ----
  page.toggleFullscreen = () => {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen().catch((e) => {
        console.error('quorvax: no full screen: ' + e);
      });
    }
  };
  $('fullscreen').addEventListener('click', () => {
    page.toggleFullscreen();
    canvas.focus();
  });
  document.addEventListener('fullscreenchange', () => setTimeout(fitCanvas, 0));

  // ---- Recordings ----
  let recordingActive = false;
  let recordingMade = false;
  const recordButton = $('record');
  let watching = false;
  // Record, Stop recording and Play a recording end the game running: one
  // the player is in the middle of is not thrown away without asking.
  function mayEndGame() {
    const playing = / screen=playing /.test(window.quorvax.state());
    return !playing || watching || window.confirm('This ends the game in progress. Go on?');
  }
  recordButton.addEventListener('click', () => {
    if (!running || !mayEndGame()) {
      return;
    }
    watching = false;
    recordingActive = !recordingActive;
    recordButton.textContent = recordingActive ? 'Stop recording' : 'Record';
    if (recordingActive) {
      recordingMade = true;
      $('download').hidden = true;
      setStatus('Recording a new game');
    }
    Module._quorvax_record(recordingActive ? 1 : 0);
    canvas.focus();
  });
  page.offerRecording = (path) => {
    recordingActive = false;
    recordButton.textContent = 'Record';
    const text = fs.readFile(path, { encoding: 'utf8' });
    const link = $('download');
    if (link.href) {
      URL.revokeObjectURL(link.href);
    }
    link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    link.download = 'quorvax-recording.txt';
    link.hidden = false;
    setStatus('Recording done');
    link.click();
  };
  $('play-file').addEventListener('change', (e) => {
    const file = e.target.files[0];
    e.target.value = '';
    if (!file || !running || !mayEndGame()) {
      return;
    }
    file.arrayBuffer().then((bytes) => watchRecording(file.name, new Uint8Array(bytes)));
  });
  // A recording's bytes played as the chosen file, called `name` in the bar.
  function watchRecording(name, bytes) {
    fs.writeFile('/tmp/chosen.txt', bytes);
    chosenName = name;
    watching = true;
    setStatus('Playing ' + name);
    Module._quorvax_watch();
    canvas.focus();
  }
  // ?watch=PATH (the table page's watch links): a recording on this site,
  // fetched and played; any other address is refused.
  function watchFromAddress() {
    const wanted = new URLSearchParams(window.location.search).get('watch');
    if (wanted === null) {
      return;
    }
    const url = /^\/(?![/\\])/.test(wanted) ? new URL(wanted, window.location.origin) : null;
    if (!url || url.origin !== window.location.origin) {
      setStatus('Not played: ' + wanted + ' is not a recording on this site');
      return;
    }
    fetch(url)
      .then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error('HTTP ' + r.status))))
      .then((bytes) => watchRecording(wanted, new Uint8Array(bytes)),
            (e) => setStatus('The recording ' + wanted + ' could not be fetched: ' + e.message));
  }
  // F12's picture, written by the game into its folder: saved as a download
  // under the game's name for it (quorvax-YYYYMMDD-HHMMSS.png), then removed.
  const savedFiles = [];
  page.offerFile = (path) => {
    const bytes = fs.readFile(path);
    fs.unlink(path);
    const url = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    const link = document.createElement('a');
    link.href = url;
    // A picture drawn at a lower scale says so in its name.
    const scaled = renderScale === 1 ? '' : '-scale' + Math.round(renderScale * 100);
    link.download = path.split('/').pop().replace(/\.png$/, scaled + '.png');
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
    savedFiles.push(link.download);
    setStatus('Picture saved: ' + link.download);
  };
  // The game names the chosen file by its place in the page's file system.
  let chosenName = '';
  page.playbackEnded = (text) => {
    watching = false;
    setStatus(text.split('/tmp/chosen.txt').join(chosenName));
  };
  function setStatus(text) {
    $('status').textContent = text;
  }

  // ---- Loading and start ----
  // What keeps the game from starting, said in plain words over the canvas
  // instead of the loading bar, with what to try; Retry loads the page again.
  let problem = null;
  function showProblem(what, tryThis, retry) {
    if (running || problem) {
      return;
    }
    problem = what;
    $('loading-text').textContent = what;
    $('loading-track').hidden = true;
    $('start-hint').hidden = true;
    const hint = document.createElement('p');
    hint.id = 'problem-hint';
    hint.textContent = tryThis;
    $('loading').append(hint);
    if (retry) {
      const button = document.createElement('button');
      button.id = 'retry';
      button.type = 'button';
      button.textContent = 'Retry';
      button.addEventListener('click', () => window.location.reload());
      $('loading').append(button);
    }
    $('loading').hidden = false;
    setStatus(what);
  }
  function loadFailed(why) {
    const file = /quorvax\.data/.test(why) ? 'quorvax.data'
      : /wasm/i.test(why) ? 'quorvax.wasm' : /quorvax\.js/.test(why) ? 'quorvax.js' : 'one of its files';
    showProblem('The game could not be loaded: ' + file + ' did not arrive whole.',
                'The connection may have dropped or the server may be busy. Try again in a moment. ' +
                '(' + why.replace(/^Uncaught (Error: )?/, '') + ')', true);
  }
  // A file that fails or arrives cut off shows as an error or an abort
  // while the game loads; once it runs, the game reports its own.
  window.addEventListener('error', (e) => loadFailed(e.message || 'a file did not arrive'));
  window.addEventListener('unhandledrejection', (e) => loadFailed(String(e.reason)));
  page.loadAborted = (what) => loadFailed(String(what));
  page.start = () => {
    const probe = document.createElement('canvas');
    if (!probe.getContext('webgl')) {
      showProblem('This browser cannot show the game: WebGL is turned off or not available here.',
                  'Try another browser, or turn on hardware acceleration (graphics acceleration) ' +
                  'in this browser\'s settings and reload the page.', false);
      return;
    }
    const script = document.createElement('script');
    script.src = 'quorvax.js';
    script.async = true;
    script.addEventListener('error', () => loadFailed('quorvax.js did not arrive'));
    document.body.append(script);
  };
  page.setLoading = (done, total) => {
    $('loading-fill').style.width = total > 0 ? (100 * done / total).toFixed(1) + '%' : '0';
  };
  page.gameStarting = (withPictures) => {
    running = true;
    pictures = !!withPictures;
    $('loading').hidden = true;
    fitCanvas();
    Module._quorvax_resized(canvas.width, canvas.height);
    canvas.focus();
    if (!pictures) {
      requestAnimationFrame(drawStandIn);
    }
    watchFromAddress();
  };

  // Until the game draws in the browser, the canvas shows its state line.
  function drawStandIn() {
    const g = canvas.getContext('2d');
    if (!g) {
      return;
    }
    g.fillStyle = '#102030';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.fillStyle = '#fff';
    g.font = Math.max(12, Math.round(canvas.height / 30)) + 'px sans-serif';
    g.fillText('Quorvax', 20, canvas.height / 3);
    g.fillText(window.quorvax.state(), 20, canvas.height / 2);
    ready = true;
    requestAnimationFrame(drawStandIn);
  }

  window.quorvax = {
    get ready() { return ready; },
    state: () => (running ? Module.UTF8ToString(Module._quorvax_state()) : ''),
    // The running game's high-score table as its high-score screen shows it, "NAME\tSCORE" a line.
    scores: () => (running ? Module.UTF8ToString(Module._quorvax_scores()) : ''),
    // The tests' hold: the clock stops once the game has played `tick` ticks
    // (keys then land at that tick however slowly the browser draws); -1 lets it go.
    holdAfter: (tick) => {
      if (running) {
        Module._quorvax_hold_after(tick);
      }
    },
    get problem() { return problem; },
    get soundsStarted() { return soundsStarted; },
    setVolumes: (music, effects) => {
      if (audio) {
        musicGain.gain.value = music;
        effectsGain.gain.value = effects;
      }
    },
    volumes: () => (audio ? [musicGain.gain.value, effectsGain.gain.value] : [0, 0]),
    files: () => fs,
    effectPeaks: () => effectPeaks.slice(),
    savedFiles: () => savedFiles.slice(),
    audioState: () => (audio ? audio.state : 'none'),
    musicPlaying: () => songSource !== null && songWanted !== null,
    recording: () => {
      if (!recordingMade || !fs) {
        return '';
      }
      try {
        return fs.readFile('/tmp/recording.txt', { encoding: 'utf8' });
      } catch (e) {
        return '';
      }
    },
    dialog: () => (openDialogs.length ? openDialogs[openDialogs.length - 1].caption : null),
    renderScale: () => renderScale,
    setRenderScale: (scale) => page.setRenderScale(scale),
    // Animation frames seen by the game's loop: count, mean and worst interval in ms.
    frameTimes: () => ({
      frames: frameStats.frames,
      meanMs: frameStats.frames ? frameStats.intervalSum / frameStats.frames : 0,
      maxMs: frameStats.intervalMax,
    }),
  };
  return page;
})();

var Module = {
  canvas: document.getElementById('canvas'),
  onAbort: (what) => QuorvaxPage.loadAborted(what),
  print: (text) => console.log(text),
  printErr: (text) => console.error(text),
  setStatus: (text) => {
    const m = /\((\d+(?:\.\d+)?)\/(\d+)\)/.exec(text || '');
    if (m) {
      QuorvaxPage.setLoading(Number(m[1]), Number(m[2]));
    }
  },
};
QuorvaxPage.start();
