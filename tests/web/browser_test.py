#!/usr/bin/python3
"""Plays the browser build in headless Chromium as a person would, and checks the canvas
pixel by pixel with the real-window suite's own palette, tiles and screen checks.

    browser_test.py SITE      exit status 0 when it passed
"""

import os
import statistics
import sys
import tempfile

sys.dont_write_bytecode = True
for place in ("../e2e", "../../tools"):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), place))
from driver import demo_snake_moves, leave_match, open_count_screen, open_manual, start_match, title_menu  # noqa: E402
from screen import (HEAD_DOWN, MANUAL_PAGE, PLAYER_1, banner_gone, banner_problem, count_screen_problem,  # noqa: E402
                    level_problem, manual_page_problem, player_head)
from browser import Browser  # noqa: E402
from xsession import Failure, expect, poll  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402


ENDED = "const e = document.getElementById('ended'); return getComputedStyle(e).display != 'none' && e.innerText;"


def play(browser):
    """Every check of the suite, in the order a player meets the screens."""
    browser.open()
    expect(browser.driver.title == "Ravela", f"the page title is {browser.driver.title!r}")
    title_menu(browser)
    demo_snake_moves(browser)
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


def main():
    site = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="ravela-browser-") as workdir:
        os.chdir(os.path.dirname(site))  # a failing check leaves its last capture here
        browser = Browser(site, workdir)
        try:
            play(browser)
        except Failure as failure:
            print(f"FAILED browser suite: {failure}", file=sys.stderr)
            return 1
        finally:
            browser.quit()
    print("passed browser suite")
    return 0


if __name__ == "__main__":
    sys.exit(main())
