// A missing or damaged data file: the page shows exactly the lines that the console
// program prints for the same data set, and ends (with status 1) instead of hanging.
import fs from 'node:fs';
import path from 'node:path';
import { Browser, check, dataDir, dataWith, nativeBuild, pageAtEnd, run, scratch, serveSite } from './support.mjs';

const png = fs.readFileSync(path.join(dataDir, 'img/stripetex.png'));
const cases = {
  'a missing image': { 'img/stripetex.png': null },
  'a cut PNG': { 'img/stripetex.png': png.subarray(0, png.length >> 1) },
  'a missing soundtrack': { 'music/tune3.mp3': null },
  'a soundtrack that is no mp3': { 'music/tune3.mp3': Buffer.alloc(5000, 'x') },
  'a damaged scene': { '3ds/boots.3ds': fs.readFileSync(path.join(dataDir, '3ds/boots.3ds')).subarray(0, 2000) },
};

const browser = await Browser.launch();
try {
  for (const [name, changes] of Object.entries(cases)) {
    const folder = dataWith(scratch('errors'), changes);
    // Named with --data: a folder without the soundtrack is no data set, and the console
    // program would look further and play its build's.
    const native = run(path.join(nativeBuild, 'demo'), ['--data', folder], {
      cwd: folder, timeout: 60000,
      env: { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' },
    });
    check(native.status === 1 && native.err !== '', name + ': the console program ended with ' +
      native.status + ' and wrote:\n' + native.err);
    const server = await serveSite(changes);
    const tab = await browser.open(server.url + 'index.html');
    const page = await pageAtEnd(tab, 120);
    await tab.close();
    server.close();
    check(page.status === '1', name + ': the page\'s program ended with ' + page.status);
    check(page.console === native.err, name + ': the page shows\n' + page.console +
      'where the console program prints\n' + native.err);
    console.log(name + ': ' + JSON.stringify(native.err));
  }

  // An address asking for a start the show does not have: the console program's line for
  // --from, under the page's name for the program, and the status of a wrong option.
  const native = run(path.join(nativeBuild, 'demo'), ['--from', '2049'], {
    env: { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' },
  });
  check(native.status === 2 && native.err.startsWith('demo: --from'),
    'demo --from 2049 ended with ' + native.status + ' and wrote:\n' + native.err);
  const server = await serveSite();
  const tab = await browser.open(server.url + 'index.html?from=2049');
  const page = await pageAtEnd(tab, 120);
  await tab.close();
  server.close();
  const expected =
    native.err.replace(/^demo:/, 'korvid:').replace('try demo --help', 'try korvid --help');
  check(page.status === '2' && page.console === expected, 'index.html?from=2049 ended with ' +
    page.status + ' and shows\n' + page.console + 'where the console program prints\n' + expected);
  console.log('a wrong start: ' + JSON.stringify(page.console));
} finally {
  await browser.close();
}
