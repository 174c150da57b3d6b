// The page around the show's programs: it loads the data set with a progress bar, starts
// the program its address asks for, gives it the canvas, the keys and Web Audio, and shows
// what the program writes.
//
//   index.html                   the show, started by a click or a key
//   index.html?fps=30&hash=T,T   demo-capture: the T,hash lines into <pre id="hashes">
//   index.html?bench[&fps=N]     demo-capture --bench: the table into <pre id="bench">
//   index.html?stats=S           demo-clock for S seconds: its figures into <pre id="stats">
//
// When the program has ended, the body's data-state is "ended" (data-status its exit
// status) and, in the three measuring modes, the document's title is "done".
'use strict';

(function () {
  const query = new URLSearchParams(location.search);
  const screen = document.getElementById('screen');
  const canvas = screen.getContext('2d');
  const bar = document.querySelector('#progress div');
  const statusLine = document.getElementById('status');
  const consoleText = document.getElementById('console');

  function setState(state) {
    document.body.dataset.state = state;
    document.body.classList.toggle('running', state === 'running');
  }

  function progress(fraction, text) {
    bar.style.width = (100 * Math.max(0, Math.min(1, fraction))).toFixed(1) + '%';
    if (text !== undefined) statusLine.textContent = text;
  }

  function show(line) {
    consoleText.textContent += line + '\n';
  }

  // The program and its arguments, from the page's address.
  function chooseProgram() {
    if (query.has('hash')) {
      const times = query.get('hash').split(',').filter((t) => t !== '');
      return {
        name: 'korvid-capture', output: 'hashes', measuring: true,
        args: ['--fps', query.get('fps') || '30', '--hash', '--at', times.join(','),
               '--until', times[times.length - 1] || '0'],
      };
    }
    if (query.has('bench')) {
      const args = ['--bench'];
      if (query.has('fps')) args.push('--fps', query.get('fps'));
      return { name: 'korvid-capture', output: 'bench', measuring: true, args };
    }
    if (query.has('stats')) {
      return {
        name: 'korvid-clock', output: null, measuring: true, autostart: true,
        args: ['--seconds', query.get('stats') || '20'],
      };
    }
    // The show; with from=T it starts at demo time T, as the console program's --from.
    const args = query.has('from') ? ['--from', query.get('from')] : [];
    return { name: 'korvid', output: null, measuring: false, args };
  }

  // A file, telling `expect` its length when the server states one and `received` every
  // part that arrives; null when the server has no such file.
  async function fetchBytes(url, received, expect = () => {}) {
    const response = await fetch(url);
    if (!response.ok) return null;
    expect(Number(response.headers.get('Content-Length')) || 0);
    const reader = response.body.getReader();
    const chunks = [];
    let length = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      length += value.length;
      received(value.length);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  function loadScript(url) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = url;
      script.onload = resolve;
      script.onerror = () => reject(new Error('cannot load ' + url));
      document.head.appendChild(script);
    });
  }

  // SDL 1.2's key symbols for the keys a person might press during the show.
  function keySymbol(event) {
    const named = {
      Escape: 27, Enter: 13, Backspace: 8, Tab: 9, ' ': 32, Delete: 127,
      ArrowUp: 273, ArrowDown: 274, ArrowRight: 275, ArrowLeft: 276,
    };
    if (event.key in named) return named[event.key];
    const f = /^F([0-9]{1,2})$/.exec(event.key);
    if (f && f[1] >= 1 && f[1] <= 15) return 281 + Number(f[1]);
    if (event.key.length === 1) {
      const code = event.key.toLowerCase().charCodeAt(0);
      if (code > 32 && code < 127) return code;
    }
    return 0;
  }

  function toggleFullscreen() {
    const stage = document.getElementById('stage');
    if (document.fullscreenElement) document.exitFullscreen();
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
  }

  async function run() {
    const program = chooseProgram();
    document.body.classList.toggle('measuring', program.measuring);
    setState('loading');

    // The data set's list, then every file and the program's WebAssembly, with one bar
    // for all their bytes. A file the server lacks is left out; the program then says so.
    const list = await (await fetch('data/files.json')).json();
    await loadScript(program.name + '.js');
    let total = list.reduce((sum, file) => sum + file.bytes, 0) + 1;
    let received = 0;
    const count = (n) => {
      received += n;
      progress(0.85 * received / total,
               'Loading ' + (received / 1e6).toFixed(1) + ' of ' + (total / 1e6).toFixed(1) + ' MB');
    };
    const files = new Map();
    const queue = list.slice();
    async function worker() {
      for (let file; (file = queue.shift());) {
        const bytes = await fetchBytes('data/' + file.path, count);
        if (bytes) files.set(file.path, bytes);
      }
    }
    const wasm = fetchBytes(program.name + '.wasm', count, (bytes) => { total += bytes; });
    await Promise.all([worker(), worker(), worker(), worker()]);
    const wasmBinary = await wasm;
    if (!wasmBinary) throw new Error('cannot load ' + program.name + '.wasm');

    // What the program's calls into JavaScript use (page_library.js).
    let gesture = !!program.autostart;
    let escaped = false;
    // The browser shows a picture once a refresh of the screen: the program's frames are
    // copied as they come, and the latest goes onto the canvas when the screen is next
    // drawn. (Putting every frame onto the canvas would only make more work for the page.)
    let frame = null, framePending = false;
    const page = {
      keys: [],
      audio: null,
      draw(rgba, width, height) {
        if (!frame || frame.width !== width || frame.height !== height)
          frame = new ImageData(width, height);
        frame.data.set(rgba);
        if (framePending) return;
        framePending = true;
        requestAnimationFrame(() => {
          framePending = false;
          if (frame) canvas.putImageData(frame, 0, 0);
        });
      },
      decoding(fraction) { progress(0.85 + 0.15 * fraction, 'Decoding the soundtrack'); },
      openAudio() {
        const Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return false;
        try {
          this.audio = { context: new Context(), buffer: null, source: null };
        } catch (e) {
          return false;
        }
        return true;
      },
      playing() { document.body.dataset.sound = 'web-audio'; },
      awaitGesture() {
        if (!gesture) {
          setState('waiting');
          progress(1, 'Click or press a key to start');
        }
        return gesture;
      },
    };
    const start = () => {
      if (page.audio && page.audio.context.state !== 'running') page.audio.context.resume();
      if (!gesture) setState('running');
      gesture = true;
    };
    window.addEventListener('mousedown', start);
    window.addEventListener('keydown', (event) => {
      if (event.key === 'f' || event.key === 'F') toggleFullscreen();
      if (event.key === 'Escape') escaped = true;
      start();
      const symbol = keySymbol(event);
      if (symbol && !event.repeat) page.keys.push({ symbol, down: true });
    });
    window.addEventListener('keyup', (event) => {
      const symbol = keySymbol(event);
      if (symbol) page.keys.push({ symbol, down: false });
    });
    screen.addEventListener('dblclick', toggleFullscreen);

    const output = [];
    const ended = new Promise((resolve) => {
      const settings = {
        wasmBinary,
        thisProgram: program.name, // the name the program's messages give for itself
        korvidPage: page,
        print(line) {
          output.push(line);
          if (program.output) document.getElementById(program.output).textContent += line + '\n';
          else if (!program.measuring) show(line);
        },
        printErr(line) { show(line); },
        onExit: resolve,
        onAbort(what) {
          show('The program stopped: ' + what);
          resolve(-1);
        },
      };
      KorvidProgram(settings).then((module) => {
        for (const [path, bytes] of files) {
          const slash = path.lastIndexOf('/');
          if (slash > 0) module.FS.mkdirTree('/' + path.slice(0, slash));
          module.FS.writeFile('/' + path, bytes);
        }
        files.clear();
        setState(gesture || program.measuring ? 'running' : 'starting');
        progress(0.85, 'Decoding the soundtrack');
        module.callMain(program.args);
      });
    });
    const status = await ended;
    // The last frame stays on the canvas (unless a closing image replaces it).
    if (frame) canvas.putImageData(frame, 0, 0);
    frame = null;

    if (program.name === 'korvid-clock') writeStats(output);
    // Escape ends the show at once; the page then shows its closing image.
    if (!program.measuring && status === 0 && escaped) await showClosingImage(list);
    setState('ended');
    document.body.dataset.status = String(status);
    if (program.measuring) document.title = 'done';
  }

  // demo-clock's figures, one a line, as names and numbers.
  function writeStats(lines) {
    const text = lines.join('\n');
    const figures = [];
    let m;
    if ((m = /presents\s+\d+ in [0-9.]+ s \(([0-9.]+) a second\)/.exec(text)))
      figures.push('presents_per_second ' + m[1]);
    if ((m = /new demo time\s+([0-9.]+)% of presents/.exec(text)))
      figures.push('new_time_share ' + (Number(m[1]) / 100).toFixed(3));
    if ((m = /jitter\s+([0-9.]+) ms \(99th percentile\), ([0-9.]+) ms median/.exec(text))) {
      figures.push('jitter_median_ms ' + m[2]);
      figures.push('jitter_p99_ms ' + m[1]);
    }
    document.getElementById('stats').textContent = figures.join('\n') + (figures.length ? '\n' : '');
  }

  async function showClosingImage() {
    try {
      const response = await fetch('data/img/slutt.png');
      if (!response.ok) return;
      const picture = await createImageBitmap(await response.blob());
      canvas.drawImage(picture, 0, 0);
    } catch (e) {
      // Without it the last frame stays.
    }
  }

  run().catch((error) => {
    show(String(error.message || error));
    setState('ended');
    document.body.dataset.status = 'failed';
    document.title = 'done';
  });
})();
