// The show as a person meets it: the page shows the wait screen exactly (its pixels are
// those of img/wait.png) and waits; a click starts the show with its music; Escape ends
// it, and the page then shows the closing image.
import { Browser, check, pageAtEnd, serveSite } from './support.mjs';

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The canvas's pixels and those of a data file drawn by the browser, as a count of the
// bytes that differ.
const differsFrom = (file) => `(async () => {
  const screen = document.getElementById('screen');
  const shown = screen.getContext('2d').getImageData(0, 0, 512, 384).data;
  const picture = await createImageBitmap(await (await fetch('data/${file}')).blob());
  const canvas = document.createElement('canvas');
  canvas.width = 512;
  canvas.height = 384;
  const context = canvas.getContext('2d');
  context.drawImage(picture, 0, 0);
  const expected = context.getImageData(0, 0, 512, 384).data;
  let count = 0;
  for (let i = 0; i < expected.length; ++i) count += shown[i] !== expected[i];
  return count;
})()`;

async function waitFor(tab, expression, seconds, what) {
  for (const deadline = Date.now() + seconds * 1000; Date.now() < deadline; await sleep(100))
    if (await tab.evaluate(expression)) return;
  check(false, what + ' within ' + seconds + ' s');
}

const server = await serveSite();
const browser = await Browser.launch();
try {
  const tab = await browser.open(server.url + 'index.html');
  await waitFor(tab, "document.body && document.body.dataset.state === 'waiting'", 120,
    'the page did not wait for a click');
  check(await tab.evaluate(differsFrom('img/wait.png')) === 0,
    'the wait screen is not img/wait.png');

  await tab.click(256, 192);
  await waitFor(tab, "document.body.dataset.sound === 'web-audio'", 20,
    'a click did not start the music');
  check(await tab.evaluate("document.body.dataset.state") === 'running', 'the show is not running');
  await sleep(3000);
  check(await tab.evaluate(differsFrom('img/wait.png')) > 0, 'the show draws nothing');

  await tab.key('Escape');
  const page = await pageAtEnd(tab, 20);
  check(page.status === '0', 'Escape ended the show with ' + page.status + ': ' + page.console);
  check(page.console === '', 'the show wrote: ' + page.console);
  check(await tab.evaluate(differsFrom('img/slutt.png')) === 0,
    'after Escape the page does not show the closing image');
  console.log('wait screen, click, music, Escape and closing image as they should be');

  // Started part-way, the music plays from there, and Escape still ends the show cleanly.
  const later = await browser.open(server.url + 'index.html?from=1450');
  await waitFor(later, "document.body && document.body.dataset.state === 'waiting'", 120,
    'the page with from=1450 did not wait for a click');
  await later.click(256, 192);
  await waitFor(later, "document.body.dataset.sound === 'web-audio'", 20,
    'a click did not start the music from 1450');
  await sleep(2000);
  check(await later.evaluate(differsFrom('img/wait.png')) > 0, 'from 1450 the show draws nothing');
  await later.key('Escape');
  const laterEnd = await pageAtEnd(later, 20);
  check(laterEnd.status === '0' && laterEnd.console === '', 'from 1450, Escape ended the show with ' +
    laterEnd.status + ': ' + laterEnd.console);
  console.log('started at 1450, the show plays and ends as it should');
} finally {
  await browser.close();
  server.close();
}
