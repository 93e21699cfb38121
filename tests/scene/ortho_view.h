// A GL test fixture with an orthographic view in which world x and y from
// -10 to 10 cover the 800 x 600 window, and helpers that ask whether a world
// point came out lit.
#pragma once

#include <GL/gl.h>

#include "tests/support/gl_context.h"

namespace vorn::test {

inline int pixelX(float x) { return static_cast<int>((x + 10.0f) / 20.0f * 800.0f); }
inline int pixelY(float y) { return static_cast<int>((y + 10.0f) / 20.0f * 600.0f); }

// True when the pixel under world point (x, y) is not black.
inline bool lit(float x, float y) {
  const Rgba p = readPixel(pixelX(x), pixelY(y));
  return p.r + p.g + p.b > 0;
}

class OrthoViewTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (HasFatalFailure()) return;
    glMatrixMode(GL_PROJECTION);
    glOrtho(-10.0, 10.0, -10.0, 10.0, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
  }
};

}  // namespace vorn::test
