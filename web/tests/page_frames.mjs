// The page in fixed-step mode writes exactly the golden frames' lines, then says "done".
import { Browser, check, goldenFrames, pageAtEnd, serveSite } from './support.mjs';

const { times, lines } = goldenFrames();
const server = await serveSite();
const browser = await Browser.launch();
try {
  const tab = await browser.open(server.url + 'index.html?fps=30&hash=' + times.join(','));
  const page = await pageAtEnd(tab, 600);
  check(page.title === 'done', 'the title is ' + JSON.stringify(page.title));
  check(page.status === '0', 'the program ended with ' + page.status + ': ' + page.console);
  const printed = page.hashes.split('\n').filter((line) => line !== '');
  check(printed.join('\n') === lines.join('\n'),
    'frames that differ from the golden file:\n' +
    lines.map((line, i) => line + (printed[i] === line ? '' : '  page ' + printed[i])).join('\n'));
  console.log('page: ' + lines.length + ' frames as in the golden file');
} finally {
  await browser.close();
  server.close();
}
