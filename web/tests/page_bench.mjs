// Not a test: the page's benchmark (index.html?bench&fps=N) in headless Chromium, printed
// as demo-capture --bench prints it. Usage, after scripts/web.sh:
//   KORVID_SOURCE_DIR=. KORVID_WEB_BUILD=build-web node web/tests/page_bench.mjs [FPS]
import { Browser, check, pageAtEnd, serveSite } from './support.mjs';

const fps = process.argv[2] || '30';
const server = await serveSite();
const browser = await Browser.launch();
try {
  const tab = await browser.open(server.url + 'index.html?bench&fps=' + fps);
  const page = await pageAtEnd(tab, 1800);
  check(page.status === '0', 'the benchmark ended with ' + page.status + ': ' + page.console);
  process.stdout.write(page.bench);
} finally {
  await browser.close();
  server.close();
}
