// The page around the plug-in: loads the program and the font, plays the
// playlist's sound and asks for a frame every 25 ms of it, lists the
// entries, takes dropped audio files (the browser decodes them) and draws the
// canvas as large as the window on request. window.zephyrdomePage is what a
// test or a curious reader can look at: the frame statistics and the player.
'use strict';

const frameDelayMs = 25; // the plug-in's frame delay
// A page has no file beside the plug-in, so it looks in Winamp's plug-in
// folder, which is a relative name in the program's file system.
const fontPath = '/c:\\program files\\winamp\\plugins\\fontGray.tga';

// The mean of the last 40 times, `t` included.
function average(times, t) {
  times.push(t);
  if (times.length > 40) times.shift();
  return times.reduce((a, b) => a + b, 0) / times.length;
}

class Player {
  constructor(zd) {
    this.zd = zd;
    this.audio = null;
    this.buffers = new Map();
    this.source = null;
    this.entry = 0;
    this.positionMs = 0; // where the entry plays
    this.paused = false;
    this.lastClock = null;
    this.lastFrame = -1;
    this.stats = { frames: 0, frameMs: 0, cpuMs: 0, fps: 0, entry: 0, recent: [], renderTimes: [], cpuTimes: [] };
  }

  // Moves the position on by the sound's own clock while it runs, by the
  // page's clock otherwise (no sound yet, or a device that plays nothing).
  advanceClock() {
    const page = performance.now();
    const sound = this.audio && this.audio.state === 'running' ? this.audio.currentTime * 1000 : null;
    const last = this.lastClock;
    this.lastClock = { page, sound };
    if (!last || this.paused) return;
    const bySound = sound !== null && last.sound !== null && sound > last.sound;
    this.positionMs += bySound ? sound - last.sound : page - last.page;
  }

  position() {
    return this.positionMs;
  }

  entryCount() { return this.zd._zdPlayerEntryCount(); }

  durationMs(entry) {
    const rate = this.zd._zdPlayerClipRate(entry);
    return rate ? this.zd._zdPlayerClipFrames(entry) * 1000 / rate : 0;
  }

  // The entry's sound as the program holds it, so what is heard is what is analysed.
  buffer(entry) {
    if (this.buffers.has(entry)) return this.buffers.get(entry);
    const zd = this.zd;
    const frames = zd._zdPlayerClipFrames(entry), channels = zd._zdPlayerClipChannels(entry);
    const samples = new Int16Array(zd.HEAP16.buffer, zd._zdPlayerClipSamples(entry), frames * channels);
    const buffer = new AudioBuffer({ numberOfChannels: channels, length: Math.max(frames, 1),
                                     sampleRate: zd._zdPlayerClipRate(entry) });
    for (let c = 0; c < channels; ++c) {
      const data = buffer.getChannelData(c);
      for (let i = 0; i < frames; ++i) data[i] = samples[i * channels + c] / 32768;
    }
    this.buffers.set(entry, buffer);
    return buffer;
  }

  ensureAudio() {
    if (!this.audio) this.audio = new AudioContext();
    if (this.audio.state === 'suspended') this.audio.resume();
  }

  stopSound() {
    if (this.source) { this.source.onended = null; this.source.stop(); this.source = null; }
  }

  play(entry, fromMs = 0) {
    this.stopSound();
    this.entry = entry;
    this.zd._zdPlayerPlayEntry(entry);
    if (this.audio && this.audio.state === 'running') {
      this.source = this.audio.createBufferSource();
      this.source.buffer = this.buffer(entry);
      this.source.connect(this.audio.destination);
      this.source.start(0, fromMs / 1000);
    }
    this.positionMs = fromMs;
    this.paused = false;
    this.lastFrame = Math.floor(fromMs / frameDelayMs) - 1;
    this.onEntry(entry);
  }

  togglePause() {
    if (!this.paused) { this.paused = true; this.stopSound(); }
    else this.play(this.entry, this.positionMs);
  }

  stop() { this.stopSound(); this.paused = true; this.positionMs = 0; }

  step(by) { const n = this.entryCount(); this.play((this.entry + by + n) % n); }

  onPlayerKey(key) {
    const actions = { 32: () => this.togglePause(), 90: () => this.step(-1), 88: () => this.play(this.entry),
                      86: () => this.stop(), 78: () => this.step(1), 27: () => leaveFullWindow() };
    if (actions[key]) actions[key]();
  }

  // Called on every animation frame: draws the frame that is due, if any.
  tick() {
    let key;
    while ((key = this.zd._zdPlayerTakeKey())) this.onPlayerKey(key);
    this.advanceClock();
    const position = this.position();
    if (!this.paused && position >= this.durationMs(this.entry)) return this.step(1);
    const due = Math.floor(position / frameDelayMs);
    // Paused, the picture goes on turning, silent, every 25 ms of the page's clock.
    if (this.paused ? performance.now() - this.pausedTick < frameDelayMs : due <= this.lastFrame) return;
    this.pausedTick = performance.now();
    this.lastFrame = due;
    const started = performance.now();
    const playing = this.zd._zdPlayerFrame(this.entry, due * frameDelayMs, this.paused ? 1 : 0);
    this.finishFrame(started, performance.now());
    if (playing >= 0 && playing !== this.entry) this.play(playing);
  }

