// Drives the web game in a real browser, headless Chromium or Firefox ESR
// through puppeteer-core or WebKitGTK through WebDriver: serves copies of the
// built site with tools/serve-web, and watches the page's timers and sounds
// from outside through wrappers installed before the page's own script runs.
import { spawn, spawnSync } from 'node:child_process';
import { cpSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { WebKitBrowser } from './webkit.mjs';

const top = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const builtSite = process.env.PELLORIN_SITE || join(top, 'build', 'web', 'site');
// The engines the game suite runs in, all three unless PELLORIN_ENGINES names some.
export const engines = (process.env.PELLORIN_ENGINES || 'chromium,firefox,webkit').split(',');

// The game's design values as the core hands them to the page (its sizes,
// the face colours of the pictures 1..6 in faces, the colour words, the
// board's and the keyboard frame's geometry), read from the first page a
// harness opens, so that no test types them again.
export let design = null;

// Ball k's home, in client pixels.
export function home(k) {
  const { margin, pitch, columns } = design.board;
  return { left: margin + pitch * ((k - 1) % columns), top: margin + pitch * Math.floor((k - 1) / columns) };
}

// Runs in the page before its scripts: counts the timers the game starts and
// their ticks, with each tick's time, records every cue that starts and stops
// playing, and counts the cue requests the page accepted and the fetches,
// reads and decodes of cue files still under way (cueWork), so that a test can
// wait until every cue request has come to its end, and how the game's
// module was compiled. A test may set
// watched.afterTick to act in the same turn as a tick, right after it, and
// may hold the ticks (watched.held): those that come due meanwhile are
// delivered, in order, once released, so that the game misses none. It keeps
// the audio contexts made, the event in whose handler each cue started
// (startedIn), marks each press, swap and cue start and the first frame
// with the board for the benchmark, and collects the page's errors, which
// WebDriver does not report.
function watch() {
  const active = new Set();
  window.watched = { active, started: 0, ticks: 0, tickTimes: [], played: [], stopped: 0, afterTick: null, cueWork: 0,
                     requested: 0, held: false, owed: 0, startedIn: [], contexts: [], errors: [] };
  const error = console.error;
  console.error = (...args) => { window.watched.errors.push(args.join(' ')); error.apply(console, args); };
  window.addEventListener('error', (event) => window.watched.errors.push(event.message));
  window.addEventListener('unhandledrejection', (event) => window.watched.errors.push(String(event.reason)));
  window.AudioContext = class extends AudioContext {
    constructor(...args) {
      super(...args);
      window.watched.contexts.push(this);
    }
  };
  document.addEventListener('pointerdown', () => performance.mark('press'), true);
  const counted = (promise) => {
    window.watched.cueWork++;
    const settled = () => { window.watched.cueWork--; };
    promise.then(settled, settled);
    return promise;
  };
  const fetch = window.fetch;
  window.fetch = (...args) => counted(fetch(...args));
  const arrayBuffer = Response.prototype.arrayBuffer;
  Response.prototype.arrayBuffer = function () { return counted(arrayBuffer.call(this)); };
  // How the game's module was compiled: streamed as it came, or from the
  // whole file, which a response without the wasm MIME type forces.
  const { instantiateStreaming, instantiate } = WebAssembly;
  WebAssembly.instantiateStreaming = (...args) => instantiateStreaming(...args).then((result) => {
    window.watched.compiled = 'streaming';
    return result;
  });
  WebAssembly.instantiate = (source, ...rest) => {
    if (!(source instanceof WebAssembly.Module))
      window.watched.compiled = 'whole';
    return instantiate(source, ...rest);
  };
  const decode = BaseAudioContext.prototype.decodeAudioData;
  BaseAudioContext.prototype.decodeAudioData = function (...args) { return counted(decode.apply(this, args)); };
  // The game's timers and cues, through what the page hands the game.
  const watchPage = (page) => {
    const { startTicking, stopTicking, play } = page;
    page.startTicking = (timer, interval, tick) => {
      active.add(timer);
      window.watched.started++;
      performance.mark('swap-start');
      startTicking(timer, interval, () => {
        const watched = window.watched;
        if (watched.held) {
          watched.owed++;
          return;
        }
        for (let due = watched.owed + 1; due > 0 && active.has(timer); --due) {
          watched.ticks++;
          const began = performance.now();
          watched.inTick = true;
          try {
            tick();
          } finally {
            watched.inTick = false;
          }
          watched.tickTimes.push(performance.now() - began);
          watched.afterTick?.();
        }
        watched.owed = 0;
      });
    };
    page.stopTicking = (timer) => {
      if (active.delete(timer))
        performance.mark('swap-end');
      stopTicking(timer);
    };
    page.play = (file) => {
      const accepted = play(file);
      window.watched.requested += accepted ? 1 : 0;
      return accepted;
    };
  };
  // The page hands out its game once the first board is drawn; the frame
  // after is the first one that shows it.
  let game;
  Object.defineProperty(window, 'pellorin', {
    get: () => game,
    set: (value) => {
      game = value;
      watchPage(game.page);
      requestAnimationFrame(() => performance.mark('board-shown'));
    },
  });
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) {
    window.watched.played.push(Math.round(this.buffer.duration * 1000));
    window.watched.startedIn.push(window.event?.type || null);
    performance.mark('cue-start');
    return start.apply(this, args);
  };
  const stop = AudioBufferSourceNode.prototype.stop;
  AudioBufferSourceNode.prototype.stop = function (...args) {
    window.watched.stopped++;
    return stop.apply(this, args);
  };
}

