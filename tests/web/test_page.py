"""The browser build played as a person would, in Chromium, Firefox and WebKit: keys, a
pointer, touches on a phone held upright and turned, pads, and at last the server gone; the
canvas is checked pixel by pixel with the real-window suite's own palette, tiles and
screen checks. One scenario per test, the engine in its name:

    pytest tests/web -k firefox         pytest tests/web -k 'offline and webkit'

WebKitGTK's driver sends no touches, so the touch scenarios run in Chromium and Firefox;
Chromium alone is asked about full screen, focus loss, the ended page, pads and two or
three players on a tablet (its driver alone puts several fingers in one touch event).
"""

import base64
import io
import math
import os
import statistics

import pytest
from harness.browser import FIRST_SCRIPT, PRETEND_PADS
from harness.screen import (EMPTY, GREY, HEAD_DOWN, INTACT_EGG, MANUAL_PAGE, PLAYER_1, PLAYER_BASES,
                            banner_gone, banner_problem, cell_code, cells_problem, count_screen_problem,
                            first_level_problem, grey_cells, level_problem, manual_page_problem, player_head,
                            selection_problem)
from harness.steps import (PretendPads, demo_snake_moves, leave_match, open_count_screen, open_manual,
                           play_by_pads, start_match, steer_player_1, title_menu)
from harness.xsession import Failure, expect, poll
from PIL import Image
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

ENGINES = ["chromium", "firefox", "webkit"]
TOUCH_ENGINES = ["chromium", "firefox"]  # WebKitGTK's driver sends no touches


ENDED = "const e = document.getElementById('ended'); return getComputedStyle(e).display != 'none' && e.innerText;"


@pytest.mark.parametrize("engine", ENGINES)
def test_keys_play_a_match(open_page, engine):
    """The title menu and its demo, the start-up lines in the console, the focus on the
    canvas; Tab and Return to the count screen, a digit to a fresh level, the pause banner
    on and off, Escape back to the title menu; no error on the way."""
    page = open_page(engine)
    page.open()
    expect(page.script("return document.title") == "Ravela", "the page title is not Ravela")
    title_menu(page)
    demo_snake_moves(page)
    lines = page.console_lines()
    expect(any(line.startswith("Usando tela 640x480x") for line in lines) and
           "qualquer coisa após o nome do programa" in lines,
           f"the start-up lines are not in the console: {lines}")
    expect(page.script("return document.activeElement.id") == "screen", "the canvas has not got the focus")
    expect(not page.script(TOUCH_SETUP)["choice"], "a page without touch offers a choice of touch players")
    start_match(page, 3, paused=True)
    page.press("Return", lambda c: banner_gone(c) or (player_head(c) and "player 1 hatched unasked"),
               "Return to remove the banner")
    page.press("Return", lambda c: banner_problem(c, alone=True), "Return to show the pause banner")
    page.press("Return", banner_gone, "Return to remove the banner")
    leave_match(page)
    expect(not page.errors(), f"the page reported errors: {page.errors()}")


@pytest.mark.parametrize("engine", ENGINES)
def test_pointer_starts_a_match(open_page, engine):
    """The pointer on "Começar" selects it and a click opens the count screen; on a box
    it highlights that count and a click starts the match."""
    page = open_page(engine)
    page.open()
    title_menu(page)
    page.point(300, 210)
    page.wait_for(lambda c: selection_problem(c, "Começar"), "the pointer to select \"Começar\"")
    page.click()
    page.wait_for(lambda c: count_screen_problem(c, None), "a click on Começar to open the count screen")
    page.point(480, 285)
    page.wait_for(lambda c: count_screen_problem(c, 5), "the pointer to highlight item 5")
    page.click()
    page.wait_for(lambda c: level_problem(c, 5), "a click to start a match with five")


