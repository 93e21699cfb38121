// Marks the drawing of a frame that is then copied, whole, from the window's
// corner into `texture` (the feedback's target, the pyramid's levels), which
// the browser's GL layer may draw straight into the texture instead
// (vw_begin_captured_drawing in platform/web/gl_web.h). The drawing must not
// sample `texture`; 0 marks nothing. Nothing on the desktop, whose GL copies.
#pragma once

#include <GL/gl.h>

namespace vorn {

#ifdef __EMSCRIPTEN__
inline void beginCapturedDrawing(GLuint texture) { vw_begin_captured_drawing(texture); }
inline void endCapturedDrawing() { vw_end_captured_drawing(); }
#else
inline void beginCapturedDrawing(GLuint) {}
inline void endCapturedDrawing() {}
#endif

}  // namespace vorn
