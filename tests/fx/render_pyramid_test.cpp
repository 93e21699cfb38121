// The pyramid's levels, the capture, the chain, the screen-space set-ups and
// the glow, on the real GL context.
#include "fx/render_pyramid.h"

#include <GL/glu.h>

#include <cmath>

#include "tests/fx/pyramid_fixture.h"

namespace vorn::test {
namespace {

struct BaseRow {
  const char* name;
  int width, height;
  int levels;
};

TEST_F(PyramidTest, LevelChainHalvesDownToFourTexels) {
  const BaseRow rows[] = {
      {"program base", 512, 512, 8},
      {"4 x 4 gives one level", 4, 4, 1},
      {"2 x 2 gives none", 2, 2, 0},
      {"stops when either side reaches 2", 512, 4, 1},
  };
  for (const BaseRow& row : rows) {
    SCOPED_TRACE(row.name);
    createPyramidSized(row.width, row.height);
    ASSERT_EQ(pyramidLevelCount(), row.levels);
    EXPECT_EQ(pyramidLevel(row.levels), 0u);
    for (int k = 0; k < row.levels; ++k) {
      SCOPED_TRACE(k);
      ASSERT_NE(pyramidLevel(k), 0u);
      GLint w = 0, h = 0, format = 0;
      glBindTexture(GL_TEXTURE_2D, pyramidLevel(k));
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
      EXPECT_EQ(w, row.width >> k);
      EXPECT_EQ(h, row.height >> k);
      EXPECT_TRUE(format == GL_RGB || format == 3) << format;
      EXPECT_EQ(levelParameter(k, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
      EXPECT_EQ(levelParameter(k, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
      EXPECT_EQ(levelParameter(k, GL_TEXTURE_WRAP_S), GL_CLAMP);
      EXPECT_EQ(levelParameter(k, GL_TEXTURE_WRAP_T), GL_CLAMP);
    }
  }
}

void expectMatrixNear(const std::array<GLfloat, 16>& got, const std::array<GLfloat, 16>& want) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], 1e-5f) << "element " << i;
}

std::array<GLfloat, 16> markerMatrix(GLenum mode) {
  glMatrixMode(mode);
  glLoadIdentity();
  glTranslatef(3.0f, -2.0f, 1.0f);
  return getMatrix(mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX);
}

TEST_F(PyramidTest, CaptureDrawsIntoTheCornerAndCopiesItToLevelZero) {
  const auto projection = markerMatrix(GL_PROJECTION);
  const auto modelview = markerMatrix(GL_MODELVIEW);
  const StackDepths before = stackDepths();

  beginCapture();
  EXPECT_EQ(getInteger(GL_MATRIX_MODE), GL_MODELVIEW);
  EXPECT_EQ(stackDepths().projection, before.projection + 1);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 512);
  EXPECT_EQ(viewport[3], 512);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(45.0, 4.0 / 3.0, 0.01, 5.0);
  const auto lens = getMatrix(GL_PROJECTION_MATRIX);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  expectMatrixNear(getMatrix(GL_PROJECTION_MATRIX), lens);
  expectMatrixNear(getMatrix(GL_MODELVIEW_MATRIX), modelview);

  drawPictureInCorner(quadrantPicture());
  endCapture();
  EXPECT_EQ(stackDepths(), before);
  EXPECT_EQ(getInteger(GL_MATRIX_MODE), GL_MODELVIEW);
  expectMatrixNear(getMatrix(GL_PROJECTION_MATRIX), projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);

  // Texel rows run bottom-up like the frame: row 0 holds the bottom quadrants.
  std::vector<GLubyte> level0(512 * 512 * 3);
  glBindTexture(GL_TEXTURE_2D, pyramidLevel(0));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, level0.data());
  const Picture picture = quadrantPicture();
  for (int texel : {0, 511, 511 * 512, 512 * 512 - 1, 100 * 512 + 300}) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(level0[texel * 3 + c], picture[texel * 3 + c]) << "texel " << texel;
  }
}

TEST_F(PyramidTest, BuildFillsEachLevelFromTheOneAboveAndEntersScreenSpace) {
  glEnable(GL_LIGHTING);
  const StackDepths before = stackDepths();
  captureAndBuild(quadrantPicture());

  EXPECT_EQ(stackDepths(), (StackDepths{before.projection + 1, before.modelview + 1, before.attrib + 2}));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 4);
  EXPECT_EQ(viewport[3], 4);

  // The coarsest level still holds the four quadrants, the right way up.
  GLubyte level7[4 * 4 * 3];
  glBindTexture(GL_TEXTURE_2D, pyramidLevel(7));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, level7);
  struct {
    int texel, r, g, b;
  } const corners[] = {{0, 0, 0, 100}, {3, 100, 100, 0}, {12, 100, 0, 0}, {15, 0, 100, 0}};
  for (const auto& c : corners) {
    const GLubyte* t = level7 + c.texel * 3;
    EXPECT_TRUE(std::abs(t[0] - c.r) <= 2 && std::abs(t[1] - c.g) <= 2 && std::abs(t[2] - c.b) <= 2)
        << "texel " << c.texel << " is " << int(t[0]) << ", " << int(t[1]) << ", " << int(t[2]);
  }
  for (int k = 1; k < 8; ++k) {
    GLint w = 0;
    glBindTexture(GL_TEXTURE_2D, pyramidLevel(k));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, 512 >> k);
  }

  endPyramidPass();
  EXPECT_EQ(stackDepths(), before);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  glDisable(GL_LIGHTING);
}

