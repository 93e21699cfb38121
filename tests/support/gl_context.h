// One real SDL/Mesa OpenGL context per test binary, opened on first use in an
// 800 x 600 window with the program's own attributes.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace vorn::test {

// Opens the context once (idempotent) and fetches the multitexture entry
// points. Fails the calling test fatally when no GL context can be had.
void ensureGlContext();

struct Rgba {
  int r, g, b, a;
};

// Reads one pixel of the back buffer (or of the Engine's frame while bound); (x, y) in GL window coordinates (origin
// bottom left).
Rgba readPixel(int x, int y);
// Reads one pixel with y measured from the top of the 800 x 600 window.
Rgba readPixelTop(int x, int yFromTop);

GLint getInteger(GLenum name);
std::array<GLfloat, 16> getMatrix(GLenum name);  // GL_PROJECTION_MATRIX or GL_MODELVIEW_MATRIX

// Depths of the three stacks that full-screen passes must leave balanced.
struct StackDepths {
  GLint projection, modelview, attrib;
  bool operator==(const StackDepths& o) const {
    return projection == o.projection && modelview == o.modelview && attrib == o.attrib;
  }
};
StackDepths stackDepths();

// Writes the 800 x 600 back buffer to a PNG, for looking at what a test drew.
void saveBackBuffer(const char* path);

// Test fixture: a fresh GL state for each test (identity matrices, unit 0,
// black clear, full viewport, blending/depth/texturing off), no GL error left.
class GlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace vorn::test
