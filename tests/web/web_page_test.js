// Runs in headless Chromium for web_page_test.mjs and posts what it found to /result.
'use strict';

const log = (line) => fetch('/log', { method: 'POST', body: String(line) });
const fetchBytes = async (path) => new Uint8Array(await (await fetch(path)).arrayBuffer());
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const channelStep = 24; // a pixel differs when one channel is off by more than this

async function decodePng(bytes) {
  const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }),
                                         { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
  const context = canvas.getContext('2d', { willReadFrequently: true });
  context.drawImage(bitmap, 0, 0);
  return context.getImageData(0, 0, bitmap.width, bitmap.height).data;
}

function difference(a, b) {
  if (a.length !== b.length) return { differing: 1, mean: 255 };
  let differing = 0, sum = 0;
  for (let i = 0; i < a.length; i += 4) {
    const d = Math.max(Math.abs(a[i] - b[i]), Math.abs(a[i + 1] - b[i + 1]), Math.abs(a[i + 2] - b[i + 2]));
    if (d > channelStep) differing += 1;
    sum += Math.abs(a[i] - b[i]) + Math.abs(a[i + 1] - b[i + 1]) + Math.abs(a[i + 2] - b[i + 2]);
  }
  const pixels = a.length / 4;
  return { differing: differing / pixels, mean: sum / (pixels * 3) };
}

async function loadProgram() {
  const zd = await createZephyrdome({ locateFile: (file) => `/site/${file}`, print: log, printErr: log });
  const font = await fetchBytes('/site/fontGray.tga');
  zd.FS.writeFile('/c:\\program files\\winamp\\plugins\\fontGray.tga', font);
  return zd;
}

// The recording and script replayed by the page's program, every frame against the native one.
async function parity() {
  const { script, parts, seconds, keepFrames } = await (await fetch('/work/script.json')).json();
  const zd = await loadProgram();
  zd.FS.writeFile('/demo.zdvis', await fetchBytes('/work/demo.zdvis'));
  const started = performance.now();
  const status = zd.callMain(['render', '--quiet', '--vis-in', '/demo.zdvis', ...script, '-o', '/frames/']);
  const renderMs = performance.now() - started;
  if (status !== 0) throw new Error(`render in the page ended with ${status}`);
  const names = zd.FS.readdir('/frames').filter((n) => n.endsWith('.png')).sort();
  const summary = parts.slice(0, -1).map(([, name]) => ({ name, frames: 0, worstDiffering: 0, worstMean: 0, worstFrame: -1 }));
  for (let n = 0; n < names.length; ++n) {
    const ms = n * 25;
    const part = parts.findIndex(([start], i) => ms >= start * 1000 && ms < parts[i + 1]?.[0] * 1000);
    if (part < 0 || part >= summary.length) continue;
    const png = zd.FS.readFile(`/frames/${names[n]}`);
    if (keepFrames) await fetch(`/frame/${names[n]}`, { method: 'POST', body: btoa(Array.from(png, (b) => String.fromCharCode(b)).join('')) });
    const web = await decodePng(png);
    const native = await decodePng(await fetchBytes(`/work/native/${names[n]}`));
    const d = difference(web, native);
    const s = summary[part];
    s.frames += 1;
    if (d.differing > s.worstDiffering) { s.worstDiffering = d.differing; s.worstFrame = n; }
    s.worstMean = Math.max(s.worstMean, d.mean);
  }
  return { frames: names.length, renderMs, parts: summary, seconds };
}

async function openPage() {
  const frame = document.getElementById('page');
  frame.src = '/site/index.html';
  for (let i = 0; i < 600 && !frame.contentWindow.zephyrdomePage; ++i) await sleep(50);
  if (!frame.contentWindow.zephyrdomePage) throw new Error('the page never started');
  return frame.contentWindow;
}

