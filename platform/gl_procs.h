// GL entry points beyond OpenGL 1.1, fetched once after the GL context exists
// and kept program-wide: the two ARB multitexture calls, which drawing code
// calls unconditionally, the framebuffer-object calls of the off-screen frame
// and immutable texture storage for pictures.
#pragma once
#include <GL/gl.h>
#include <GL/glext.h>

namespace vorn::gl {

extern PFNGLACTIVETEXTUREARBPROC activeTextureARB;      // null until loadMultitexture succeeds
extern PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2fARB;  // null until loadMultitexture succeeds

// Fetches both entry points through SDL. Returns false, leaving both null,
// when either is missing; the caller must not draw in that case.
bool loadMultitexture();

// The framebuffer-object calls, from GL_EXT_framebuffer_object or from core
// OpenGL 3.0 (same signatures and enum values). All null, or all set.
struct FramebufferProcs {
  PFNGLGENFRAMEBUFFERSEXTPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSEXTPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFEREXTPROC bindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DEXTPROC framebufferTexture2D = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC checkFramebufferStatus = nullptr;
  PFNGLGENRENDERBUFFERSEXTPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSEXTPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFEREXTPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEEXTPROC renderbufferStorage = nullptr;
};
extern FramebufferProcs fbo;

// Fills `fbo` when the current context offers framebuffer objects and
// textures of any size (both needed for an 800 x 600 colour texture).
// Returns false, leaving `fbo` empty, otherwise.
bool loadFramebufferObject();

// glTexStorage2D from OpenGL 4.2 or GL_ARB_texture_storage; null without
// either. A picture's levels are then allocated once, in one piece, instead
// of level by level and again in one piece when it is first drawn.
extern PFNGLTEXSTORAGE2DPROC texStorage2D;

// Sets texStorage2D when the current context offers it; leaves it null otherwise.
void loadTextureStorage();

}  // namespace vorn::gl
