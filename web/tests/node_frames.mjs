// demo-capture built for node prints exactly the golden frames' lines.
import path from 'node:path';
import { check, dataDir, goldenFrames, run, webBuild } from './support.mjs';

const { times, lines } = goldenFrames();
const result = run('node', [path.join(webBuild, 'demo-capture.js'), '--data', dataDir, '--fps', '30',
  '--hash', '--at', times.join(','), '--until', times[times.length - 1]]);
check(result.status === 0, 'demo-capture.js ended with ' + result.status + ':\n' + result.err);
check(result.err === '', 'demo-capture.js wrote to standard error:\n' + result.err);
const printed = result.out.split('\n').filter((line) => line !== '');
const wrong = lines.filter((line, i) => printed[i] !== line);
check(printed.length === lines.length && wrong.length === 0,
  'frames that differ from the golden file:\n' +
  lines.map((line, i) => line + (printed[i] === line ? '' : '  printed ' + printed[i])).join('\n'));
console.log('node: ' + lines.length + ' frames as in the golden file');
