"""The browser build in headless Chromium, driven through selenium as a person would: the
browser suite (tests/web) and tools/measure-web use it. Debian's Python carries selenium.

It answers the same calls as a game in xsession (key, point, click, capture,
wait_for), so the real-window suite's steps run on the page as well.
"""

import base64
import os
import subprocess
import sys

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from .xsession import Capture, Game, poll

KEYS = {"Return": Keys.ENTER, "Tab": Keys.TAB, "Escape": Keys.ESCAPE, "Up": Keys.ARROW_UP,
        "Down": Keys.ARROW_DOWN, "Left": Keys.ARROW_LEFT, "Right": Keys.ARROW_RIGHT}
# Runs before the page's own scripts: notes the time of every copy of the screen to a canvas.
COPY_CLOCK = """window.canvasCopies = [];
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function () {
  window.canvasCopies.push(performance.now()); return put.apply(this, arguments); };"""
CANVAS_PIXELS = """const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 640, 480).data;
let s = ''; for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
return btoa(s);"""

# Runs before the page's own scripts: navigator.getGamepads lists eight places, as
# Chromium's does, most of them empty. padSay takes the lines of the real-window suite's
# pretend pads: pad p is the p-th to open, at places 1, 4 and 6; "pads 3" also plugs in a
# fourth, at 7, which must be left out. A button is held for 200 ms.
PRETEND_PADS = """window.pretendPads = new Array(8).fill(null);
window.padSay = line => {
  const [pad, kind, which, value] = line.split(' '), places = [1, 4, 6, 7], now = performance.now();
  if (pad == 'pads') return places.slice(0, kind == 3 ? 4 : kind).forEach(n => pretendPads[n] = pretendPads[n] ||
    {id: 'pretend pad ' + n, index: n, connected: true, mapping: 'standard', timestamp: now, axes: [0, 0, 0, 0],
     buttons: [...Array(17)].map(() => ({pressed: false, value: 0}))});
  const p = pretendPads[places[pad]], b = p.buttons[which];
  p.timestamp = now;
  if (kind == 'axis') return p.axes[which] = value / 32767;
  b.pressed = true, b.value = 1;
  setTimeout(() => { b.pressed = false, b.value = 0, p.timestamp = performance.now(); }, 200);
};
navigator.getGamepads = () => pretendPads.slice();
padSay('pads 2');"""


class Browser:
    """A local server for the site and headless Chromium on the page."""

    wait_for, press = Game.wait_for, Game.press

    def __init__(self, site, workdir):
        self.server = subprocess.Popen([sys.executable, "-m", "http.server", "--bind", "127.0.0.1", "0"], cwd=site,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.url = "http://127.0.0.1:%s/" % self.server.stdout.readline().split(" port ")[1].split()[0]
        options = webdriver.ChromeOptions()
        for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         "--window-size=1400,1200", "--user-data-dir=" + os.path.join(workdir, "profile")):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": COPY_CLOCK})
        self.log = []

    def open(self, path=""):
        self.driver.get(self.url + path)
        self.canvas = self.driver.find_element("id", "screen") if not path else None

    def script(self, code, *arguments):
        return self.driver.execute_script(code, *arguments)

    def console(self):
        self.log += self.driver.get_log("browser")
        return self.log

    def key(self, *names, delay=40):
        actions = ActionChains(self.driver)
        for name in names:
            actions.send_keys(KEYS.get(name, name)).pause(delay / 1000)
        actions.perform()

    def point(self, x, y):
        # Selenium measures from the middle of the element, in page pixels.
        s = self.canvas.size["width"] // 640
        ActionChains(self.driver).move_to_element_with_offset(
            self.canvas, s * x + s // 2 - self.canvas.size["width"] // 2,
            s * y + s // 2 - self.canvas.size["height"] // 2).perform()

    def click(self):
        ActionChains(self.driver).click().perform()

    def phone(self, width, height):
        """From now on the page is on a phone's touch screen of width × height CSS pixels."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 2.625, "mobile": True})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def touch(self, *points):
        """One finger down on the first point (CSS pixels of the viewport), on through the
        others, and up."""
        for kind, at in [("touchStart", points[:1])] + [("touchMove", [p]) for p in points[1:]] + [("touchEnd", [])]:
            self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
                "type": kind, "touchPoints": [{"x": x, "y": y} for x, y in at]})

    def tablet(self):
        """From now on the page is on a tablet held in landscape, 1280×800 CSS pixels, touch on."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 1280, "height": 800, "deviceScaleFactor": 2, "mobile": True})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 10})

    def fingers(self, kind, points):
        """One touch event of that kind (touchStart, touchMove, touchEnd) carrying every finger
        still on the screen, {finger: (x, y)} in CSS pixels of the viewport."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"x": x, "y": y, "id": n} for n, (x, y) in points.items()]})

    def stroke(self, strokes, moves=6, lift=True):
        """Fingers put down at once, {finger: ((x, y), (dx, dy))}, then each drawn dx, dy CSS
        pixels in even moves, every move one event for all of them, and lifted together unless
        told not to; returns where the fingers are."""
        self.fingers("touchStart", {n: at for n, (at, _) in strokes.items()})
        for i in range(1, moves + 1):
            now = {n: (x + dx * i / moves, y + dy * i / moves) for n, ((x, y), (dx, dy)) in strokes.items()}
            self.fingers("touchMove", now)
        if lift:
            self.fingers("touchEnd", {})
        return now

    def box(self, element_id):
        return self.script("return document.getElementById(arguments[0]).getBoundingClientRect().toJSON()",
                           element_id)

    def tap(self, x, y):
        """A tap on the game's pixel (x, y)."""
        r = self.box("screen")
        self.touch((r["left"] + (x + 0.5) * r["width"] / 640, r["top"] + (y + 0.5) * r["height"] / 480))

    def tap_button(self, element_id):
        r = self.box(element_id)
        self.touch((r["left"] + r["width"] / 2, r["top"] + r["height"] / 2))

    def swipe(self, dx, dy, moves=6):
        """A finger drawn dx, dy CSS pixels from the middle of the canvas, in even moves."""
        r = self.box("screen")
        x, y = r["left"] + r["width"] / 2, r["top"] + r["height"] / 2
        self.touch(*[(x + dx * i / moves, y + dy * i / moves) for i in range(moves + 1)])

    def capture(self):
        rgba = base64.b64decode(self.script(CANVAS_PIXELS))
        rgb = bytearray(640 * 480 * 3)
        for channel in range(3):
            rgb[channel::3] = rgba[channel::4]
        return Capture(640, 480, bytes(rgb))

    def copies_since(self, start, enough, what, timeout=10):
        """The times of the screen's copies to the canvas after start, once enough(times)."""
        return poll(lambda: (lambda t: enough(t) and t)(self.script("return canvasCopies.filter(t => t > %f)" % start)),
                    timeout, what)

    def quit(self):
        self.driver.quit()
        self.server.terminate()
        self.server.wait()
