// Drives headless Firefox through its own WebDriver BiDi with puppeteer-core, for
// harness/browser.py: one request per line on standard input, one answer per line on
// standard output, both JSON. Debian has no geckodriver, so this stands where it would.
//   {"op": "launch", "firefox": PATH, "profile": DIR, "width": W, "height": H} first, then
//   goto, reload, evaluate, keys, move, down, up, wheel, touch, viewport, screenshot, close.
'use strict';
const puppeteer = require('puppeteer-core');
const readline = require('readline');

let browser = null;
let page = null;
// The browser's own names for the harness's keys.
const KEYS = { Return: 'Enter', Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft', Right: 'ArrowRight' };
const pause = ms => new Promise(done => setTimeout(done, ms));

const ops = {
  async launch(a) {
    browser = await puppeteer.launch({
      browser: 'firefox', executablePath: a.firefox, headless: true, userDataDir: a.profile,
      // A machine without network: no update, telemetry or safe-browsing requests.
      extraPrefsFirefox: { 'app.update.enabled': false, 'browser.safebrowsing.malware.enabled': false,
                           'browser.safebrowsing.phishing.enabled': false, 'datareporting.policy.dataSubmissionEnabled': false,
                           'network.captive-portal-service.enabled': false, 'network.connectivity-service.enabled': false,
                           // Firefox's driver cannot yet say that the screen takes touches; this does.
                           ...(a.touch ? { 'dom.maxtouchpoints.testing.value': 5, 'dom.w3c_touch_events.enabled': 1 } : {}) },
    });
    page = (await browser.pages())[0] || await browser.newPage();
    await page.setViewport({ width: a.width, height: a.height });
    return (await browser.version());
  },
  async viewport(a) {
    await page.setViewport({ width: a.width, height: a.height, deviceScaleFactor: a.ratio || 1,
                             isMobile: !!a.touch, hasTouch: !!a.touch });
  },
  async goto(a) { await page.goto(a.url, { waitUntil: 'load' }); },
  async reload() { await page.reload({ waitUntil: 'load' }); },
  // The body of a function, as WebDriver's execute script takes it, called with the arguments.
  async evaluate(a) {
    return page.evaluate((code, args) => new Function(code).apply(window, args), a.code, a.args || []);
  },
  async keys(a) {
    for (const name of a.names) {
      await page.keyboard.press(KEYS[name] || name);
      if (a.delay) await pause(a.delay);
    }
  },
  async screenshot() { return page.screenshot({ encoding: 'base64' }); },
  async move(a) { await page.mouse.move(a.x, a.y); },
  async down() { await page.mouse.down(); },
  async up() { await page.mouse.up(); },
  // The wheel turned by dy pixels (down when positive) with the pointer at x, y.
  async wheel(a) {
    await page.mouse.move(a.x, a.y);
    await page.mouse.wheel({ deltaY: a.dy });
  },
  // One finger down on the first point, on through the others, and up.
  async touch(a) {
    const [first, ...rest] = a.points;
    const finger = await page.touchscreen.touchStart(first[0], first[1]);
    for (const [x, y] of rest) await finger.move(x, y);
    await finger.end();
  },
  async close() {
    if (browser) await browser.close();
    browser = null;
  },
};

const lines = readline.createInterface({ input: process.stdin });
let queue = Promise.resolve();
lines.on('line', line => {
  queue = queue.then(async () => {
    const request = JSON.parse(line);
    let answer;
    try {
      const value = await ops[request.op](request);
      answer = { value: value === undefined ? null : value };
    } catch (error) {
      answer = { error: String(error && error.message || error) };
    }
    process.stdout.write(JSON.stringify(answer) + '\n');
    if (request.op === 'close') process.exit(0);
  });
});
// The harness gone: the browser goes too.
lines.on('close', () => { queue.then(() => ops.close()).finally(() => process.exit(0)); });
