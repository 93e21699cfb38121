// Multitexture entry points through SDL_GL_GetProcAddress.
#include "platform/gl_procs.h"

#include <SDL/SDL.h>

namespace vorn::gl {

PFNGLACTIVETEXTUREARBPROC activeTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2fARB = nullptr;

bool loadMultitexture() {
  auto active = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glActiveTextureARB"));
  auto texCoord = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(SDL_GL_GetProcAddress("glMultiTexCoord2fARB"));
  if (!active || !texCoord) return false;
  activeTextureARB = active;
  multiTexCoord2fARB = texCoord;
  return true;
}

}  // namespace vorn::gl
