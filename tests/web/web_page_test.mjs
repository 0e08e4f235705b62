// The browser test: headless Chromium loads the web page from a server on
// 127.0.0.1 and (1) replays a recording with a key and click script through
// the page's program, comparing every frame with the native host's frames of
// the same recording and script; (2) plays the page's demo and reports its
// frame time and rate; (3) drops a WAV file on the page and checks that it is
// listed, played and analysed into the native host's bytes.
// Usage: node web_page_test.mjs HOST_PROGRAM SITE_DIR CHROMIUM
// With ZD_WEB_FRAMES=DIR the page's frames and the native ones are kept there.
// With ZD_WEB_BENCH_SECONDS=N it only plays the page's demo for N seconds and
// prints its frame rate and time (bench/web_frame_rate.sh).
import { spawn, spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync, writeFileSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

const [hostProgram, siteDir, chromium] = process.argv.slice(2);
const benchSeconds = Number(process.env.ZD_WEB_BENCH_SECONDS || 0);
for (const [what, path] of [['the web site (scripts/build-web.sh)', join(siteDir, 'index.html')],
                            ['Chromium', chromium || 'chromium']]) {
  if (!existsSync(path)) {
    console.log(`SKIPPED: ${what} is not there (${path})`);
    process.exit(77);
  }
}
const here = fileURLToPath(new URL('.', import.meta.url));
const work = mkdtempSync(join(tmpdir(), 'zd-web-'));
const keepFrames = process.env.ZD_WEB_FRAMES;
const limits = JSON.parse(readFileSync(join(here, 'tolerance.json'), 'utf8'));

// The script: the panel hidden, every ring mode, the sphere held up,
// rotation off and turned by keys, the help page and the panel each alone,
// a title clicked, then the panel over the scene. The page names each part.
const script = ['--key', '0.1s:F2', '--key', '0.5s:A', '--key', '1.2s:B', '--key', '1.9s:C',
                '--key', '2.4s:UP:0.8s', '--key', '3.4s:D', '--key', '3.5s:LEFT:0.4s',
                '--key', '4.1s:F3', '--key', '4.2s:H', '--key', '4.8s:H', '--key', '4.9s:F2',
                '--click', '5.1s:300,51', '--key', '5.6s:F3'];
const parts = [[0.2, 'rings, history'], [0.6, 'rings A'], [1.3, 'rings B'], [2.0, 'rings C'],
               [2.5, 'sphere inflating'], [3.5, 'turned by keys'], [4.3, 'help page'],
               [5.0, 'panel'], [5.7, 'panel over the scene'], [6.5, '']];
const seconds = 6.5;

function run(args) {
  const result = spawnSync(hostProgram, args, { encoding: 'utf8' });
  if (result.status !== 0) throw new Error(`${hostProgram} ${args.join(' ')}: ${result.stderr}`);
}

// A 2-second stereo tone with a beat, 16-bit at 44.1 kHz, for the drop.
function writeWav(path) {
  const rate = 44100, frames = rate * 2, data = Buffer.alloc(frames * 4);
  for (let i = 0; i < frames; ++i) {
    const beat = (i % 11025) < 2000 ? 0.6 : 0.1;
    const left = Math.sin(2 * Math.PI * 110 * i / rate) * beat + 0.2 * Math.sin(2 * Math.PI * 1500 * i / rate);
    const right = Math.sin(2 * Math.PI * 220 * i / rate) * 0.3;
    data.writeInt16LE(Math.round(left * 20000), i * 4);
    data.writeInt16LE(Math.round(right * 20000), i * 4 + 2);
  }
  const header = Buffer.alloc(44);
  header.write('RIFF', 0); header.writeUInt32LE(36 + data.length, 4); header.write('WAVEfmt ', 8);
  header.writeUInt32LE(16, 16); header.writeUInt16LE(1, 20); header.writeUInt16LE(2, 22);
  header.writeUInt32LE(rate, 24); header.writeUInt32LE(rate * 4, 28); header.writeUInt16LE(4, 32);
  header.writeUInt16LE(16, 34); header.write('data', 36); header.writeUInt32LE(data.length, 40);
  writeFileSync(path, Buffer.concat([header, data]));
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript',
                '.wasm': 'application/wasm', '.css': 'text/css', '.json': 'application/json' };
const roots = { site: siteDir, work, test: here };

function serve(onResult) {
  return createServer((request, response) => {
    if (request.method === 'POST') {
      const chunks = [];
      request.on('data', (c) => chunks.push(c));
      request.on('end', () => { response.end('ok'); onResult(request.url, Buffer.concat(chunks).toString()); });
      return;
    }
    const [, root, ...rest] = decodeURIComponent(request.url.split('?')[0]).split('/');
    const base = roots[root];
    const path = base && normalize(join(base, ...rest));
    if (!path || !path.startsWith(normalize(base)) || !existsSync(path)) {
      response.statusCode = 404;
      return response.end();
    }
    response.setHeader('Content-Type', types[extname(path)] || 'application/octet-stream');
    response.end(readFileSync(path));
  });
}

function browse(url, onTimeout) {
  const profile = join(work, 'profile');
  const browser = spawn(chromium, [
    '--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
    '--autoplay-policy=no-user-gesture-required', '--disable-background-timer-throttling',
    '--disable-renderer-backgrounding', `--user-data-dir=${profile}`, '--window-size=1000,700', url],
    { stdio: ['ignore', 'ignore', 'pipe'], detached: true });
  let log = '';
  browser.stderr.on('data', (d) => { log += d; });
  const timer = setTimeout(() => onTimeout(`timed out; the browser said:\n${log.slice(-2000)}`), 240000);
  // Ends the browser and its helpers (its own process group), then calls
  // `then` once it is gone (its profile is in `work`).
  return (then) => {
    clearTimeout(timer);
    browser.once('exit', then);
    try {
      process.kill(-browser.pid, 'SIGTERM');
    } catch {
      browser.kill();
    }
  };
}

function judge(result) {
  let failed = 0;
  const check = (ok, line) => { console.log(`${ok ? 'ok' : 'FAILED'}: ${line}`); if (!ok) failed += 1; };
  const { parity, live, input, drop } = result;
  check(parity.frames === Math.round(seconds * 40), `the page replayed ${parity.frames} frames`);
  for (const part of parity.parts) {
    const limit = limits.parts[part.name];
    check(part.worstDiffering <= limit.differing && part.worstMean <= limit.mean,
          `${part.name}: worst frame ${(part.worstDiffering * 100).toFixed(2)}% of pixels off by more than ` +
          `${limits.channelStep}, mean difference ${part.worstMean.toFixed(2)} ` +
          `(limits ${(limit.differing * 100).toFixed(2)}%, ${limit.mean})`);
  }
  check(live.frames >= 5, `the demo played: ${live.frames} frames, ${live.fps} frames/s, ` +
        `${live.frameMs.toFixed(1)} ms a frame (${live.cpuMs.toFixed(1)} ms before WebGL finished)`);
  check(input.clicked, 'a click on the panel in full window plays the title under it');
  check(input.paused && input.resumed, 'Space, passed on by the plug-in, pauses and resumes');
  check(input.left, 'Escape leaves full window');
  check(drop.listed, `the dropped file is listed (${drop.titles.join(', ')})`);
  check(drop.playing, 'the dropped file plays');
  check(drop.maxByteDifference <= 1,
        `the dropped file's bytes: ${drop.differingBytes} of ${drop.bytes} differ, by ${drop.maxByteDifference} at most`);
  return failed;
}

function report(live) {
  console.log(`web demo in headless Chromium (SwiftShader): ${live.fps} frames/s over ${benchSeconds} s, ` +
              `${live.frameMs.toFixed(1)} ms a frame, ${live.cpuMs.toFixed(1)} ms of it before WebGL finished`);
  return 0;
}

writeWav(join(work, 'tone.wav'));
if (!benchSeconds) {
  run(['render', '--duration', `${seconds}s`, '--vis-out', join(work, 'demo.zdvis'), ...script,
       '-o', join(work, 'native/')]);
  run(['render', join(work, 'tone.wav'), '--duration', '1s', '--vis-out', join(work, 'tone.zdvis'),
       '-o', join(work, 'tone/')]);
}
writeFileSync(join(work, 'script.json'),
              JSON.stringify({ script, parts, seconds, keepFrames: !!keepFrames, benchSeconds }));
if (keepFrames) spawnSync('cp', ['-r', join(work, 'native'), keepFrames]);

// Chromium's helper processes may still be leaving its profile when it has gone.
function finish(failed) {
  try {
    rmSync(work, { recursive: true, force: true, maxRetries: 50, retryDelay: 200 });
  } catch (e) {
    console.log(`note: ${work} is left behind (${e.code})`);
  }
  process.exit(failed ? 1 : 0);
}

let stop = (then) => then();
const server = serve((url, body) => {
  if (url === '/log') return console.log(`page: ${body}`);
  if (url.startsWith('/frame/')) return keepFrames && writeFileSync(join(keepFrames, `web-${url.slice(7)}`), body, 'base64');
  server.close();
  let failed = 1;
  try {
    const result = JSON.parse(body);
    if (result.error) console.log(`FAILED: ${result.error}`);
    else if (benchSeconds) failed = report(result.live);
    else failed = judge(result);
  } finally {
    stop(() => finish(failed));
  }
});
server.listen(0, '127.0.0.1', () => {
  const url = `http://127.0.0.1:${server.address().port}/test/web_page_test.html`;
  stop = browse(url, (why) => {
    console.log(`FAILED: ${why}`);
    stop(() => finish(1));
  });
});
