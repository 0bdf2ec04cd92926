#!/usr/bin/python3
"""Plays the browser build in headless Chromium as a person would, and checks the canvas
pixel by pixel with the real-window suite's own palette, tiles and screen checks.

    browser_test.py SITE              the suite; exit status 0 when it passed
    browser_test.py SITE --measure    time to the first title frame, the tick over a
                                      minute of a nine-adversary match, processor use
"""

import base64
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from driver import open_count_screen, open_manual, start_match, title_menu  # noqa: E402
from screen import (HEAD_DOWN, PAUSE_BANNER, PLAYER_1, Capture, arena_things, banner_problem,  # noqa: E402
                    count_screen_problem, grey_heads, is_near_white, level_problem, manual_page_problem,
                    player_head)
from xsession import Failure, Game, expect, poll  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

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


class Browser:
    """A local server for the site and headless Chromium on the page, with the methods the
    real-window steps use: key, point, click, capture and wait_for."""

    wait_for = Game.wait_for

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

    def scale(self):
        return self.canvas.size["width"] // 640

    def point(self, x, y):
        # Selenium measures from the middle of the element, in page pixels.
        s = self.scale()
        ActionChains(self.driver).move_to_element_with_offset(
            self.canvas, s * x + s // 2 - self.canvas.size["width"] // 2,
            s * y + s // 2 - self.canvas.size["height"] // 2).perform()

    def click(self):
        ActionChains(self.driver).click().perform()

    def capture(self):
        rgba = base64.b64decode(self.script(CANVAS_PIXELS))
        rgb = bytearray(640 * 480 * 3)
        for channel in range(3):
            rgb[channel::3] = rgba[channel::4]
        return Capture(640, 480, bytes(rgb))

    def quit(self):
        self.driver.quit()
        self.server.terminate()
        self.server.wait()


def copies_since(browser, start, enough, what, timeout=10):
    """The times of the screen's copies to the canvas after start, once enough(times)."""
    return poll(lambda: (lambda t: enough(t) and t)(browser.script("return canvasCopies.filter(t => t > %f)" % start)),
                timeout, what)


def banner_alone_problem(capture):
    """banner_problem on the banner's rectangle alone: snakes that have moved next to it
    by now may show light pixels just outside it."""
    x, y, width, _ = PAUSE_BANNER
    rgb = bytearray(len(capture.rgb))
    for row in range(y, y + PAUSE_BANNER[3]):
        i = 3 * (640 * row + x)
        rgb[i:i + 3 * width] = capture.rgb[i:i + 3 * width]
    return banner_problem(Capture(640, 480, bytes(rgb)))


def ended_problem(browser):
    shown = browser.script("const e = document.getElementById('ended');"
                           "return getComputedStyle(e).display != 'none' && e.innerText;")
    return None if shown and "O jogo terminou." in shown and "Jogar de novo" in shown else f"the page shows {shown!r}"


def play(browser):
    """Every check of the suite, in the order a player meets the screens."""
    browser.open()
    expect(browser.driver.title == "Ravela", f"the page title is {browser.driver.title!r}")
    first = grey_heads(arena_things(title_menu(browser)))
    browser.wait_for(lambda c: "the demo snake has not moved" if grey_heads(arena_things(c)) == first else None,
                     "the demo snake to move")
    lines = [entry["message"] for entry in browser.console() if entry["source"] == "console-api"]
    expect(any('"Usando tela 640x480x' in line for line in lines) and any("após o nome" in line for line in lines),
           f"the start-up lines are not in the console: {lines}")
    expect(browser.script("return document.activeElement.id") == "screen", "the canvas has not got the focus")
    width, viewport = browser.canvas.size["width"], browser.script("return [innerWidth, innerHeight - 40]")
    expect(width % 640 == 0 and width // 640 == max(1, min(viewport[0] // 640, viewport[1] // 480)),
           f"the canvas is {width} pixels wide in a {viewport} viewport")
    expect(browser.script("return getComputedStyle(arguments[0]).imageRendering", browser.canvas) == "pixelated",
           "the canvas pixels are not kept sharp")

    browser.driver.find_element("id", "full").click()
    poll(lambda: browser.script("return document.fullscreenElement && document.fullscreenElement.id") == "stage",
         10, "Tela cheia to show the game full screen")
    expect(browser.script("return document.activeElement.id") == "screen", "the canvas lost the focus to the button")
    browser.script("document.exitFullscreen()")

    title, page = open_manual(browser)
    for n in (2, 3):
        browser.key("Tab" if n == 2 else "Return")
        page = browser.wait_for(lambda c: manual_page_problem(c, title, [page.area(20, 175, 600, 300)]),
                                f"manual page {n}")
    browser.key("Return")
    title_menu(browser)
    expect(browser.script("return scrollY") == 0, "the game's keys scrolled the page")

    open_count_screen(browser)
    browser.point(480, 285)
    browser.wait_for(lambda c: count_screen_problem(c, 5), "the pointer to highlight item 5")
    # Return right behind the click pauses the match within its first ticks.
    ActionChains(browser.driver).click().send_keys(Keys.ENTER).perform()
    browser.wait_for(lambda c: banner_problem(c) or level_problem(c, 5), "a click to start a match with five")
    browser.key("Escape")
    browser.wait_for(lambda c: count_screen_problem(c, None), "Escape to end the match")
    browser.key("Escape")
    title_menu(browser)
    start_match(browser, 3, paused=True)
    browser.key("Return")
    browser.wait_for(lambda c: None if player_head(c) is None and not c.count(PAUSE_BANNER, is_near_white)
                     else "the banner is still up", "Return to remove the banner")
    # The screen reaches the canvas once a tick, a tick every 120 ms.
    copies = copies_since(browser, browser.script("return performance.now()"), lambda t: len(t) > 25, "25 ticks")
    tick = statistics.median(b - a for a, b in zip(copies, copies[1:]))
    expect(115 <= tick <= 125, f"the canvas was copied every {tick:.1f} ms, not once a tick of 120 ms")
    browser.key("Down")
    browser.wait_for(lambda c: None if (player_head(c) or (0, 0, 0))[2] == PLAYER_1 + HEAD_DOWN and
                     player_head(c)[0] >= 6 else "player 1 has not hatched downwards", "Down to hatch player 1")
    browser.key("Return")
    browser.wait_for(banner_alone_problem, "Return to show the pause banner")
    browser.key("Return")
    browser.wait_for(lambda c: "the banner is still up" if c.count(PAUSE_BANNER, is_near_white) else None,
                     "Return to remove the banner")

    # Another tab takes the focus from the page; the match pauses as on the desktop.
    game_window = browser.driver.current_window_handle
    browser.driver.switch_to.new_window("tab")
    browser.driver.close()
    browser.driver.switch_to.window(game_window)
    browser.wait_for(banner_alone_problem, "a focus loss to pause the match")

    browser.key("Escape")
    browser.wait_for(lambda c: count_screen_problem(c, None), "Escape to end the match")
    browser.key("Escape")
    title_menu(browser)
    browser.key("Escape")
    poll(lambda: ended_problem(browser) is None, 10, "the page to say that the game has ended")
    browser.key("Return")  # on "Jogar de novo", which has the focus now
    browser.canvas = browser.driver.find_element("id", "screen")
    title_menu(browser)
    errors = [entry for entry in browser.console() if entry["level"] == "SEVERE"]
    expect(not errors, f"the page reported errors: {errors}")


def cpu_seconds(root):
    """Processor time used so far by a process and all its descendants (the browser's)."""
    total, todo = 0, [root]
    while todo:
        pid = todo.pop()
        try:
            with open(f"/proc/{pid}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            for task in os.listdir(f"/proc/{pid}/task"):  # any thread may have started a child
                with open(f"/proc/{pid}/task/{task}/children") as children:
                    todo += children.read().split()
        except OSError:
            continue
        total += int(fields[11]) + int(fields[12])
    return total / os.sysconf("SC_CLK_TCK")


def measure(browser, site, seconds=60):
    """Figures for the record, printed rather than checked."""
    for name in ("index.html", "ravela.js", "ravela.wasm"):
        print(f"{name}: {os.path.getsize(os.path.join(site, name))} bytes")
    browser.open()
    title_menu(browser)
    print(f"first title frame: {browser.script('return canvasCopies[0]'):.0f} ms after navigation")
    open_count_screen(browser)
    browser.key("9")
    browser.wait_for(lambda c: level_problem(c, 9), "a level with nine adversaries")
    root = browser.driver.service.process.pid
    start, used = browser.script("return performance.now()"), cpu_seconds(root)
    copies = copies_since(browser, start, lambda t: t and t[-1] - start > 1000 * seconds, "a minute of play",
                          seconds + 30)
    play_cpu = (cpu_seconds(root) - used) / ((copies[-1] - start) / 1000)
    gaps = [b - a for a, b in zip(copies, copies[1:])]
    q = statistics.quantiles(gaps, n=20)
    print(f"tick over {len(gaps)} intervals: median {statistics.median(gaps):.1f} ms, 5-95% {q[0]:.1f}-{q[-1]:.1f}"
          f" ms, min {min(gaps):.1f}, max {max(gaps):.1f}, stdev {statistics.stdev(gaps):.2f}")
    browser.driver.get("about:blank")
    start, used = time.monotonic(), cpu_seconds(root)
    poll(lambda: time.monotonic() - start > seconds, seconds + 5, "a minute of an idle page")
    idle_cpu = (cpu_seconds(root) - used) / (time.monotonic() - start)
    print(f"browser processor use: {100 * play_cpu:.1f}% of one core playing, {100 * idle_cpu:.1f}% idle")


def main():
    site = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="ravela-browser-") as workdir:
        os.chdir(os.path.dirname(site))  # a failing check leaves its last capture here
        browser = Browser(site, workdir)
        try:
            measure(browser, site) if "--measure" in sys.argv else play(browser)
        except Failure as failure:
            print(f"FAILED browser suite: {failure}", file=sys.stderr)
            return 1
        finally:
            browser.quit()
    print("measured" if "--measure" in sys.argv else "passed browser suite")
    return 0


if __name__ == "__main__":
    sys.exit(main())