@pytest.mark.parametrize("engine", ENGINES)
def test_wheel_is_no_click(open_page, engine):
    """A notch of the mouse wheel each way, over "Começar" on the title menu, over a box of
    the count screen and over a manual page, does nothing there: the key or the move after
    it acts on the same screen as if it had never come."""
    page = open_page(engine)
    page.open()
    title_menu(page)
    page.point(300, 210)
    page.wait_for(lambda c: selection_problem(c, "Começar"), "the pointer to select \"Começar\"")
    for notches in (1, -1):
        page.turn_wheel(300, 210, notches)
    page.press("Tab", lambda c: selection_problem(c, "Manual"), "Tab after the wheel to select \"Manual\"")
    title, first = open_manual(page)
    for notches in (1, -1):
        page.turn_wheel(320, 300, notches)
    second = page.press("Tab", lambda c: manual_page_problem(c, title, [first.area(*MANUAL_PAGE)]),
                        "Tab after the wheel to turn to the second page")
    page.press("Return", lambda c: manual_page_problem(c, title, [first.area(*MANUAL_PAGE),
                                                                  second.area(*MANUAL_PAGE)]), "the third page")
    page.key("Return")
    title_menu(page)
    open_count_screen(page)
    page.point(480, 285)
    page.wait_for(lambda c: count_screen_problem(c, 5), "the pointer to highlight box 5")
    for notches in (1, -1):
        page.turn_wheel(480, 285, notches)
    page.point(480, 205)
    page.wait_for(lambda c: count_screen_problem(c, 3), "the pointer, after the wheel, to highlight box 3")


@pytest.mark.parametrize("engine", ENGINES)
def test_offline_start(open_page, engine, site):
    """The worker takes over the page and keeps this build's files; with the server gone
    the page starts again from them and a match plays."""
    page = open_page(engine)
    page.open()
    title_menu(page)
    worker_keeps(page, site)
    page.stop_server()
    page.refresh()
    title_menu(page)
    start_match(page, 2)
    expect(not page.errors(), f"the page reported errors with the server gone: {page.errors()}")


def test_page_details(open_page):
    """Chromium, every screen in the order a player meets them: the canvas size, full
    screen, the manual, a click with Return behind it, the tick, focus loss, the ended page."""
    browser = open_page("chromium")
    browser.open()
    title_menu(browser)
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
        page = browser.press("Tab" if n == 2 else "Return",
                             lambda c: manual_page_problem(c, title, [page.area(*MANUAL_PAGE)]), f"manual page {n}")
    browser.key("Return")
    title_menu(browser)
    expect(browser.script("return scrollY") == 0, "the game's keys scrolled the page")

    open_count_screen(browser)
    browser.point(480, 285)
    browser.wait_for(lambda c: count_screen_problem(c, 5), "the pointer to highlight item 5")
    # Return right behind the click pauses the match within its first ticks.
    ActionChains(browser.driver).click().send_keys(Keys.ENTER).perform()
    browser.wait_for(lambda c: banner_problem(c) or level_problem(c, 5), "a click to start a match with five")
    leave_match(browser)
    start_match(browser, 3, paused=True)
    browser.press("Return", lambda c: banner_gone(c) or (player_head(c) and "player 1 hatched unasked"),
                  "Return to remove the banner")
    # The screen reaches the canvas once a tick, a tick every 120 ms.
    copies = browser.copies_since(browser.script("return performance.now()"), lambda t: len(t) > 25, "25 ticks")
    tick = statistics.median(b - a for a, b in zip(copies, copies[1:]))
    expect(115 <= tick <= 125, f"the canvas was copied every {tick:.1f} ms, not once a tick of 120 ms")
    browser.press("Down", lambda c: None if (player_head(c) or (0, 0, 0))[2] == PLAYER_1 + HEAD_DOWN and
                  player_head(c)[0] >= 6 else "player 1 has not hatched downwards", "Down to hatch player 1")
    browser.press("Return", lambda c: banner_problem(c, alone=True), "Return to show the pause banner")
    browser.press("Return", banner_gone, "Return to remove the banner")

    # Another tab takes the focus from the page; the match pauses as on the desktop.
    game_window = browser.driver.current_window_handle
    browser.driver.switch_to.new_window("tab")
    browser.driver.close()
    browser.driver.switch_to.window(game_window)
    browser.wait_for(lambda c: banner_problem(c, alone=True), "a focus loss to pause the match")

    leave_match(browser)
    browser.key("Escape")
    poll(lambda: all(text in (browser.script(ENDED) or "") for text in ("O jogo terminou.", "Jogar de novo")), 10,
         "the page to say that the game has ended")
    browser.key("Return")  # on "Jogar de novo", which has the focus now
    browser.canvas = browser.driver.find_element("id", "screen")
    title_menu(browser)
    errors = [entry for entry in browser.console() if entry["level"] == "SEVERE"]
    expect(not errors, f"the page reported errors: {errors}")


