// What the browser build's tests share: the folders they work on, a static web server for
// the site (with files left out or replaced on request), headless Chromium driven through
// its DevTools protocol over a pipe, and runs of the processor's programs.

import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

export const sourceDir = process.env.KORVID_SOURCE_DIR;
export const webBuild = process.env.KORVID_WEB_BUILD;
export const nativeBuild = process.env.KORVID_NATIVE_BUILD;
export const site = path.join(webBuild, 'site');
export const dataDir = path.join(site, 'data');

export function fail(message) {
  console.error('FAILED: ' + message);
  process.exit(1);
}

export function check(condition, message) {
  if (!condition) fail(message);
}

// The golden frames: the times, and the file's lines after its header.
export function goldenFrames() {
  const lines = fs.readFileSync(path.join(sourceDir, 'tests/show/golden_frames.csv'), 'utf8')
    .split('\n').slice(1).filter((line) => line !== '');
  return { times: lines.map((line) => line.split(',')[0]), lines };
}

// A scratch folder of the build, emptied.
export function scratch(name) {
  const dir = path.join(webBuild, 'test-scratch', name);
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(dir, { recursive: true });
  return dir;
}

// A copy of the data set made of links to its files, with `changes` applied: a path mapped
// to null is left out, to bytes is written with them.
export function dataWith(dir, changes) {
  for (const folder of ['img', 'img2', '3ds', 'music'])
    for (const file of fs.readdirSync(path.join(dataDir, folder))) {
      const relative = folder + '/' + file;
      fs.mkdirSync(path.join(dir, folder), { recursive: true });
      if (relative in changes) {
        if (changes[relative] !== null) fs.writeFileSync(path.join(dir, relative), changes[relative]);
      } else {
        fs.symlinkSync(path.join(dataDir, relative), path.join(dir, relative));
      }
    }
  return dir;
}

// Runs a program to its end: status and what it wrote.
export function run(program, args, options = {}) {
  const result = spawnSync(program, args, { encoding: 'utf8', maxBuffer: 1 << 26, ...options });
  if (result.error) fail(program + ': ' + result.error.message);
  return { status: result.status, out: result.stdout, err: result.stderr };
}

const types = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.json': 'application/json',
};

// Serves the site on a free local port; `changes` as in dataWith, for paths under data/.
export async function serveSite(changes = {}) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    const relative = decodeURIComponent(url.pathname).replace(/^\/+/, '') || 'index.html';
    const data = relative.startsWith('data/') ? relative.slice(5) : null;
    let body = null;
    if (data !== null && data in changes) {
      body = changes[data];
    } else {
      const file = path.join(site, relative);
      if (file.startsWith(site) && fs.existsSync(file) && fs.statSync(file).isFile())
        body = fs.readFileSync(file);
    }
    if (body === null) {
      response.writeHead(404);
      response.end();
      return;
    }
    // Isolated from other origins, the page's clock (performance.now) runs in steps of
    // microseconds rather than a tenth of a millisecond, which the benchmark's figures want.
    response.writeHead(200, {
      'Content-Type': types[path.extname(relative)] || 'application/octet-stream',
      'Content-Length': body.length,
      'Cross-Origin-Opener-Policy': 'same-origin',
      'Cross-Origin-Embedder-Policy': 'require-corp',
    });
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: 'http://127.0.0.1:' + server.address().port + '/', close: () => server.close() };
}

