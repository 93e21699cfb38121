// Box-filter mipmaps for power-of-two pictures; GLU for the rest.
#include "res/mipmaps.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <vector>

namespace vorn {

namespace {

constexpr int kChannels = 4;

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// One level down from a w x h level (not both 1); out gets (w/2 or 1) x (h/2 or 1).
void halve(const unsigned char* in, int w, int h, unsigned char* out) {
  const std::size_t row = static_cast<std::size_t>(w) * kChannels;
  if (w == 1 || h == 1) {
    // A single row or column: pairs along it, rounded down.
    const int pairs = (w == 1 ? h : w) / 2;
    for (int i = 0; i < pairs; ++i)
      for (int c = 0; c < kChannels; ++c)
        *out++ = static_cast<unsigned char>((in[(2 * i) * kChannels + c] + in[(2 * i + 1) * kChannels + c]) / 2);
    return;
  }
  for (int y = 0; y < h / 2; ++y) {
    const unsigned char* top = in + 2 * y * row;
    const unsigned char* bottom = top + row;
    for (int x = 0; x < w / 2; ++x)
      for (int c = 0; c < kChannels; ++c) {
        const int i = 2 * x * kChannels + c;
        *out++ = static_cast<unsigned char>((top[i] + top[i + kChannels] + bottom[i] + bottom[i + kChannels] + 2) / 4);
      }
  }
}

}  // namespace

// In the browser the GL layer's stand-in for gluBuild2DMipmaps also keeps an
// inverted copy of every picture for its texture environment, so every size
// goes through it there.
#ifdef __EMSCRIPTEN__
constexpr bool kGluForEverySize = true;
#else
constexpr bool kGluForEverySize = false;
#endif

void uploadMipmapped(int width, int height, const unsigned char* rgba) {
  if (kGluForEverySize || !isPowerOfTwo(width) || !isPowerOfTwo(height)) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return;
  }
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  std::vector<unsigned char> above, below;
  const unsigned char* level = rgba;
  int w = width, h = height;
  for (int n = 1; w > 1 || h > 1; ++n) {
    below.resize(static_cast<std::size_t>(w > 1 ? w / 2 : 1) * (h > 1 ? h / 2 : 1) * kChannels);
    halve(level, w, h, below.data());
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
    glTexImage2D(GL_TEXTURE_2D, n, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, below.data());
    above.swap(below);
    level = above.data();
  }
}

}  // namespace vorn
