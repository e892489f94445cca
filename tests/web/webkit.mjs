// WebKitGTK for the browser tests: MiniBrowser on a private Xvfb display,
// driven by WebKitWebDriver over W3C WebDriver, spoken as plain HTTP from
// node's own fetch. It emulates no device; GTK's scale of the display gives
// it whole pixel ratios. Each page is a session of its own, a fresh MiniBrowser
// with its own storage, and offers the part of puppeteer's Page that the game
// suite uses, so that one suite runs in every engine.
import { spawn } from 'node:child_process';
import { existsSync, readdirSync } from 'node:fs';
import { createServer } from 'node:net';
import { setTimeout as sleep } from 'node:timers/promises';

const Driver = process.env.PELLORIN_WEBKITDRIVER || 'WebKitWebDriver';
// Debian keeps MiniBrowser beside the library, under the machine's triplet.
const MiniBrowser = process.env.PELLORIN_MINIBROWSER || readdirSync('/usr/lib')
  .filter((triplet) => triplet.endsWith('-linux-gnu'))
  .flatMap((triplet) => ['4.1', '4.0'].map((api) => `/usr/lib/${triplet}/webkit2gtk-${api}/MiniBrowser`))
  .find(existsSync);

// The keys of puppeteer's names that the suite types, as WebDriver's code points.
const Keys = { Alt: '\uE00A', Control: '\uE009', Shift: '\uE008', Escape: '\uE00C', Enter: '\uE007',
               ArrowUp: '\uE013', ArrowDown: '\uE015' };
const keyValue = (name) => Keys[name] || (/^Key[A-Z]$/.test(name) ? name.slice(3).toLowerCase() : name);
const Buttons = { left: 0, middle: 1, right: 2, back: 3, forward: 4 };

function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    }).on('error', reject);
  });
}

// Resolves with the first line a process writes to a stream, or rejects when
// it ends first.
function firstLine(process, stream) {
  return new Promise((resolve, reject) => {
    let text = '';
    stream.setEncoding('utf8').on('data', (chunk) => {
      text += chunk;
      if (text.includes('\n'))
        resolve(text.split('\n')[0].trim());
    });
    process.once('exit', (code) => reject(new Error(`${process.spawnfile} ended (${code}) before it was ready`)));
  });
}