// Headless Chromium, spoken to through --remote-debugging-pipe: commands go in on its
// descriptor 3 and answers come out of 4, each a JSON text ended by a zero byte.
export class Browser {
  static async launch(flags = []) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'korvid-chromium-'));
    const child = spawn(process.env.CHROMIUM || 'chromium', [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run',
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows', '--remote-debugging-pipe',
      '--user-data-dir=' + profile, ...flags, 'about:blank',
    ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'], detached: true });
    const browser = new Browser(child, profile);
    await browser.send('Target.getTargets');
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.nextId = 1;
    this.waiting = new Map();
    this.log = '';
    child.stderr.on('data', (chunk) => { this.log += chunk; });
    let pending = '';
    child.stdio[4].on('data', (chunk) => {
      pending += chunk.toString('utf8');
      for (let end; (end = pending.indexOf('\0')) >= 0;) {
        const message = JSON.parse(pending.slice(0, end));
        pending = pending.slice(end + 1);
        if (message.method === 'Runtime.exceptionThrown')
          this.log += 'page: ' + message.params.exceptionDetails.exception?.description + '\n';
        if (message.method === 'Runtime.consoleAPICalled')
          this.log += 'page: ' + message.params.args.map((a) => a.value ?? a.description).join(' ') + '\n';
        const answer = this.waiting.get(message.id);
        if (!answer) continue;
        this.waiting.delete(message.id);
        if (message.error) answer.reject(new Error(message.error.message));
        else answer.resolve(message.result);
      }
    });
    child.on('exit', () => {
      for (const answer of this.waiting.values())
        answer.reject(new Error('Chromium ended:\n' + this.log));
      this.waiting.clear();
    });
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.waiting.set(id, { resolve, reject });
      this.child.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    });
  }

  // A new tab at `url`: evaluate(expression) gives the expression's value in the page.
  async open(url) {
    const { targetId } = await this.send('Target.createTarget', { url });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    await this.send('Runtime.enable', {}, sessionId);
    return {
      evaluate: async (expression) => {
        const { result, exceptionDetails } = await this.send('Runtime.evaluate',
          { expression, returnByValue: true, awaitPromise: true }, sessionId);
        if (exceptionDetails)
          throw new Error(exceptionDetails.exception ? exceptionDetails.exception.description : exceptionDetails.text);
        return result.value;
      },
      close: () => this.send('Target.closeTarget', { targetId }),
      // A click at a point of the page, as a person's (the browser counts it as a gesture).
      click: async (x, y) => {
        for (const type of ['mousePressed', 'mouseReleased'])
          await this.send('Input.dispatchMouseEvent',
            { type, x, y, button: 'left', clickCount: 1 }, sessionId);
      },
      // A key held down for a tenth of a second, as a person presses it (the show looks at
      // the keyboard once a frame); `key` as KeyboardEvent.key names it.
      key: async (key) => {
        const code = { Escape: 27 }[key] || key.toUpperCase().charCodeAt(0);
        for (const type of ['keyDown', 'keyUp']) {
          await this.send('Input.dispatchKeyEvent',
            { type, key, code: key, windowsVirtualKeyCode: code }, sessionId);
          await new Promise((resolve) => setTimeout(resolve, 100));
        }
      },
    };
  }

  // Asks Chromium to close, and ends its processes (its own group) if it has not within
  // five seconds.
  async close() {
    const exited = new Promise((resolve) => {
      if (this.child.exitCode !== null) resolve();
      else this.child.once('exit', resolve);
    });
    this.send('Browser.close').catch(() => {});
    const timer = setTimeout(() => {
      try {
        process.kill(-this.child.pid, 'SIGKILL');
      } catch (e) {
        // Already gone.
      }
    }, 5000);
    await exited;
    clearTimeout(timer);
    fs.rmSync(this.profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
  }
}

// What the page shows once its program has ended: its state and exit status, the text of
// its <pre> elements and its title. Fails after `seconds` without an end.
export async function pageAtEnd(tab, seconds) {
  const deadline = Date.now() + seconds * 1000;
  const text = (id) => `(document.getElementById('${id}') || {}).textContent`;
  for (;;) {
    // Before the page has loaded its body may not be there yet.
    const page = await tab.evaluate(`document.body ? {
      state: document.body.dataset.state, status: document.body.dataset.status,
      sound: document.body.dataset.sound, title: document.title,
      console: ${text('console')}, hashes: ${text('hashes')}, stats: ${text('stats')},
      bench: ${text('bench')} } : {}`);
    if (page.state === 'ended') return page;
    if (Date.now() > deadline)
      fail('the page did not end within ' + seconds + ' s; it shows: ' + JSON.stringify(page));
    await new Promise((resolve) => setTimeout(resolve, 250));
  }
}
