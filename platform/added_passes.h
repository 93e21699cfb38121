// Marks a run of additive passes (blend GL_SRC_ALPHA, GL_ONE, one texture
// each) that the browser's GL layer may add up in one pass of its own,
// storing the same pixels (vw_begin_added_passes in platform/web/gl_web.h).
// Nothing on the desktop, whose GL draws the passes as they come.
#pragma once

namespace vorn {

#ifdef __EMSCRIPTEN__
inline void beginAddedPasses() { vw_begin_added_passes(); }
inline void endAddedPasses() { vw_end_added_passes(); }
#else
inline void beginAddedPasses() {}
inline void endAddedPasses() {}
#endif

}  // namespace vorn
