// Shared by the pyramid and effect tests: a fresh 512 pyramid per test, known
// pictures drawn into the capture corner, and small read-back helpers.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fx/render_pyramid.h"
#include "tests/support/gl_context.h"

namespace vorn::test {

// 512 x 512 RGB, rows bottom-up as glDrawPixels takes them.
using Picture = std::vector<std::uint8_t>;

inline Picture makePicture(std::uint8_t (*channel)(int x, int y, int c)) {
  Picture p(kPyramidBase * kPyramidBase * 3);
  for (int y = 0; y < kPyramidBase; ++y)
    for (int x = 0; x < kPyramidBase; ++x)
      for (int c = 0; c < 3; ++c) p[(y * kPyramidBase + x) * 3 + c] = channel(x, y, c);
  return p;
}

// Quadrants at 100: top left red, top right green, bottom left blue, bottom right yellow.
inline Picture quadrantPicture() {
  return makePicture([](int x, int y, int c) -> std::uint8_t {
    const bool right = x >= kPyramidBase / 2;
    const bool top = y >= kPyramidBase / 2;
    const int q = top ? (right ? 1 : 0) : (right ? 3 : 2);
    static const std::uint8_t colours[4][3] = {{100, 0, 0}, {0, 100, 0}, {0, 0, 100}, {100, 100, 0}};
    return colours[q][c];
  });
}

// Red grows with the texel column (x / 2), green with the row (y / 2).
inline Picture gradientPicture() {
  return makePicture([](int x, int y, int c) -> std::uint8_t { return c == 0 ? x / 2 : c == 1 ? y / 2 : 0; });
}

// The same at half the range, so that a picture added twice does not saturate.
inline Picture dimGradientPicture() {
  return makePicture([](int x, int y, int c) -> std::uint8_t { return c == 0 ? x / 4 : c == 1 ? y / 4 : 0; });
}

// One-texel checkerboard of black and white: level 1 and below are mid grey.
inline Picture checkerPicture() {
  return makePicture([](int x, int y, int) -> std::uint8_t { return (x + y) % 2 ? 255 : 0; });
}

inline Picture greyPicture40() {
  return makePicture([](int, int, int) -> std::uint8_t { return 40; });
}

// Draws the picture as a scene would between beginCapture and endCapture.
inline void drawPictureInCorner(const Picture& p) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();  // beginCapture pushed the projection; endCapture pops it
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1.0f, -1.0f);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glDrawPixels(kPyramidBase, kPyramidBase, GL_RGB, GL_UNSIGNED_BYTE, p.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPopMatrix();
}

// The first steps of an effect use: capture, chain, clear. Leaves the pass
// state entered; the test ends it with endPyramidPass.
inline void captureAndBuild(const Picture& p) {
  beginCapture();
  drawPictureInCorner(p);
  endCapture();
  buildPyramid();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

inline bool within(const Rgba& got, int r, int g, int b, int tolerance) {
  return std::abs(got.r - r) <= tolerance && std::abs(got.g - g) <= tolerance && std::abs(got.b - b) <= tolerance;
}

inline ::testing::AssertionResult pixelNear(int x, int yTop, int r, int g, int b, int tolerance) {
  const Rgba got = readPixelTop(x, yTop);
  if (within(got, r, g, b, tolerance)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << x << ", " << yTop << " from top) is (" << got.r << ", " << got.g
                                       << ", " << got.b << "), expected (" << r << ", " << g << ", " << b << ") +/- "
                                       << tolerance;
}

inline bool frameIsBlack() {
  for (int y = 5; y < 600; y += 50)
    for (int x = 5; x < 800; x += 50) {
      const Rgba p = readPixelTop(x, y);
      if (p.r || p.g || p.b) return false;
    }
  return true;
}

inline GLint levelParameter(int k, GLenum name) {
  GLint v = 0;
  glBindTexture(GL_TEXTURE_2D, pyramidLevel(k));
  glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
  return v;
}

class PyramidTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (HasFatalFailure()) return;
    createPyramid();
  }
};

}  // namespace vorn::test