// The page's own demo: it plays (frames keep coming, however slowly a loaded
// machine draws them), and its frame rate and time over `seconds`.
async function live(page, seconds) {
  const stats = page.zephyrdomePage.stats;
  await sleep(500);
  const frames = stats.frames, started = performance.now();
  await sleep(seconds * 1000);
  for (let i = 0; i < 600 && stats.frames - frames < 5; ++i) await sleep(100);
  const fps = Math.round((stats.frames - frames) * 1000 / (performance.now() - started));
  return { frames: stats.frames - frames, fps, frameMs: stats.frameMs, cpuMs: stats.cpuMs };
}

const until = async (test) => {
  for (let i = 0; i < 300 && !test(); ++i) await sleep(50);
  return test();
};

function press(page, keyCode) {
  for (const type of ['keydown', 'keyup'])
    page.document.dispatchEvent(new page.KeyboardEvent(type, { keyCode, which: keyCode, bubbles: true }));
}

// In full window the canvas is drawn larger: a click on the second title of
// the plug-in's panel (client pixels 300,40) must still pick it; Space, which
// the plug-in passes on to its host, pauses and resumes; Escape leaves full window.
async function input(page) {
  const player = page.zephyrdomePage.player;
  page.document.getElementById('full').click();
  const canvas = page.document.getElementById('zephyrdome');
  const box = canvas.getBoundingClientRect();
  const at = { clientX: box.left + 300 * box.width / canvas.width, clientY: box.top + 40 * box.height / canvas.height,
               button: 0, bubbles: true };
  for (const type of ['mousedown', 'mouseup']) canvas.dispatchEvent(new page.MouseEvent(type, at));
  const clicked = (await until(() => player.entry === 1)) && box.width > canvas.width;
  press(page, 32);
  const paused = await until(() => player.paused);
  press(page, 32);
  const resumed = await until(() => !player.paused);
  press(page, 27);
  const left = await until(() => !page.document.body.classList.contains('full'));
  return { clicked, paused, resumed, left };
}

// A WAV file dropped on the page: listed, played, analysed into the native bytes.
async function drop(page) {
  const bytes = await fetchBytes('/work/tone.wav');
  const transfer = new page.DataTransfer();
  transfer.items.add(new page.File([bytes], 'tone.wav', { type: 'audio/wav' }));
  page.dispatchEvent(new page.DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  const player = page.zephyrdomePage.player;
  for (let i = 0; i < 200 && !player.titles.includes('tone.wav'); ++i) await sleep(50);
  const titles = [...page.document.querySelectorAll('#titles li')].map((li) => li.textContent);
  const entry = player.titles.indexOf('tone.wav');
  const before = page.zephyrdomePage.stats.frames;
  await sleep(500);
  const playing = entry >= 0 && player.entry === entry && page.zephyrdomePage.stats.frames > before;
  const native = await fetchBytes('/work/tone.zdvis');
  const count = new DataView(native.buffer).getUint32(12, true);
  let differingBytes = 0, maxByteDifference = 0;
  const zd = player.zd;
  for (let n = 0; n < count; ++n) {
    const web = new Uint8Array(zd.HEAPU8.buffer, zd._zdPlayerAnalyze(entry, n * 25), 1152).slice();
    const expected = native.subarray(16 + n * 1152, 16 + (n + 1) * 1152);
    for (let i = 0; i < 1152; ++i) {
      const d = Math.abs(web[i] - expected[i]);
      if (d) differingBytes += 1;
      maxByteDifference = Math.max(maxByteDifference, d);
    }
  }
  return { titles, listed: titles.includes('tone.wav'), playing, bytes: count * 1152, differingBytes, maxByteDifference };
}

(async () => {
  let result;
  try {
    const { benchSeconds } = await (await fetch('/work/script.json')).json();
    if (benchSeconds) {
      result = { live: await live(await openPage(), benchSeconds) };
    } else {
      const parityResult = await parity();
      const page = await openPage();
      result = { parity: parityResult, live: await live(page, 2), input: await input(page), drop: await drop(page) };
    }
  } catch (e) {
    result = { error: `${e.message}\n${e.stack}` };
  }
  await fetch('/result', { method: 'POST', body: JSON.stringify(result) });
})();
