// Node has no page. emscripten's SDL only registers listeners on it and makes 2D canvases
// for its surfaces, which the replay never shows, so a few stand-ins do.
var ravelaStandIn = { addEventListener: function () {}, removeEventListener: function () {} };
globalThis.window = ravelaStandIn;
globalThis.document = {
  addEventListener: ravelaStandIn.addEventListener,
  createElement: function () {
    return { width: 0, height: 0, style: {}, getContext: function () { return {}; } };
  },
};
Module['canvas'] = Object.assign(document.createElement('canvas'), ravelaStandIn, { width: 640, height: 480 });
