// The two ARB multitexture entry points, fetched once after the GL context
// exists and kept program-wide; drawing code calls them unconditionally.
#pragma once
#include <GL/gl.h>
#include <GL/glext.h>

namespace vorn::gl {

extern PFNGLACTIVETEXTUREARBPROC activeTextureARB;      // null until loadMultitexture succeeds
extern PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2fARB;  // null until loadMultitexture succeeds

// Fetches both entry points through SDL. Returns false, leaving both null,
// when either is missing; the caller must not draw in that case.
bool loadMultitexture();

}  // namespace vorn::gl
