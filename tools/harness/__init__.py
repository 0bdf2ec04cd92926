"""The Python that plays the game from outside, shared by the real-window suite (tests/e2e),
the browser suite (tests/web) and the measurement tools (tools/measure-program,
tools/measure-web, tools/take-screenshots):

- xsession: a private X server (Xvfb), the game's process on it, keys, pointer, captures;
- wlsession: the same on a headless Wayland compositor (sway);
- browser: the browser build in Chromium, Firefox or WebKit, answering the same calls as a game;
- screen: the palette, the tiles and the checks of a capture, written out from what the
  game should show and never taken from its code;
- steps: the steps both suites take (open a screen, start and leave a match, steer).

The scripts in tools/ import it as `harness`; the suites run with tools/ on PYTHONPATH.
"""