# Where the canvas, the buttons and the controls lie, and whether the page scrolled or zoomed.
LAYOUT = """const box = id => document.getElementById(id).getBoundingClientRect().toJSON();
const page = document.scrollingElement;
return {canvas: box('screen'), buttons: [box('pause'), box('leave')], controls: box('controls'),
        moved: [scrollX, scrollY, page.scrollWidth, page.scrollHeight, visualViewport.scale], ratio: devicePixelRatio};"""
# The manifest, and the size of each icon it names as the browser decodes it.
MANIFEST = """return fetch('manifest.json').then(r => r.json()).then(m => Promise.all(m.icons.map(i =>
  new Promise(done => { const img = new Image(); img.onload = () => done([i.sizes, img.naturalWidth + 'x' +
    img.naturalHeight]); img.onerror = () => done([i.sizes, 'unreadable']); img.src = i.src; }))).then(s => [m, s]));"""
# The home-screen icon's stated size, and the size it decodes to.
HOME_ICON = """const link = document.querySelector('link[rel=apple-touch-icon]'), img = new Image();
return new Promise(done => { img.onload = () => done([link.sizes.value, img.naturalWidth + 'x' + img.naturalHeight]);
  img.onerror = () => done([link.sizes.value, 'unreadable']); img.src = link.href; });"""
CACHED = """return caches.keys().then(names => Promise.all(names.map(n => caches.open(n).then(c => c.keys())
  .then(k => [n, k.length])))).then(kept => [!!navigator.serviceWorker.controller, kept]);"""


def size_problem(canvas, room, ratio):
    """The canvas in a room of CSS pixels at that device pixel ratio: the largest whole
    number n of device pixels per game pixel that fits; only where that is 1 and the room
    would take over 1.5, the largest size that fits, to a device pixel across."""
    fits = min(room[0] / 640, room[1] / 480) * ratio
    shown = canvas["width"] * ratio / 640
    whole = math.floor(fits)
    if whole >= 2 or whole == 1 and fits <= 1.5:
        if abs(shown - whole) > 0.01:
            return f"the canvas has {shown:.3f} device pixels per game pixel where a whole {whole} fits {room}"
    elif not fits - 2 / 640 <= shown <= fits + 0.001:
        return f"the canvas has {shown:.3f} device pixels per game pixel where {fits:.3f} fit {room}"
    return None


def layout_problem(browser, width, height):
    """On a width × height screen: the whole canvas at the size the room beside the
    controls calls for, "Pausa" and "Sair" on screen beside it and at least 44 pixels
    tall, and the page neither scrolled nor zoomed."""
    got = browser.script(LAYOUT)
    canvas, controls = got["canvas"], got["controls"]

    def inside(r):
        return r["left"] >= 0 and r["top"] >= 0 and r["right"] <= width and r["bottom"] <= height

    if not inside(canvas) or abs(canvas["width"] * 3 - canvas["height"] * 4) > 4:
        return f"the canvas lies at {canvas} on a {width}x{height} screen"
    room = (width - controls["width"], height) if width > height else (width, height - controls["height"])
    if size_problem(canvas, room, got["ratio"]):
        return size_problem(canvas, room, got["ratio"])
    for button in got["buttons"]:
        if not inside(button) or button["height"] < 44 or not (
                button["top"] >= canvas["bottom"] or button["left"] >= canvas["right"]):
            return f"a button lies at {button}, beside the canvas at {canvas}"
    x, y, page_width, page_height, zoom = got["moved"]
    if x or y or page_width > width or page_height > height or zoom != 1:
        return f"the page scrolled to {x}, {y}, is {page_width}x{page_height} or zoomed {zoom}"
    return None


def settle(check, what):
    """Polls check until it finds nothing wrong; a timeout tells what was still wrong."""
    last = []
    try:
        poll(lambda: last.append(check()) or last[-1] is None, 10, what)
    except Failure:
        raise Failure(f"timed out waiting for {what}: {last[-1]}") from None


