"""The browser build in each of the three browser engines, driven as a person would: the
browser suite (tests/web) and tools/measure-web use it.

- Chromium: headless, through chromedriver and Debian's selenium;
- Firefox: Debian's firefox-esr, headless, through its own WebDriver BiDi with puppeteer-core
  (firefox_bridge.js; the install step puts puppeteer-core under build/web-npm);
- WebKit: WebKitGTK's MiniBrowser in a private X server, through WebKitWebDriver.

Each page answers the same calls as a game in xsession (key, point, click, capture,
wait_for), so the real-window suite's steps run on the page as well. Each run has its own
server on a fresh port and its own browser profile, so no worker from an earlier run answers.
"""

import base64
import functools
import http.server
import json
import os
import socket
import subprocess
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.keys import Keys

from .xsession import Capture, Failure, Game, XServer, die_with_parent, poll, stop_process

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
NODE_MODULES = os.path.join(SOURCE, "build", "web-npm", "node_modules")
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"

KEYS = {"Return": Keys.ENTER, "Tab": Keys.TAB, "Escape": Keys.ESCAPE, "Up": Keys.ARROW_UP,
        "Down": Keys.ARROW_DOWN, "Left": Keys.ARROW_LEFT, "Right": Keys.ARROW_RIGHT}
# The first script of the page, put there by the test server before any of the page's own:
# notes the time of every copy of the screen to a canvas, and keeps every console line and
# uncaught error in the page, where every engine's driver can read them.
FIRST_SCRIPT = """<script>
window.canvasCopies = [];
window.consoleKept = [];
(() => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function () {
    canvasCopies.push(performance.now()); return put.apply(this, arguments); };
  for (const level of ['log', 'info', 'warn', 'error']) {
    const write = console[level];
    console[level] = function () {
      consoleKept.push([level, Array.prototype.join.call(arguments, ' ')]); return write.apply(console, arguments); };
  }
  addEventListener('error', event => consoleKept.push(['error', String(event.message)]));
  addEventListener('unhandledrejection', event => consoleKept.push(['error', String(event.reason)]));
})();
</script>"""
CANVAS_PIXELS = """const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 640, 480).data;
let s = ''; for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
return btoa(s);"""
BOX = "return document.getElementById(arguments[0]).getBoundingClientRect().toJSON()"

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


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def listening(port):
    with socket.socket() as s:
        return s.connect_ex(("127.0.0.1", port)) == 0


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    """The built site as files, the page with the first script at the top of its head."""
    first_script = None

    def do_GET(self):
        path = self.path.split("?")[0]
        if self.first_script is None or path not in ("/", "/index.html"):
            return super().do_GET()
        with open(os.path.join(self.directory, "index.html"), "rb") as page:
            body = page.read().replace(b"<head>", b"<head>\n" + self.first_script.encode(), 1)
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *arguments):
        pass


class Site:
    """The built site served on a fresh port of 127.0.0.1 until stop()."""

    def __init__(self, root, first_script=FIRST_SCRIPT):
        handler = functools.partial(type("Handler", (SiteHandler,), {"first_script": first_script}), directory=root)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        if self.thread:
            self.server.shutdown()
            self.server.server_close()
            self.thread = None


class Page:
    """What every engine's page shares; each engine gives goto, reload, script, key,
    move_to, click and its own quit. Coordinates handed to move_to and touch are CSS
    pixels of the viewport."""

    wait_for, press = Game.wait_for, Game.press
    name = None
    touches = False  # whether its driver can send touches

    def __init__(self, site, first_script=FIRST_SCRIPT):
        self.site = Site(site, first_script)
        self.url = self.site.url

    def open(self, path=""):
        """Goes to a page of the site; for the game's page, waits until it has drawn."""
        self.goto(self.url + path)
        if not path:
            self.drawn()

    def drawn(self):
        poll(lambda: self.script("return window.canvasCopies && canvasCopies.length > 0"), 20, "a drawn canvas")

    def refresh(self):
        self.reload()
        self.drawn()

    def stop_server(self):
        self.site.stop()

    def console_lines(self):
        return [text for _, text in self.script("return consoleKept")]

    def errors(self):
        return [text for level, text in self.script("return consoleKept") if level == "error"]

    def box(self, element_id):
        return self.script(BOX, element_id)

    def point(self, x, y):
        """The pointer onto the game's pixel (x, y)."""
        r = self.box("screen")
        self.move_to(r["left"] + (x + 0.5) * r["width"] / 640, r["top"] + (y + 0.5) * r["height"] / 480)

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

    def turn_wheel(self, x, y, notches):
        """The mouse wheel turned that many notches (down when positive) with the pointer over
        the game's pixel (x, y)."""
        r = self.box("screen")
        self.wheel(r["left"] + (x + 0.5) * r["width"] / 640, r["top"] + (y + 0.5) * r["height"] / 480, 100 * notches)

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

    def quit(self):
        try:
            self.close()
        finally:
            self.site.stop()