// Starts tools/serve-web on a folder; its log of requests goes to stderr
// ('pipe' or 'ignore'). Returns the server's process and its URL.
export async function serveFolder(folder, stderr) {
  const server = spawn('python3', [join(top, 'tools', 'serve-web'), folder], { stdio: ['ignore', 'pipe', stderr] });
  const url = await new Promise((resolve) => server.stdout.setEncoding('utf8').once('data', (line) => resolve(line.trim())));
  return { server, url };
}

// A private PulseAudio server whose only sink is a null sink, for a browser
// that plays through it: Firefox's audio contexts never run without one.
// Returns the server's process and its address.
async function startPulse(folder) {
  writeFileSync(join(folder, 'server.pa'), `load-module module-native-protocol-unix socket=${folder}/native auth-anonymous=1
load-module module-null-sink sink_name=speaker rate=48000 channels=2
set-default-sink speaker
`);
  const env = { ...process.env, HOME: folder, XDG_RUNTIME_DIR: folder, XDG_CONFIG_HOME: folder };
  const pulse = spawn('pulseaudio', ['--daemonize=no', '--exit-idle-time=-1', '--disallow-exit', '-n', '--use-pid-file=no',
                                     '--log-target=stderr', '--log-level=error', '-F', join(folder, 'server.pa')],
                      { env, stdio: 'ignore' });
  const address = `unix:${folder}/native`;
  // It says nothing when it is ready; it answers pactl then.
  for (const deadline = Date.now() + 10000; spawnSync('pactl', ['info'], { env: { ...process.env, PULSE_SERVER: address } }).status !== 0;) {
    if (Date.now() > deadline || pulse.exitCode !== null)
      throw new Error('PulseAudio did not start');
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return { pulse, address };
}

export class Harness {
  // Waits until the server's log of requests satisfies a condition: the log
  // reaches this process a little after the page has its answer.
  async logged(condition) {
    for (const deadline = Date.now() + 10000; !condition();) {
      if (Date.now() > deadline)
        throw new Error(`the server never logged it; its log:\n${this.requests.join('\n')}`);
      await new Promise((resolve) => {
        const timer = setTimeout(resolve, deadline - Date.now());
        this.server.stderr.once('data', () => { clearTimeout(timer); resolve(); });
      });
    }
  }

  // A harness for an engine, made at once so that a suite can hand it to its
  // tests before the browser is there; launch() starts the browser.
  constructor(engine = 'chromium') {
    this.engine = engine;
    this.pages = new Set();
    this.scaled = {};
  }

  static async start(engine = 'chromium') {
    return new Harness(engine).launch();
  }

  // Starts the server and the browser. Returns the harness.
  async launch() {
    this.root = mkdtempSync(join(tmpdir(), 'pellorin-web-'));
    ({ server: this.server, url: this.url } = await serveFolder(this.root, 'pipe'));
    this.requests = [];
    this.server.stderr.setEncoding('utf8').on('data', (text) => this.requests.push(...text.trim().split('\n')));
    if (this.engine === 'webkit')
      this.browser = await WebKitBrowser.launch();
    else if (this.engine === 'firefox') {
      mkdirSync(join(this.root, '.pulse'));
      const { pulse, address } = await startPulse(join(this.root, '.pulse'));
      this.pulse = pulse;
      this.browser = await puppeteer.launch({
        browser: 'firefox', protocol: 'webDriverBiDi', headless: true,
        executablePath: process.env.PELLORIN_FIREFOX || '/usr/bin/firefox-esr',
        env: { ...process.env, PULSE_SERVER: address },
      });
    }
    else
      this.browser = await puppeteer.launch({
        executablePath: process.env.PELLORIN_CHROMIUM || '/usr/bin/chromium',
        headless: true,
        protocolTimeout: 60000,
        args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
               '--disable-component-update', '--disable-sync', '--disable-features=Translate'],
      });
    return this;
  }

  async stop() {
    for (const [scale, browser] of Object.entries(this.scaled))
      if (scale !== '1')
        await browser.close();
    await this.browser.close();
    this.pulse?.kill();
    this.server.kill();
    rmSync(this.root, { recursive: true, force: true });
  }

  // A copy of the site (or of another built site) under its own folder, with
  // files replaced or removed ({ 'Bort.wav': bytes or null }). Returns the
  // folder.
  site(name, files = {}, from = builtSite) {
    const folder = join(this.root, name);
    cpSync(from, folder, { recursive: true });
    // WebDriver runs no script before the page's own: the watcher goes into
    // the page itself, ahead of its deferred scripts.
    if (this.engine === 'webkit') {
      const page = join(folder, 'index.html');
      writeFileSync(page, readFileSync(page, 'utf8').replace('<head>', `<head>\n<script>(${watch})();</script>`));
    }
    for (const [file, bytes] of Object.entries(files)) {
      if (bytes === null)
        rmSync(join(folder, file));
      else
        writeFileSync(join(folder, file), bytes);
    }
    return folder;
  }

  // Serves a site's folder on a server of its own, which a test may stop to
  // cut the network. Returns { url, stop() }.
  async serve(name) {
    const { server, url } = await serveFolder(join(this.root, name), 'ignore');
    const stopped = new Promise((resolve) => server.once('exit', resolve));
    return { url, stop: () => { server.kill(); return stopped; } };
  }

  // Opens a site's page in a fresh browser context and waits until the game
  // has drawn its board. Console errors and page errors are collected.
  // - device: { width, height, scale, touch }, a phone or a tablet with touch;
  // - url: the site's address on a server of its own (serve());
  // - profile: in the browser's own profile, the only one from which a site
  //   can be installed, instead of a fresh context;
  // - prepare(page): runs before the page is loaded.
  async open(name, { seed = 7, scale = 1, query = '', device = null, url = null, profile = false, prepare = null } = {}) {
    const address = `${url || `${this.url}${name}/`}?seed=${seed}${query && `&${query}`}`;
    let page;
    if (this.engine === 'webkit') {
      // WebKitGTK emulates no device: a desktop whose display has a whole
      // scale, in a browser of its own for each scale.
      if (device || !Number.isInteger(scale) || prepare)
        throw new Error('WebKitGTK has no device emulation');
      this.scaled[scale] ||= scale === 1 ? this.browser : await WebKitBrowser.launch({ scale });
      page = await this.scaled[scale].newPage({ width: 640, height: 560 });
      await page.goto(address);
    } else {
      const context = profile ? this.browser.defaultBrowserContext() : await this.browser.createBrowserContext();
      page = await context.newPage();
      page.errors = [];
      page.on('console', (message) => { if (message.type() === 'error') page.errors.push(message.text()); });
      page.on('pageerror', (error) => page.errors.push(error.message));
      await page.setViewport(device
        ? { width: device.width, height: device.height, deviceScaleFactor: device.scale, isMobile: device.touch,
            hasTouch: device.touch, isLandscape: device.width > device.height }
        : { width: 640, height: 560, deviceScaleFactor: scale });
      await page.evaluateOnNewDocument(watch);
      await prepare?.(page);
      await page.goto(address);
    }
    this.pages.add(page);
    await page.waitForFunction(() => window.pellorin);
    design ??= await page.evaluate(() => window.pellorin._pellorin_design
      && JSON.parse(window.pellorin.UTF8ToString(window.pellorin._pellorin_design())));
    page.board = await page.$eval('#board', (board) => {
      const { x, y, width, height } = board.getBoundingClientRect();
      return { x, y, width, height };
    });
    page.engine = this.engine;
    return page;
  }

  // Ends the pages opened so far, each with its browser context (WebKit's
  // pages are browsers of their own).
  async closePages() {
    for (const page of this.pages)
      await (this.engine === 'webkit' ? page.close() : page.browserContext().close()).catch(() => {});
    this.pages.clear();
  }
}

