// Injected by web_check.py ahead of the page's own scripts (into a copy of
// the page): notes each animation-frame tick at which the canvas holds a new
// picture, which is what a viewer sees, and posts the ticks to
// /upload/pacing.json when the first show ends.
//
// A tick shows a new picture when anything was drawn into the canvas since
// the previous tick: with preserveDrawingBuffer off the browser presents the
// drawing buffer once per tick, so frames drawn between two ticks but the
// last are never seen. Each new picture is kept as [tick time in ms, demo
// time of the last frame the page started before it, or null].
(() => {
  let drawn = false;
  for (const type of [self.WebGLRenderingContext, self.WebGL2RenderingContext]) {
    if (!type) continue;
    for (const name of ["clear", "drawArrays", "drawElements"]) {
      const call = type.prototype[name];
      type.prototype[name] = function (...args) {
        drawn = true;
        return call.apply(this, args);
      };
    }
  }

  const pictures = [];
  let ticks = 0;        // animation-frame ticks while the show played
  let hookCalls = 0;    // calls of the page's frame hook
  let demo = null;
  let playing = false;
  const tick = (now) => {
    if (playing) {
      ++ticks;
      if (drawn) pictures.push([now, demo]);
    }
    drawn = false;
    requestAnimationFrame(tick);
  };
  requestAnimationFrame(tick);

  window.addEventListener("DOMContentLoaded", () => {
    const frame = window.vornFrame;
    window.vornFrame = (t) => {
      playing = true;
      demo = t;
      ++hookCalls;
      return frame(t);
    };
    const ended = window.vornShowEnded;
    let posted = false;
    window.vornShowEnded = () => {
      const first = playing && !posted;
      playing = false;
      ended();
      if (!first) return;
      posted = true;
      fetch("/upload/pacing.json", {
        method: "POST",
        headers: { "Content-Type": "application/json" },
        body: JSON.stringify({ pictures, ticks, hookCalls }),
      });
    };
  });
})();