class SeleniumPage(Page):
    """An engine driven through classic WebDriver with selenium."""

    def goto(self, url):
        self.driver.get(url)

    def reload(self):
        self.driver.refresh()

    def script(self, code, *arguments):
        return self.driver.execute_script(code, *arguments)

    def key(self, *names, delay=40):
        actions = ActionChains(self.driver)
        for name in names:
            actions.send_keys(KEYS.get(name, name)).pause(delay / 1000)
        actions.perform()

    def move_to(self, x, y):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(x), int(y))
        actions.perform()

    def click(self):
        ActionChains(self.driver).click().perform()

    def wheel(self, x, y, dy):
        actions = ActionBuilder(self.driver)
        actions.wheel_action.scroll(int(x), int(y), 0, int(dy))
        actions.perform()


class Chromium(SeleniumPage):
    """Headless Chromium, 1400×1200 unless asked otherwise; phone() gives it a touch screen."""
    name = "chromium"
    touches = True

    def __init__(self, site, workdir, size=(1400, 1200), first_script=FIRST_SCRIPT, arguments=(), touch=False,
                 scale=None):
        """scale starts the browser at that device pixel ratio, as a screen of its own would
        (emulation lays out in CSS pixels, which a real ratio does not)."""
        super().__init__(site, first_script)
        if scale:
            arguments = (*arguments, f"--force-device-scale-factor={scale}")
        options = webdriver.ChromeOptions()
        for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         "--window-size=%d,%d" % size, "--user-data-dir=" + os.path.join(workdir, "profile"),
                         *arguments):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        try:
            self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        except Exception:
            self.site.stop()
            raise
        self.log = []
        if scale:  # the window's size at that ratio, in CSS pixels
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": size[0], "height": size[1], "deviceScaleFactor": 0, "mobile": False})

    def open(self, path=""):
        super().open(path)
        self.canvas = self.driver.find_element("id", "screen") if not path else None

    def console(self):
        self.log += self.driver.get_log("browser")
        return self.log

    def phone(self, width, height, ratio=2.625):
        """From now on the page is on a phone's touch screen of width × height CSS pixels."""
        for h in (height + 1, height):
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": h, "deviceScaleFactor": ratio, "mobile": True})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def ratio(self, width, height, ratio):
        """A desktop window of width × height CSS pixels at that device pixel ratio. The
        emulated ratio sends the page no media query change, as zoom does; a resize
        right after it stands for that."""
        for h in (height + 1, height):
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": h, "deviceScaleFactor": ratio, "mobile": False})

    def screenshot(self):
        """The viewport as shown, in device pixels."""
        shot = self.driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png"})
        return Capture.from_image(base64.b64decode(shot["data"]))

    def touch(self, *points):
        """One finger down on the first point, on through the others, and up."""
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

    def processes(self):
        """The processes whose descendants are this engine: its driver's."""
        return [self.driver.service.process.pid]

    def close(self):
        self.driver.quit()