  // Every tenth frame waits for WebGL to finish (a one-pixel read), so its
  // time is the whole frame's; the others run on while WebGL draws.
  finishFrame(started, drawn) {
    const gl = this.zd.ctx;
    const s = this.stats;
    if (gl && s.frames % 10 === 0) {
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
      s.frameMs = average(s.renderTimes, performance.now() - started);
    }
    const done = performance.now();
    s.frames += 1;
    s.entry = this.entry;
    s.cpuMs = average(s.cpuTimes, drawn - started);
    s.recent.push(done);
    while (s.recent.length && done - s.recent[0] > 1000) s.recent.shift();
    s.fps = s.recent.length;
  }
}

function listTitles(player) {
  const list = document.getElementById('titles');
  list.textContent = '';
  const titles = player.titles;
  titles.forEach((title, i) => {
    const item = document.createElement('li');
    item.textContent = title;
    item.addEventListener('click', () => { player.ensureAudio(); player.play(i); });
    list.appendChild(item);
  });
  player.onEntry = (entry) => {
    [...list.children].forEach((item, i) => item.classList.toggle('playing', i === entry));
  };
  player.onEntry(player.entry);
}

// The file's own sample rate where the file says it plainly (WAV), so the
// samples are the file's; other files are decoded at 44.1 kHz.
function wavRate(bytes) {
  const view = new DataView(bytes);
  const tag = (at) => String.fromCharCode(...new Uint8Array(bytes, at, 4));
  if (bytes.byteLength < 28 || tag(0) !== 'RIFF' || tag(8) !== 'WAVE' || tag(12) !== 'fmt ') return 0;
  return view.getUint32(24, true);
}

async function addFile(player, file) {
  const bytes = await file.arrayBuffer();
  const rate = wavRate(bytes) || 44100;
  const decoder = new OfflineAudioContext({ numberOfChannels: 2, length: 1, sampleRate: rate });
  const audio = await decoder.decodeAudioData(bytes);
  const channels = audio.numberOfChannels, frames = audio.length, zd = player.zd;
  const interleaved = zd._malloc(frames * channels * 4);
  const heap = new Float32Array(zd.HEAPF32.buffer, interleaved, frames * channels);
  for (let c = 0; c < channels; ++c) {
    const data = audio.getChannelData(c);
    for (let i = 0; i < frames; ++i) heap[i * channels + c] = data[i];
  }
  const entry = zd.ccall('zdPlayerAddFile', 'number', ['string', 'number', 'number', 'number', 'number'],
                         [file.name, interleaved, frames, channels, audio.sampleRate]);
  zd._free(interleaved);
  return entry;
}

async function dropFiles(player, files) {
  const status = document.getElementById('status');
  let first = -1;
  for (const file of files) {
    try {
      const entry = await addFile(player, file);
      if (entry === 0) { player.titles = []; player.buffers.clear(); }
      player.titles.push(file.name);
      if (first < 0) first = entry;
    } catch (e) {
      status.textContent = `${file.name}: the browser cannot decode it`;
    }
  }
  listTitles(player);
  if (first >= 0) { player.ensureAudio(); player.play(first); }
}

function fitCanvas() {
  const canvas = document.getElementById('zephyrdome');
  if (!document.body.classList.contains('full')) { canvas.style.width = canvas.style.height = ''; return; }
  const scale = Math.min(window.innerWidth / canvas.width, window.innerHeight / canvas.height);
  canvas.style.width = `${Math.floor(canvas.width * scale)}px`;
  canvas.style.height = `${Math.floor(canvas.height * scale)}px`;
}

function leaveFullWindow() { document.body.classList.remove('full'); fitCanvas(); }

function wirePage(player) {
  document.getElementById('full').addEventListener('click', () => {
    document.body.classList.add('full');
    fitCanvas();
  });
  window.addEventListener('resize', fitCanvas);
  window.addEventListener('dragover', (e) => { e.preventDefault(); document.body.classList.add('dropping'); });
  window.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  window.addEventListener('drop', (e) => {
    e.preventDefault();
    document.body.classList.remove('dropping');
    dropFiles(player, [...e.dataTransfer.files]);
  });
  // Browsers start sound only after a gesture: the first key or click starts it.
  const start = () => { if (!player.audio) { player.ensureAudio(); player.play(player.entry, player.position()); } };
  window.addEventListener('keydown', start);
  window.addEventListener('mousedown', start);
}

async function startPage() {
  const status = document.getElementById('status');
  const font = new Uint8Array(await (await fetch('fontGray.tga')).arrayBuffer());
  const zd = await createZephyrdome({ printErr: (line) => { status.textContent = line; } });
  zd.FS.writeFile(fontPath, font);
  zd.callMain([]);
  const player = new Player(zd);
  player.titles = [];
  for (let i = 0; i < player.entryCount(); ++i)
    player.titles.push(zd.UTF8ToString(zd._zdPlayerTitle(i)).split('\\').pop());
  listTitles(player);
  wirePage(player);
  player.play(0);
  status.textContent = '';
  // The status line changes once a second: redrawing the page costs the
  // same rasterizer the frames need.
  let shown = 0;
  const loop = () => {
    player.tick();
    if (performance.now() - shown > 1000 && player.stats.frameMs > 0) {
      shown = performance.now();
      status.textContent = `${player.stats.fps} frames/s, ${player.stats.frameMs.toFixed(1)} ms a frame`;
    }
    requestAnimationFrame(loop);
  };
  requestAnimationFrame(loop);
  window.zephyrdomePage = { player, stats: player.stats, dropFiles: (files) => dropFiles(player, files) };
}

startPage();
