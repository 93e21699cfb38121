// Uploads of mipmapped RGBA pictures: the levels come from MipChain; GLU is
// left only what MipChain does not cover.
#include "res/mipmaps.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/gl_procs.h"
#include "res/mip_chain.h"

namespace vorn {

int maxTextureSide() {
  GLint side = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
  return side;
}

// GLU shrinks a level 0 that the GL cannot hold until it fits; that case is
// left to GLU itself.
bool uploadsAsChain(int width, int height, int maxSide) {
  return mipSide(width) <= maxSide && mipSide(height) <= maxSide;
}

void uploadMipChain(const MipChain& chain) {
  if (gl::texStorage2D) {
    const MipLevel& top = chain.level(0);
    gl::texStorage2D(GL_TEXTURE_2D, chain.levelCount(), GL_RGBA8, top.width, top.height);
    for (int n = 0; n < chain.levelCount(); ++n) {
      const MipLevel& level = chain.level(n);
      glTexSubImage2D(GL_TEXTURE_2D, n, 0, 0, level.width, level.height, GL_RGBA, GL_UNSIGNED_BYTE, level.rgba);
    }
    return;
  }
  for (int n = 0; n < chain.levelCount(); ++n) {
    const MipLevel& level = chain.level(n);
    glTexImage2D(GL_TEXTURE_2D, n, GL_RGBA, level.width, level.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.rgba);
  }
}

void uploadMipmapped(int width, int height, const unsigned char* rgba) {
  if (!uploadsAsChain(width, height, maxTextureSide())) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return;
  }
  uploadMipChain(MipChain(width, height, rgba));
}

}  // namespace vorn
