// Reading back the mip levels of the texture bound to unit 0, for tests
// that compare what a texture holds.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

namespace vorn::test {

struct Level {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;  // width * height RGBA bytes, rows without padding

  bool operator==(const Level& o) const { return width == o.width && height == o.height && rgba == o.rgba; }
};

// One mip level of the bound texture; 0 x 0 with no texels past the last.
inline Level readLevel(int level) {
  Level out;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &out.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &out.height);
  out.rgba.resize(static_cast<std::size_t>(out.width) * out.height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!out.rgba.empty()) glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.rgba.data());
  return out;
}

// How many levels the bound texture has, counted from level 0.
inline int levelCount() {
  int levels = 0;
  for (;; ++levels) {
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &w);
    if (w == 0) return levels;
  }
}

}  // namespace vorn::test
