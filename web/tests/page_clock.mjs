// The show in real time with its music (Web Audio, autoplay allowed): at least 90% of the
// presents show a new demo time, and demo time strays from a straight line through the
// page's clock by at most 5 ms at the 99th percentile. The machine is shared, and a
// moment of heavy load stalls the page as it stalls the console program: a measurement
// that misses is taken again, three times at most. A clock that is wrong misses every time.
import { Browser, check, fail, pageAtEnd, serveSite } from './support.mjs';

const seconds = 10;
const attempts = 3;

async function measure(browser, url) {
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

const server = await serveSite();
const browser = await Browser.launch(['--autoplay-policy=no-user-gesture-required']);
try {
  for (let attempt = 1; ; ++attempt) {
    const figures = await measure(browser, server.url);
    console.log(Object.entries(figures).map((entry) => entry.join(' ')).join(', '));
    const misses = [];
    if (Number(figures.new_time_share) < 0.9) misses.push('too few presents show a new demo time');
    if (Number(figures.jitter_p99_ms) > 5) misses.push('demo time strays too far from the page\'s clock');
    if (misses.length === 0) break;
    if (attempt === attempts) fail(misses.join('; ') + ', ' + attempts + ' times');
  }
} finally {
  await browser.close();
  server.close();
}
