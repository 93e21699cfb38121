// The render-target pyramid, the screen-space set-ups and the glow. The chain
// lives in the back buffer's bottom-left corner and in copy-to-texture; the
// effects that read it are in screen_effects.cpp.
#include "fx/render_pyramid.h"

#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/added_passes.h"
#include "platform/captured_drawing.h"

namespace vorn {

namespace {

// Enough halvings for any base a GL texture can have (2^17 texels a side).
constexpr int kMaxLevels = 16;
constexpr float kScreenFar = 10.0f;
constexpr float kSizedFar = 1.0f;

// Program-wide pyramid: created once by the Engine; its textures live for the
// whole run. Only the test hook ever replaces them.
struct PyramidState {
  int baseWidth = kPyramidBase;
  int baseHeight = kPyramidBase;
  int levelCount = 0;
  GLuint levels[kMaxLevels] = {};
};

PyramidState pyramid;

void enterScreenSpace(int width, int height, float farPlane) {
  // The enable bits are pushed so that endScreenSpace can restore them; the
  // blend function and texture environment are not part of that push and
  // stay as set here.
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, width, height, 0.0, 0.0, farPlane);  // origin top left, y down
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void deleteLevels() {
  if (pyramid.levelCount > 0) glDeleteTextures(pyramid.levelCount, pyramid.levels);
  pyramid.levelCount = 0;
}

}  // namespace

void createPyramid() { createPyramidSized(kPyramidBase, kPyramidBase); }

void createPyramidSized(int baseWidth, int baseHeight) {
  if (baseWidth < 0 || baseHeight < 0 || baseWidth > (1 << kMaxLevels) || baseHeight > (1 << kMaxLevels)) {
    std::fprintf(stderr, "createPyramidSized: base %d x %d outside 0 .. %d; pass a texture-sized base\n", baseWidth,
                 baseHeight, 1 << kMaxLevels);
    std::abort();
  }
  deleteLevels();
  pyramid.baseWidth = baseWidth;
  pyramid.baseHeight = baseHeight;

  // The level images only need storage of the right size; the scratch buffer
  // is zeroed so that levels read before the first capture are black, and its
  // rows are padded to the default 4-byte unpack alignment.
  const size_t rowBytes = (static_cast<size_t>(baseWidth) * 3 + 3) & ~static_cast<size_t>(3);
  std::vector<unsigned char> scratch(rowBytes * static_cast<size_t>(baseHeight));

  int w = baseWidth;
  int h = baseHeight;
  int k = 0;
  while (w > 2 && h > 2 && k < kMaxLevels) {
    glGenTextures(1, &pyramid.levels[k]);
    glBindTexture(GL_TEXTURE_2D, pyramid.levels[k]);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, scratch.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    w /= 2;
    h /= 2;
    ++k;
  }
  pyramid.levelCount = k;
}

int pyramidLevelCount() { return pyramid.levelCount; }

GLuint pyramidLevel(int k) {
  if (k < 0 || k >= pyramid.levelCount) return 0;
  return pyramid.levels[k];
}

void beginCapture() {
  beginCapturedDrawing(pyramid.levelCount > 0 ? pyramid.levels[0] : 0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, pyramid.baseWidth, pyramid.baseHeight);
  // A default lens for scenes without a camera; a camera replaces it.
  gluPerspective(45.0, 1.3333333333333333, 0.01f, 5.0);
  glMatrixMode(GL_MODELVIEW);
}

void endCapture() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  // A base too small for any level leaves nothing to copy into.
  if (pyramid.levelCount > 0) {
    glBindTexture(GL_TEXTURE_2D, pyramid.levels[0]);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, pyramid.baseWidth, pyramid.baseHeight, 0);
  }
  endCapturedDrawing();
  glViewport(0, 0, kScreenWidth, kScreenHeight);
}

void buildPyramid() {
  // Popped by endPyramidPass; keeps the scene's lighting out of every pass.
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_LIGHTING);
  beginScreenSpace();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  if (pyramid.levelCount < 2) return;

  // Each level is the previous one drawn into the corner at half size and
  // copied back; blending with alpha 1 makes the quad replace the corner.
  int w = pyramid.baseWidth / 2;
  int h = pyramid.baseHeight / 2;
  for (int k = 1; k < pyramid.levelCount; ++k) {
    beginCapturedDrawing(pyramid.levels[k]);
    glViewport(0, 0, w, h);
    glBindTexture(GL_TEXTURE_2D, pyramid.levels[k - 1]);
    drawFullScreenQuad();
    glBindTexture(GL_TEXTURE_2D, pyramid.levels[k]);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, w, h, 0);
    endCapturedDrawing();
    w /= 2;
    h /= 2;
  }
  // The viewport stays at the last level's size; every pass sets its own.
}

void endPyramidPass() {
  endScreenSpace();
  glPopAttrib();
}

void drawGlow(float baseAlpha, float weight, int levelAdjust) {
  // Blending stays enabled and additive on return; the enclosing
  // endPyramidPass restores the enable bit only.
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  // M weighs the levels even when it reaches past the last one; only the
  // loop stops there, so a positive adjustment dims the levels it keeps.
  const int m = pyramid.levelCount + levelAdjust;
  const int drawn = m < pyramid.levelCount ? m : pyramid.levelCount;
  beginAddedPasses();
  for (int k = 0; k < drawn; ++k) {
    glViewport(0, 0, kScreenWidth, kScreenHeight);
    glBindTexture(GL_TEXTURE_2D, pyramid.levels[k]);
    const float a = k == 0 ? baseAlpha : static_cast<float>(k + 1) * weight / static_cast<float>(m);
    glColor4f(1.0f, 1.0f, 1.0f, a);
    drawFullScreenQuad();
  }
  endAddedPasses();
}

void beginScreenSpace() { enterScreenSpace(kScreenWidth, kScreenHeight, kScreenFar); }

void beginScreenSpaceSized(int width, int height) { enterScreenSpace(width, height, kSizedFar); }

void endScreenSpace() {
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
  // The projection matrix stays selected.
}

void drawFullScreenQuad() {
  // Texture row 0 is the picture's bottom row, so t = 1 goes at the top.
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(kScreenRight, 0.0f, 0.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(kScreenRight, kScreenBottom, 0.0f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(0.0f, kScreenBottom, 0.0f);
  glEnd();
}

}  // namespace vorn