// The errors a page reported: the browser's console and the page's own.
export async function errors(page) {
  const own = await page.evaluate(() => window.watched.errors);
  return [...new Set([...page.errors, ...own])];
}

// A mouse action at a client point of the board.
export async function click(page, x, y, button = 'left') {
  await page.mouse.click(page.board.x + x, page.board.y + y, { button });
}

export async function moveTo(page, x, y) {
  await page.mouse.move(page.board.x + x, page.board.y + y);
}

export function colours(page) {
  return page.evaluate(() => Array.from({ length: 64 }, (_, i) => window.pellorin._pellorin_colour(i + 1)));
}

// Waits until the page's service worker has activated.
export function workerActivated(page) {
  return page.evaluate(() => navigator.serviceWorker.ready.then((registration) => new Promise((resolve) => {
    const worker = registration.active;
    if (worker.state === 'activated')
      resolve();
    else
      worker.addEventListener('statechange', () => worker.state === 'activated' && resolve());
  })));
}

// Waits until no interval runs: the swap, if any, has ended.
export function idle(page) {
  return page.waitForFunction(() => window.watched.active.size === 0, { timeout: 5000 });
}

// Waits until every cue request made so far has been fetched and decoded, or
// has failed: what it was going to play has started by then. Sound is set up
// after the first accepted request, which loads the cues.
export function cuesSettled(page) {
  return page.waitForFunction(() => window.watched.cueWork === 0
                              && (window.watched.requested === 0 || window.watched.contexts.length > 0), { timeout: 10000 });
}

// The canvas pixel [r, g, b] at each client point, read from its backing
// store: the device pixel under the client pixel's top left corner, or, with
// centre, under its middle.
export function pixels(page, points, { centre = false } = {}) {
  return page.evaluate((points, offset, clientWidth) => {
    const board = document.getElementById('board');
    const ratio = board.width / clientWidth;
    const context = board.getContext('2d');
    return points.map(([x, y]) => Array.from(context.getImageData(Math.floor((x + offset) * ratio), Math.floor((y + offset) * ratio), 1, 1).data.slice(0, 3)));
  }, points, centre ? 0.5 : 0, design.clientWidth);
}

// Where ball k's face is sampled: left of the faint diagonal second tone.
export function facePoint(k) {
  const { left, top } = home(k);
  return [left + 12, top + 14];
}