def match_problem(capture, adversaries):
    """A fresh first level with that many grey snakes on it."""
    heads = sum(1 for _, _, code in grey_cells(capture) if code <= GREY + 3)
    return first_level_problem(capture) or (f"{heads} adversaries, not {adversaries}" if heads != adversaries
                                            else None)


def shown_problem(page, width, height):
    """The canvas on a still screen is width × height device pixels, every game pixel an
    even square of device pixels in its own colour, as a screenshot shows it."""
    ratio = page.script("return devicePixelRatio")
    box = page.box("screen")
    size = (box["width"] * ratio, box["height"] * ratio)
    if abs(size[0] - width) > 0.05 or abs(size[1] - height) > 0.05:
        return f"the canvas is {size[0]:.2f}x{size[1]:.2f} device pixels at ratio {ratio}, not {width}x{height}"
    try:
        shown = page.screenshot().picture(width // 640, round(box["left"] * ratio), round(box["top"] * ratio))
    except Failure as failure:
        return str(failure)
    return None if shown.rgb == page.capture().rgb else "the screenshot shows another picture than the canvas holds"


@pytest.mark.parametrize("engine", ENGINES)
def test_even_pixels_at_a_ratio(open_page, engine):
    """In a 1280×720 window at 1.5 device pixels to the CSS pixel (WebKitGTK takes only whole
    ratios: 2), the canvas is 1280×960 device pixels, each game pixel 2×2 of them. Firefox
    goes to 1.5 after the page has drawn, which only the page's media query of the ratio
    sees."""
    page = open_page(engine, size=(1280, 720), **{"chromium": {"scale": 1.5}, "webkit": {"scale": 2}}.get(engine, {}))
    page.open()
    title_menu(page)
    open_count_screen(page)
    if engine == "firefox":
        page.ratio(1280, 720, 1.5)
    settle(lambda: shown_problem(page, 1280, 960), "the canvas at two device pixels to the game pixel")


# Before the page's scripts: a browser with full screen under Safari's older name alone, which
# notes the element asked for; or, as on an iPhone, with none for a page.
SAFARI_FULL_SCREEN = {
    "prefixed": """<script>delete Element.prototype.requestFullscreen; Object.defineProperty(Document.prototype,
  'fullscreenEnabled', {get: () => undefined}); Object.defineProperty(Document.prototype, 'webkitFullscreenEnabled',
  {get: () => true}); Element.prototype.webkitRequestFullscreen = function () { window.askedFull = this.id; };</script>""",
    "none": """<script>delete Element.prototype.requestFullscreen; delete Element.prototype.webkitRequestFullscreen;
  Object.defineProperty(Document.prototype, 'fullscreenEnabled', {get: () => false});</script>""",
}


@pytest.mark.parametrize("kind", sorted(SAFARI_FULL_SCREEN))
def test_full_screen_under_safari_names(open_page, kind):
    """Chromium made to look like Safari: "Tela cheia" asks for full screen by the prefixed
    name where only that exists, and where none exists tells how to add the game to the
    home screen; the canvas keeps the focus either way."""
    page = open_page("chromium", first_script=FIRST_SCRIPT + SAFARI_FULL_SCREEN[kind])
    page.open()
    title_menu(page)
    page.driver.find_element("id", "full").click()
    if kind == "prefixed":
        poll(lambda: page.script("return window.askedFull") == "stage", 10, "the prefixed call for the stage")
    else:
        poll(lambda: "Adicionar à Tela de Início" in page.script("return document.getElementById('status').textContent"),
             10, "the bar to tell how to add the game to the home screen")
    expect(page.script("return document.activeElement.id") == "screen", "the canvas lost the focus to the button")


def worker_keeps(page, site):
    """Waits until the worker controls the page with this build's files, and those alone, in
    its cache."""
    with open(os.path.join(site, "sw.js")) as worker:
        build = worker.read().split("var CACHE = '")[1].split("'")[0]
    settle(lambda: None if page.script(CACHED) == [True, [[build, 8]]] else page.script(CACHED),
           "the worker to control the page and keep the eight files in this build's cache alone")


@pytest.mark.parametrize("engine", TOUCH_ENGINES)
def test_touch_on_a_phone(open_page, engine, site):
    """A phone held upright, then turned: taps on the menus, swipes steer, the buttons pause
    and leave; then the manifest and, with the server gone, the game from the worker's cache."""
    browser = open_page(engine, touch=True)
    browser.phone(412, 915)
    browser.open("manifest.json")  # the site's origin, before its worker: an old build's cache
    browser.script("return caches.open('ravela-old').then(() => true)")
    browser.open()
    title_menu(browser)
    for width, height, adversaries in ((412, 915, 0), (915, 412, 1)):
        browser.phone(width, height)
        settle(lambda: layout_problem(browser, width, height), f"the page to fit a {width}x{height} screen")
        if adversaries == 0:
            browser.tap(320, 220)
            browser.wait_for(lambda c: count_screen_problem(c, None), "a tap on Começar to open the count screen")
        browser.tap(160 + 320 * adversaries, 120)
        browser.wait_for(lambda c: match_problem(c, adversaries), f"a tap on box {adversaries} to start a match")
        steer_player_1(browser, lambda: browser.swipe(0, 60), lambda: browser.swipe(60, 0))
        browser.tap_button("pause")
        browser.wait_for(lambda c: banner_problem(c, alone=True), "Pausa to show the pause banner")
        browser.tap_button("pause")
        browser.wait_for(banner_gone, "Pausa again to remove the banner")
        expect(layout_problem(browser, width, height) is None, f"after the swipes: {layout_problem(browser, width, height)}")
        browser.tap_button("leave")
        browser.wait_for(lambda c: count_screen_problem(c, None), "Sair to end the match")

    manifest, icons = browser.script(MANIFEST)
    expect(manifest["name"] == "Ravela" and manifest["lang"] == "pt-BR" and manifest["start_url"] and
           manifest["display"] == "standalone" and manifest.get("display_override", ["fullscreen"])[0] == "fullscreen",
           f"the manifest says {manifest}")
    expect(sorted(stated for stated, _ in icons) == ["192x192", "512x512"] and all(a == b for a, b in icons),
           f"the icons named and their sizes: {icons}")
    home = browser.script(HOME_ICON)
    expect(home == ["180x180", "180x180"], f"the home-screen icon is said and drawn {home}")
    worker_keeps(browser, site)
    if engine == "chromium":
        errors = browser.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
        expect(not errors, f"Chromium would not install the page: {errors}")

    browser.stop_server()
    browser.refresh()
    title_menu(browser)
    browser.tap(320, 220)
    browser.wait_for(lambda c: count_screen_problem(c, None), "a tap on Começar with the server gone")
    browser.tap(160, 200)
    browser.wait_for(lambda c: match_problem(c, 2), "a tap on box 2 to start a match with the server gone")


def test_tap_where_the_pointer_rests(open_page):
    """Chromium: a tap acts where it lands: with a mouse resting over box 1 of the count
    screen, a tap there starts a match, and after the match (left with Escape on a keyboard),
    with the mouse still there and nothing highlighted, the same tap starts the next one."""
    browser = open_page("chromium")
    browser.phone(915, 412)
    browser.open()
    title_menu(browser)
    browser.tap(320, 220)
    browser.wait_for(lambda c: count_screen_problem(c, None), "a tap on Começar to open the count screen")
    # A mouse lands on whole CSS pixels: the finger taps the very same point.
    r = browser.box("screen")
    at = (round(r["left"] + r["width"] * 3 / 4), round(r["top"] + r["height"] * 5 / 16))
    browser.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": at[0], "y": at[1]})
    browser.wait_for(lambda c: count_screen_problem(c, 1), "the mouse to highlight box 1")
    for match in ("first", "second"):
        browser.touch(at)
        browser.wait_for(lambda c: match_problem(c, 1), f"a tap on box 1 to start the {match} match")
        browser.press("Escape", lambda c: count_screen_problem(c, None), f"Escape to end the {match} match")


# Where each player's egg lies on a fresh level, and where a step each way leads.
EGG_CELLS = [(4, 13), (4, 26), (4, 39)]
UP, DOWN, LEFT, RIGHT = 0, 1, 2, 3
STEPS = {UP: (-1, 0), DOWN: (1, 0), LEFT: (0, -1), RIGHT: (0, 1)}
# The colour each player's strip is edged in: its snake's stripes.
STRIP_COLOURS = [(255, 255, 64), (64, 255, 64), (64, 255, 255)]
TOUCH_SETUP = """const shown = id => getComputedStyle(document.getElementById(id)).display != 'none';
const strips = [...document.getElementById('strips').children].filter(s => !s.hidden && shown('strips'));
return {choice: shown('players'), label: document.getElementById('players').innerText,
        buttons: [...document.querySelectorAll('#players button')].map(b => [b.innerText, b.getAttribute('aria-pressed')]),
        strips: strips.map(s => [s.getBoundingClientRect().toJSON(), getComputedStyle(s).borderTopColor])};"""


def heading(player, way, cells=3):
    """A check that player's snake has hatched and gone at least that many cells from its egg's
    cell the given way, cell by cell: its head shows the tile facing that way, and every cell it
    left behind on the way shows its own egg, tail or body, or lies bare."""
    row, col = EGG_CELLS[player]
    base, (dr, dc) = PLAYER_BASES[player], STEPS[way]
    seen = []

    def check(capture):
        head = player_head(capture, player)
        if head is None:
            return f"player {player + 1} has not hatched"
        r, c, code = head
        k = (r - row) * dr + (c - col) * dc
        expect(k >= 1 and (r, c) == (row + k * dr, col + k * dc) and code == base + way and k >= max(seen, default=0),
               f"player {player + 1}'s head shows tile {code} at ({r}, {c}) after {seen} cells the way {way}")
        seen.append(k)
        for i in range(k):
            left = cell_code(capture, row + i * dr, col + i * dc)
            expect(left == EMPTY or base + 4 <= left <= base + 13 or (i == 0 and left == base + INTACT_EGG),
                   f"player {player + 1} left cell ({row + i * dr}, {col + i * dc}) showing {left}")
        return None if k >= cells else f"player {player + 1}'s head has only gone {k} cells"
    return check


def all_of(*checks):
    return lambda capture: next((p for p in (check(capture) for check in checks) if p), None)


def still_an_egg(player):
    row, col = EGG_CELLS[player]
    return lambda capture: (f"player {player + 1} hatched" if player_head(capture, player) else
                            cells_problem(capture, {(row, col): PLAYER_BASES[player] + INTACT_EGG}))


def choose_players(browser, n):
    browser.tap_button(f"players-{n}")
    settle(lambda: None if browser.script(TOUCH_SETUP)["buttons"][n - 1][1] == "true" else "not chosen",
           f"the choice of {n} players by touch")


def new_match(browser, box=0, x=160):
    """Sair in a match and a tap on the count screen's box in the top row (0 or 1) at game
    pixel x: a fresh first level."""
    browser.tap_button("leave")
    browser.wait_for(lambda c: count_screen_problem(c, None), "Sair to end the match")
    browser.tap(x, 120)
    browser.wait_for(lambda c: match_problem(c, box), f"a tap on box {box} to start a match")


def strip_colour(png, x, y):
    """The colour of CSS pixel (x, y) of the tablet's screenshot."""
    image = Image.open(io.BytesIO(base64.b64decode(png))).convert("RGB")
    return image.getpixel((int(x * image.width / 1280), int(y * image.height / 800)))


def test_two_or_three_players_on_a_tablet(open_page):
    """Chromium, whose driver puts several fingers in one touch event: the choice of touch
    players, the strips each edged in its player's colour, one finger per strip steering its
    own player, several fingers in the same touch events, a stroke keeping its player as it
    crosses into another strip, taps in any strip, and a page that never scrolled or zoomed."""
    browser = open_page("chromium")
    browser.tablet()
    browser.open()
    title_menu(browser)
    setup = browser.script(TOUCH_SETUP)
    expect(setup["choice"] and "Jogadores no toque" in setup["label"] and
           setup["buttons"] == [["1", "true"], ["2", "false"], ["3", "false"]] and not setup["strips"],
           f"the tablet's choice of touch players: {setup}")
    browser.tap(320, 220)
    browser.wait_for(lambda c: count_screen_problem(c, None), "a tap on Começar to open the count screen")
    browser.tap(160, 120)
    browser.wait_for(lambda c: match_problem(c, 0), "a tap on box 0 to start a match")

    # No choice made: a swipe in the right half, off the canvas, steers player 1.
    browser.stroke({1: ((1000, 400), (0, 60))})
    browser.wait_for(all_of(heading(0, DOWN), still_an_egg(1), still_an_egg(2)), "a swipe to steer player 1 down")

    choose_players(browser, 2)
    setup = browser.script(TOUCH_SETUP)
    expect([(round(r["left"]), round(r["right"]), colour) for r, colour in setup["strips"]] ==
           [(0, 640, "rgb(255, 255, 64)"), (640, 1280, "rgb(64, 255, 64)")], f"two strips: {setup['strips']}")
    new_match(browser)
    browser.stroke({1: ((300, 700), (0, 60)), 2: ((1000, 400), (60, 0))})
    browser.wait_for(all_of(heading(0, DOWN), heading(1, RIGHT), still_an_egg(2)),
                     "two fingers at once to steer player 1 down and player 2 right")

    # A stroke from player 1's strip into player 2's: down, then right across the middle, so that
    # it swipes right only once it is in player 2's strip.
    new_match(browser)
    at = browser.stroke({1: ((620, 700), (0, 40))}, moves=1, lift=False)
    browser.wait_for(all_of(heading(0, DOWN, 2), still_an_egg(1)), "the stroke's start to steer player 1 down")
    for x in (650, 700, 760):
        browser.fingers("touchMove", {1: (x, at[1][1])})
    browser.fingers("touchEnd", {})

    def turned_right(capture):
        row, col, code = player_head(capture, 0) or (0, 0, None)
        return still_an_egg(1)(capture) or (None if code == PLAYER_BASES[0] + RIGHT and row > 5 and col >= 16
                                            else f"player 1's head shows {code} at ({row}, {col})")
    browser.wait_for(turned_right, "the stroke, now in player 2's strip, to turn player 1 right")

    choose_players(browser, 3)
    setup = browser.script(TOUCH_SETUP)
    expect([(round(r["left"]), round(r["right"]), colour) for r, colour in setup["strips"]] ==
           [(0, 427, "rgb(255, 255, 64)"), (427, 853, "rgb(64, 255, 64)"), (853, 1280, "rgb(64, 255, 255)")],
           f"three strips: {setup['strips']}")
    png = browser.driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png"})["data"]
    for n, x in enumerate((213, 640, 1066)):
        for y in (2, 797):
            expect(strip_colour(png, x, y) == STRIP_COLOURS[n], f"the page at ({x}, {y}) shows "
                   f"{strip_colour(png, x, y)}, not player {n + 1}'s colour")
    new_match(browser, 1, 638)  # a tap in player 3's strip, on the canvas, is a tap there
    new_match(browser)
    browser.stroke({1: ((200, 700), (-60, 0)), 2: ((640, 700), (0, 60)), 3: ((1100, 400), (60, 0))})
    browser.wait_for(all_of(heading(0, LEFT), heading(1, DOWN), heading(2, RIGHT)),
                     "three fingers at once to steer player 1 left, player 2 down and player 3 right")
    moved = browser.script(LAYOUT)["moved"]
    expect(moved[:2] == [0, 0] and moved[2] <= 1280 and moved[3] <= 800 and moved[4] == 1,
           f"after the fingers the page scrolled to {moved[:2]}, is {moved[2]}x{moved[3]} or zoomed {moved[4]}")
    browser.refresh()
    title_menu(browser)
    expect(browser.script(TOUCH_SETUP)["buttons"][2] == ["3", "true"], "the page forgot the choice of 3 players")


class BrowserPads(PretendPads):
    """The page's pretend pads, in the browser's standard layout."""
    BUTTONS = {"a": 0, "b": 1, "back": 8, "start": 9, "up": 12, "down": 13, "left": 14, "right": 15}

    def __init__(self, browser):
        self.browser = browser

    def say(self, line):
        self.browser.script("padSay(arguments[0])", line)


def test_pads(open_page):
    """Chromium: three players by pad in a browser that lists three pads among empty
    places, and a fourth that is left out; Back on the title menu ends the game."""
    browser = open_page("chromium")
    browser.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PRETEND_PADS})
    browser.open()
    title_menu(browser)
    pads = BrowserPads(browser)
    play_by_pads(browser, pads)
    pads.press(2, "back")
    poll(lambda: "O jogo terminou." in (browser.script(ENDED) or ""), 10, "Back to end the game")