TEST_F(PyramidTest, BuildWithFewerThanTwoLevelsStillEntersScreenSpace) {
  for (int base : {4, 2}) {
    SCOPED_TRACE(base);
    createPyramidSized(base, base);
    const StackDepths before = stackDepths();
    captureAndBuild(quadrantPicture());
    EXPECT_EQ(stackDepths(), (StackDepths{before.projection + 1, before.modelview + 1, before.attrib + 2}));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    drawGlow(0.7f, 1.0f, 0);
    endPyramidPass();
    EXPECT_EQ(stackDepths(), before);
  }
}

struct ScreenSpaceRow {
  const char* name;
  int width, height;
  float farPlane;
  bool sized;
};

TEST_F(PyramidTest, ScreenSpaceSetsOrthoTopLeftAndRestoresMatricesAndEnables) {
  const ScreenSpaceRow rows[] = {{"800 x 600", 800, 600, 10.0f, false}, {"sized 320 x 200", 320, 200, 1.0f, true}};
  for (const ScreenSpaceRow& row : rows) {
    SCOPED_TRACE(row.name);
    const auto projection = markerMatrix(GL_PROJECTION);
    const auto modelview = markerMatrix(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    const StackDepths before = stackDepths();

    if (row.sized) {
      beginScreenSpaceSized(row.width, row.height);
    } else {
      beginScreenSpace();
    }
    EXPECT_EQ(stackDepths(), (StackDepths{before.projection + 1, before.modelview + 1, before.attrib + 1}));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], row.width);
    EXPECT_EQ(viewport[3], row.height);
    const float w = static_cast<float>(row.width), h = static_cast<float>(row.height), f = row.farPlane;
    expectMatrixNear(getMatrix(GL_PROJECTION_MATRIX), {2 / w, 0, 0, 0, 0, -2 / h, 0, 0, 0, 0, -2 / f, 0, -1, 1, -1, 1});
    expectMatrixNear(getMatrix(GL_MODELVIEW_MATRIX), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(getInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(getInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);

    endScreenSpace();
    EXPECT_EQ(stackDepths(), before);
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GL_PROJECTION);
    expectMatrixNear(getMatrix(GL_PROJECTION_MATRIX), projection);
    expectMatrixNear(getMatrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(getInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);  // not part of the pushed bits
  }
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
}

TEST_F(PyramidTest, FullScreenQuadShowsTheTextureUprightAndFillsAnyViewport) {
  captureAndBuild(quadrantPicture());
  glBindTexture(GL_TEXTURE_2D, pyramidLevel(0));
  glViewport(0, 0, 800, 600);
  drawFullScreenQuad();
  EXPECT_TRUE(pixelNear(200, 150, 100, 0, 0, 2));
  EXPECT_TRUE(pixelNear(600, 150, 0, 100, 0, 2));
  EXPECT_TRUE(pixelNear(200, 450, 0, 0, 100, 2));
  EXPECT_TRUE(pixelNear(600, 450, 100, 100, 0, 2));

  glClear(GL_COLOR_BUFFER_BIT);
  glViewport(0, 0, 400, 300);
  drawFullScreenQuad();
  EXPECT_TRUE(within(readPixel(100, 225), 100, 0, 0, 2));
  EXPECT_TRUE(within(readPixel(300, 75), 100, 100, 0, 2));
  EXPECT_TRUE(within(readPixel(600, 450), 0, 0, 0, 0));
  endPyramidPass();
}

// Fills every level with black except level `lit`, which gets grey 80.
void lightOneLevel(int lit) {
  for (int k = 0; k < pyramidLevelCount(); ++k) {
    const int side = 512 >> k;
    std::vector<GLubyte> texels(side * side * 3, k == lit ? 80 : 0);
    glBindTexture(GL_TEXTURE_2D, pyramidLevel(k));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(PyramidTest, GlowAddsEachLevelAtItsOwnAlpha) {
  struct {
    const char* name;
    float weight;
    int adjust;
    int expected[8];  // grey seen when only level k holds grey 80
  } const rows[] = {
      {"full weight, all levels", 1.0f, 0, {56, 20, 30, 40, 50, 60, 70, 80}},
      {"zero weight adds nothing above level 0", 0.0f, 0, {56, 0, 0, 0, 0, 0, 0, 0}},
      {"two levels", 0.3f, -6, {56, 24, 0, 0, 0, 0, 0, 0}},
      // M = 11 still divides the weights; the loop just ends at level 7.
      {"a positive adjustment stops at the last level", 1.0f, 3, {56, 15, 22, 29, 36, 44, 51, 58}},
  };
  for (const auto& row : rows) {
    for (int k = 0; k < 8; ++k) {
      SCOPED_TRACE(::testing::Message() << row.name << ", level " << k);
      captureAndBuild(greyPicture40());
      lightOneLevel(k);
      drawGlow(0.7f, row.weight, row.adjust);
      EXPECT_TRUE(pixelNear(400, 300, row.expected[k], row.expected[k], row.expected[k], 2));
      endPyramidPass();
    }
  }
}

TEST_F(PyramidTest, GlowLeavesFullViewportAndAdditiveBlendUntilThePassEnds) {
  captureAndBuild(greyPicture40());
  drawGlow(0.7f, 1.0f, 0);
  // Level 0 at 0.7 plus levels 1 .. 7 at (k + 1) / 8, all grey 40.
  EXPECT_TRUE(pixelNear(123, 456, 203, 203, 203, 3));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(getInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(getInteger(GL_BLEND_DST), GL_ONE);
  endPyramidPass();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(getInteger(GL_BLEND_DST), GL_ONE);
}

}  // namespace
}  // namespace vorn::test
