// The script half of the browser platform (display/platform_web.cpp and the page input
// calls of match/page_input.cpp): sleeping until the page hears input, copying the screen
// to the canvas, the cursor, the browser's pad polling and the end of the game. Linked in
// as an emscripten library, so each call is a plain C function to the program.

mergeInto(LibraryManager.library, {
  $ravelaPage: {
    image: null,     // the ImageData the screen reaches the canvas through
    wake: null,      // while the program sleeps until input: ends the sleep on the next turn
    listening: false, // whether the listeners that wake the program are on the window
  },

  // Sleeps until the page hears input that SDL turns into an event (a key, the pointer, a
  // touch, focus or visibility), or the page hands the game input itself, or at most limit
  // milliseconds. Listeners on the window come before SDL's and the page's, so the program
  // wakes on the next turn of the browser, when the event is queued.
  ravelaSleepUntilInput__deps: ['$ravelaPage'],
  ravelaSleepUntilInput__sig: 'vi',
  ravelaSleepUntilInput: function (limit) {
    if (!ravelaPage.listening) {
      ravelaPage.listening = true;
      ['keydown', 'keyup', 'mousedown', 'mouseup', 'mousemove', 'wheel', 'touchstart', 'touchmove',
       'touchend', 'touchcancel', 'focus', 'blur', 'visibilitychange', 'resize'].forEach(function (type) {
        window.addEventListener(type, function () {
          if (ravelaPage.wake) ravelaPage.wake();
        }, {capture: true, passive: true});
      });
    }
    return Asyncify.handleSleep(function (wakeUp) {
      var timer;
      function resume() {
        clearTimeout(timer);
        ravelaPage.wake = null;
        wakeUp();
      }
      timer = setTimeout(resume, limit);
      ravelaPage.wake = function () {
        clearTimeout(timer);
        timer = setTimeout(resume, 0);
      };
    });
  },

  // Ends a sleep until input on the browser's next turn; nothing when the program is awake.
  ravelaWake__deps: ['$ravelaPage'],
  ravelaWake__sig: 'v',
  ravelaWake: function () {
    if (ravelaPage.wake) ravelaPage.wake();
  },

  // Once a page has asked for the list of pads, the browser polls the devices every frame
  // until the page takes its last pad listener away, even one it never had.
  ravelaStopPadPolling__sig: 'v',
  ravelaStopPadPolling: function () {
    var none = function () {};
    window.addEventListener('gamepadconnected', none);
    window.removeEventListener('gamepadconnected', none);
  },

  // Copies rows top .. top + height of the screen's pixels (bytes red, green, blue, alpha,
  // width pixels a row) to the canvas, the columns left .. left + span only.
  ravelaCopyToCanvas__deps: ['$ravelaPage'],
  ravelaCopyToCanvas__sig: 'viiiiiii',
  ravelaCopyToCanvas: function (pixels, width, height, left, top, span, rows) {
    var context = Module['canvas'].getContext('2d');
    var image = ravelaPage.image;
    if (!image || image.width != width || image.height != height)
      image = ravelaPage.image = context.createImageData(width, height);
    var from = pixels + top * width * 4;
    image.data.set(HEAPU8.subarray(from, from + rows * width * 4), top * width * 4);
    context.putImageData(image, 0, 0, left, top, span, rows);
  },

  // emscripten's SDL_ShowCursor grabs the pointer in full screen; a style hides it instead.
  ravelaShowCursor__sig: 'vi',
  ravelaShowCursor: function (shown) {
    Module['canvas'].style.cursor = shown ? 'auto' : 'none';
  },

  // Where the desktop program exits, the page says so and offers a new game.
  ravelaGameEnded__sig: 'vi',
  ravelaGameEnded: function (status) {
    if (Module['onGameEnd']) Module['onGameEnd'](status);
  },
});