class WebKit(SeleniumPage):
    """WebKitGTK's MiniBrowser in its own X server, its window 1400×1200 unless asked
    otherwise. Its driver sends no touches."""
    name = "webkit"

    def __init__(self, site, workdir, size=(1400, 1200), first_script=FIRST_SCRIPT, scale=1, touch=False):
        super().__init__(site, first_script)
        self.x = self.driver = self.service = None
        os.makedirs(workdir, exist_ok=True)
        try:
            self.x = XServer(workdir, size=(size[0] + 200, size[1] + 200))
            # The browser's data, caches and worker registrations stay in this run's folder.
            env = dict(os.environ, DISPLAY=self.x.display, HOME=workdir, XDG_DATA_HOME=os.path.join(workdir, "data"),
                       XDG_CACHE_HOME=os.path.join(workdir, "cache"), XDG_CONFIG_HOME=os.path.join(workdir, "config"),
                       GDK_SCALE=str(scale))
            port = free_port()
            with open(os.path.join(workdir, "webkitdriver.log"), "wb") as log:
                self.service = subprocess.Popen(["/usr/bin/WebKitWebDriver", f"--port={port}"], env=env,
                                                stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                                preexec_fn=die_with_parent)
            poll(lambda: listening(port), 10, "WebKitWebDriver to listen")
            options = webdriver.WebKitGTKOptions()
            options.binary_location = MINIBROWSER
            options.add_argument("--automation")
            self.driver = webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options)
            self.driver.set_window_size(*size)
        except Exception:
            self.close()
            self.site.stop()
            raise

    def close(self):
        try:
            if self.driver:
                self.driver.quit()
        finally:
            stop_process(self.service, "WebKitWebDriver")
            if self.x:
                self.x.stop()

    def processes(self):
        """The driver's, whose descendants are the browser, and the X server it draws on."""
        return [self.service.pid, self.x.process.pid]

    def screenshot(self):
        return Capture.from_image(self.driver.get_screenshot_as_png())


class Firefox(Page):
    """Headless firefox-esr, its viewport 1400×1200 unless asked otherwise. Its driver has
    no call that gives the page a touch screen, so touch says so from the start."""
    name = "firefox"
    touches = True

    def __init__(self, site, workdir, size=(1400, 1200), first_script=FIRST_SCRIPT, touch=False):
        super().__init__(site, first_script)
        os.makedirs(workdir, exist_ok=True)
        if not os.path.isdir(os.path.join(NODE_MODULES, "puppeteer-core")):
            self.site.stop()
            raise Failure(f"no puppeteer-core in {NODE_MODULES}: run scripts/install-deps web")
        self.log = open(os.path.join(workdir, "firefox.log"), "w")
        self.bridge = subprocess.Popen(["node", os.path.join(HERE, "firefox_bridge.js")], text=True,
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log,
                                       env=dict(os.environ, NODE_PATH=NODE_MODULES), preexec_fn=die_with_parent)
        try:
            self.version = self.ask("launch", firefox="/usr/bin/firefox-esr", profile=os.path.join(workdir, "profile"),
                                    width=size[0], height=size[1], touch=touch)
        except Exception:
            self.quit()
            raise

    def ask(self, op, **arguments):
        if self.bridge.poll() is not None:
            raise Failure(f"the Firefox bridge has ended with status {self.bridge.returncode}")
        self.bridge.stdin.write(json.dumps(dict(arguments, op=op)) + "\n")
        self.bridge.stdin.flush()
        line = self.bridge.stdout.readline()
        if not line:
            raise Failure(f"the Firefox bridge ended during {op}; see firefox.log")
        answer = json.loads(line)
        if "error" in answer:
            raise Failure(f"Firefox could not {op}: {answer['error']}")
        return answer["value"]

    def goto(self, url):
        self.ask("goto", url=url)

    def reload(self):
        self.ask("reload")

    def script(self, code, *arguments):
        return self.ask("evaluate", code=code, args=list(arguments))

    def key(self, *names, delay=40):
        self.ask("keys", names=list(names), delay=delay)

    def move_to(self, x, y):
        self.ask("move", x=x, y=y)

    def click(self):
        self.ask("down")
        self.ask("up")

    def touch(self, *points):
        self.ask("touch", points=[list(p) for p in points])

    def wheel(self, x, y, dy):
        self.ask("wheel", x=x, y=y, dy=dy)

    def phone(self, width, height, ratio=2.625):
        self.ask("viewport", width=width, height=height, ratio=ratio, touch=True)

    def screenshot(self):
        return Capture.from_image(base64.b64decode(self.ask("screenshot")))

    def ratio(self, width, height, ratio):
        self.ask("viewport", width=width, height=height, ratio=ratio)

    def processes(self):
        return [self.bridge.pid]

    def close(self):
        try:
            if self.bridge.poll() is None:
                self.ask("close")
        except Failure:
            pass
        finally:
            stop_process(self.bridge, "the Firefox bridge")
            self.log.close()


ENGINES = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}
