// Put before emscripten's runtime in ravela.js. Its SDL asks for the window's unload event, to end
// the program as the page goes; browsers deprecate unload, since it keeps a page out of the
// back-forward cache. pagehide, when the page is not kept to come back to, says the same, so SDL is
// handed that as the unload it asked for.
(function () {
  var add = window.addEventListener;
  window.addEventListener = function (type, listener, options) {
    var target = this || window;
    if (type !== 'unload') return add.call(target, type, listener, options);
    return add.call(target, 'pagehide', function (event) {
      if (!event.persisted) listener.call(target, { type: 'unload' });
    }, options);
  };
})();
