// The show in real time with its music (Web Audio, autoplay allowed): at least 90% of the
// presents show a new demo time, and demo time strays from a straight line through the
// page's clock by at most 5 ms at the 99th percentile.
//
// The machine is shared, and a burst of load stalls the page as it stalls the console
// program: a measurement that misses is taken again, three times at most. When the jitter
// misses all three times, the console program's demo-clock is measured the same way right
// after; if its jitter misses too, the machine is too busy for the figure to say anything,
// and the test is skipped (status 77) rather than passed or failed. Load only makes fewer
// presents, each with a new time, so too few new demo times always fail; so does a page
// whose jitter misses while the console program holds.
import path from 'node:path';
import { Browser, check, dataDir, fail, nativeBuild, pageAtEnd, run, serveSite } from './support.mjs';

const seconds = 10;
const attempts = 3;

function misses(figures) {
  const found = [];
  if (Number(figures.new_time_share) < 0.9) found.push('too few presents show a new demo time');
  if (Number(figures.jitter_p99_ms) > 5) found.push('demo time strays too far from the clock');
  return found;
}

async function measurePage(browser, url) {
  const tab = await browser.open(url + 'index.html?stats=' + seconds);
  const page = await pageAtEnd(tab, 120 + seconds);
  await tab.close();
  check(page.title === 'done' && page.status === '0',
    'the program ended with ' + page.status + ': ' + page.console);
  check(page.sound === 'web-audio', 'the music did not play through Web Audio');
  const figures = Object.fromEntries(page.stats.trim().split('\n').map((line) => line.split(' ')));
  for (const name of ['presents_per_second', 'new_time_share', 'jitter_median_ms', 'jitter_p99_ms'])
    check(Number.isFinite(Number(figures[name])), 'no figure ' + name + ' in:\n' + page.stats);
  return figures;
}

// demo-clock on SDL's disk driver, which takes the sound at the real rate.
function measureConsole() {
  const result = run(path.join(nativeBuild, 'tools/clock/demo-clock'), ['--seconds', String(seconds)], {
    cwd: dataDir,
    env: { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'disk', SDL_DISKAUDIOFILE: '/dev/null' },
  });
  const share = /new demo time\s+([0-9.]+)%/.exec(result.out);
  const jitter = /jitter\s+([0-9.]+) ms \(99th percentile\)/.exec(result.out);
  check(result.status === 0 && share && jitter, 'demo-clock ended with ' + result.status + ':\n' + result.out + result.err);
  return { new_time_share: Number(share[1]) / 100, jitter_p99_ms: Number(jitter[1]) };
}

const server = await serveSite();
const browser = await Browser.launch(['--autoplay-policy=no-user-gesture-required']);
let missed = [];
try {
  for (let attempt = 1; attempt <= attempts; ++attempt) {
    const figures = await measurePage(browser, server.url);
    console.log('page: ' + Object.entries(figures).map((entry) => entry.join(' ')).join(', '));
    missed = misses(figures);
    if (missed.length === 0) break;
  }
} finally {
  await browser.close();
  server.close();
}
if (missed.length > 0) {
  if (missed.some((miss) => miss.startsWith('too few')))
    fail(missed.join('; ') + ', ' + attempts + ' times');
  const native = measureConsole();
  console.log('console program: new_time_share ' + native.new_time_share.toFixed(3) +
    ', jitter_p99_ms ' + native.jitter_p99_ms);
  if (native.jitter_p99_ms > 5) {
    console.log('SKIPPED: the machine is too busy; the console program\'s jitter misses as well');
    process.exit(77);
  }
  fail(missed.join('; ') + ', ' + attempts + ' times, where the console program holds');
}
