// Every image of the data set loads into the same surface (size, storage, blend mode,
// palette, every pixel, the mipmaps) in node as on the processor, and converts to the same
// 32-bit sprite.
import path from 'node:path';
import { check, dataDir, nativeBuild, run, webBuild } from './support.mjs';

const native = run(path.join(nativeBuild, 'web-image-hashes'), [dataDir]);
check(native.status === 0, 'the native web-image-hashes ended with ' + native.status + ':\n' + native.err);
const wasm = run('node', [path.join(webBuild, 'web-image-hashes.js'), dataDir]);
check(wasm.status === 0, 'web-image-hashes.js ended with ' + wasm.status + ':\n' + wasm.err);
const expected = native.out.split('\n').filter((line) => line !== '');
const got = wasm.out.split('\n').filter((line) => line !== '');
check(expected.length >= 3 * 36, 'too few images: ' + expected.length + ' lines');
const wrong = expected.filter((line, i) => got[i] !== line);
check(got.length === expected.length && wrong.length === 0,
  'images that load otherwise in node:\n' +
  expected.map((line, i) => (got[i] === line ? '' : 'native ' + line + '\nnode   ' + got[i] + '\n')).join(''));
console.log('node: ' + expected.length / 3 + ' images load as on the processor');