// An X display far above those that other servers count up from, so that a
// display left behind elsewhere is not taken over; Xvfb names it when ready.
async function startXvfb() {
  for (let attempt = 1; ; ++attempt) {
    const number = 1000 + Math.floor(Math.random() * 29000);
    const xvfb = spawn('Xvfb', [`:${number}`, '-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp',
                                '-auth', '/dev/null'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    try {
      if (await firstLine(xvfb, xvfb.stdio[3]) === String(number))
        return { xvfb, display: `:${number}` };
    } catch (error) {
      if (attempt === 3)
        throw error;
    }
    xvfb.kill();
  }
}

// A new session starts a MiniBrowser, in a second or two, or in tens of
// seconds on a loaded machine; one that has not come up by then never will,
// and its driver would wait on it for good.
const SessionDeadlineMs = 90000;
const SessionAttempts = 3;

export class WebKitBrowser {
  // scale: GTK's whole scale of the display, which WebKit takes for its
  // device pixel ratio.
  static async launch({ scale = 1 } = {}) {
    const browser = new WebKitBrowser();
    browser.scale = scale;
    ({ xvfb: browser.xvfb, display: browser.display } = await startXvfb());
    await browser.startDriver();
    return browser;
  }

  // The driver leads a process group of its own, with the MiniBrowsers and
  // web processes it starts, so that one that hangs goes with them all.
  async startDriver() {
    const port = await freePort();
    this.driver = spawn(Driver, [`--port=${port}`], {
      env: { ...process.env, DISPLAY: this.display, GDK_SCALE: String(this.scale) },
      stdio: ['ignore', 'ignore', 'pipe'], detached: true,
    });
    this.base = `http://127.0.0.1:${port}`;
    this.driver.stderr.resume();
    // The driver answers its status once it listens, and says it is ready
    // once it can start a session; until then it is polled, not spun on.
    for (const deadline = Date.now() + 20000; ;) {
      let why;
      try {
        const { value } = await (await fetch(`${this.base}/status`)).json();
        if (value.ready)
          return;
        why = `not ready: ${value.message}`;
      } catch (notListening) {
        why = notListening.message;
      }
      if (Date.now() > deadline || this.driver.exitCode !== null) {
        await this.close();
        throw new Error(`WebKitWebDriver did not start: ${why}`);
      }
      await sleep(50);
    }
  }

  async stopDriver() {
    const driver = this.driver;
    if (driver.exitCode !== null || driver.signalCode !== null)
      return;
    const exited = new Promise((resolve) => driver.once('exit', resolve));
    try {
      process.kill(-driver.pid, 'SIGKILL');
    } catch (gone) {
      driver.kill('SIGKILL');
    }
    await exited;
  }

  async command(method, path, body, signal) {
    const response = await fetch(`${this.base}${path}`, {
      method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body), signal,
    });
    const { value } = await response.json();
    if (value && value.error)
      throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
    return value;
  }

  // A page in a new session. A MiniBrowser that never comes up takes its
  // driver with it: a new driver tries again, and says so.
  async newPage(size) {
    for (let attempt = 1; ; ++attempt) {
      try {
        return await this.openSession(size);
      } catch (error) {
        if (attempt === SessionAttempts)
          throw error;
        console.error(`WebKitWebDriver: no session (${error.message}); starting it again`);
        await this.stopDriver();
        await this.startDriver();
      }
    }
  }

  async openSession({ width, height }) {
    const { sessionId } = await this.command('POST', '/session', { capabilities: { alwaysMatch: {
      browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { binary: MiniBrowser, args: ['--automation'] },
      timeouts: { script: 120000, pageLoad: 60000 },
    } } }, AbortSignal.timeout(SessionDeadlineMs));
    const page = new WebKitPage(this, `/session/${sessionId}`);
    // The window's outer size holds the viewport asked for, and the frame's.
    await page.command('POST', '/window/rect', { width, height });
    const inner = await page.evaluate(() => [innerWidth, innerHeight]);
    await page.command('POST', '/window/rect', { width: 2 * width - inner[0], height: 2 * height - inner[1] });
    return page;
  }

  async close() {
    await this.stopDriver();
    const { xvfb } = this;
    if (xvfb.exitCode === null && xvfb.signalCode === null)
      await new Promise((resolve) => { xvfb.once('exit', resolve); xvfb.kill(); });
  }
}

// The page of one session, with puppeteer's names for what it does.
export class WebKitPage {
  constructor(browser, session) {
    this.browser = browser;
    this.session = session;
    this.errors = [];
    this.mouse = {
      move: (x, y) => this.pointer([{ type: 'pointerMove', x: Math.round(x), y: Math.round(y) }]),
      down: ({ button = 'left' } = {}) => this.pointer([{ type: 'pointerDown', button: Buttons[button] }]),
      up: ({ button = 'left' } = {}) => this.pointer([{ type: 'pointerUp', button: Buttons[button] }]),
      click: (x, y, { button = 'left' } = {}) => this.pointer([
        { type: 'pointerMove', x: Math.round(x), y: Math.round(y) },
        { type: 'pointerDown', button: Buttons[button] }, { type: 'pointerUp', button: Buttons[button] }]),
    };
    const keys = (...types) => (name) => this.actions([{ type: 'key', id: 'keyboard',
                                                           actions: types.map((type) => ({ type, value: keyValue(name) })) }]);
    this.keyboard = { down: keys('keyDown'), up: keys('keyUp'), press: keys('keyDown', 'keyUp') };
  }

  command(method, path, body) {
    return this.browser.command(method, `${this.session}${path}`, body);
  }

  actions(actions) {
    return this.command('POST', '/actions', { actions });
  }

  pointer(actions) {
    return this.actions([{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions }]);
  }

  // Runs a function in the page with JSON arguments and hands back its JSON
  // result, awaited; undefined comes back as undefined.
  async evaluate(fn, ...args) {
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve().then(() => (${fn})(...${JSON.stringify(args)}))
        .then((value) => done({ value, undefined: value === undefined }), (error) => done({ error: String(error) }));`;
    const result = await this.command('POST', '/execute/async', { script, args: [] });
    if (result.error)
      throw new Error(result.error);
    return result.undefined ? undefined : result.value;
  }

  // Waits until a function of the page returns something true, testing it at
  // each frame, with a deadline that only a hang reaches. Returns a handle
  // on the value, as puppeteer does.
  async waitForFunction(fn, { timeout = 30000 } = {}, ...args) {
    const value = await this.evaluate((source, args, timeout) => new Promise((resolve, reject) => {
      const test = new Function(`return (${source})(...arguments)`); // eslint-disable-line no-new-func
      const deadline = performance.now() + timeout;
      const poll = async () => {
        const value = await test(...args);
        // Data comes back as it is: a value, or an object or array of
        // values and arrays of values; anything else, such as the game's
        // module, as true.
        const data = (v, depth) => typeof v !== 'object' || v === null
          || (depth < 2 && (Array.isArray(v) || Object.getPrototypeOf(v) === Object.prototype)
              && Object.values(v).every((item) => typeof item !== 'function' && data(item, depth + 1)));
        const plain = data(value, 0);
        if (value)
          resolve(plain ? value : true);
        else if (performance.now() > deadline)
          reject(new Error('waitForFunction: timed out'));
        else
          requestAnimationFrame(poll);
      };
      poll().catch(reject);
    }), String(fn), args, timeout);
    return { jsonValue: async () => value };
  }

  $eval(selector, fn, ...args) {
    return this.evaluate((selector, source, args) => new Function(`return (${source})(...arguments)`)(document.querySelector(selector), ...args), selector, String(fn), args); // eslint-disable-line no-new-func
  }

  $$eval(selector, fn, ...args) {
    return this.evaluate((selector, source, args) => new Function(`return (${source})(...arguments)`)([...document.querySelectorAll(selector)], ...args), selector, String(fn), args); // eslint-disable-line no-new-func
  }

  async click(selector) {
    const element = await this.command('POST', '/element', { using: 'css selector', value: selector });
    await this.command('POST', `/element/${Object.values(element)[0]}/click`, {});
  }

  title() {
    return this.command('GET', '/title');
  }

  goto(url) {
    return this.command('POST', '/url', { url });
  }

  reload() {
    return this.command('POST', '/refresh', {});
  }

  close() {
    return this.command('DELETE', '');
  }
}
