// The screen passes drawn from the pyramid levels inside screen space, and the
// EffectType table that combines them. Each pass leaves the matrix and
// attribute stacks as it found them; the pyramid itself is render_pyramid.cpp's.
#include "fx/screen_effects.h"

#include <GL/gl.h>

#include <cmath>

#include "fx/render_pyramid.h"

namespace vorn {

namespace {

constexpr float kQuarterTurn = 1.5707964f;

constexpr float kScreenCentreX = 0.5f * kScreenRight;
constexpr float kScreenCentreY = 0.5f * kScreenBottom;

constexpr int kLensColumns = 41;
constexpr int kLensRows = 31;
constexpr float kLensColumnStep = 0.025f;
constexpr float kLensRowCount = 30.0f;
constexpr float kLensCell = 20.0f;             // pixels per grid cell on screen
constexpr float kLensRadiusSquared = 0.5625f;  // sphere of radius 0.75 over the unit square
constexpr float kLensMinDepth = 0.00001f;

constexpr int kTiles = 64;           // per side
constexpr float kTileSize = 0.016f;  // a little over 1/64, so neighbours overlap
// Each tile has its own matrix, so each is a draw of its own, and Mesa's
// llvmpipe holds every draw of a frame's batch until the batch is rasterised:
// over 100 MB for all 4096 tiles. Finishing every few columns bounds that to
// a few MB (and costs less time than the page faults of the big batch); the
// picture is the same, as only the batches are split.
constexpr int kTileColumnsPerBatch = 2;

constexpr int kBarCount = 4;
constexpr float kBarWidth = kScreenRight / kBarCount;  // the bars cover the screen

float clampUnit(float x) {
  if (x < 0.0f) return 0.0f;
  if (x > 1.0f) return 1.0f;
  return x;
}

void setWrap(GLint mode) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
}

void setFilter(GLint mode) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mode);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mode);
}

// Every pass reads level 0; a pyramid too small to have one draws nothing.
bool havePicture() { return pyramidLevelCount() > 0; }

}  // namespace

void drawRadialFan(float t) {
  if (!havePicture()) return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glViewport(0, 0, kScreenWidth, kScreenHeight);

  // A and B: a quarter turn apart on the circle of radius 0.5 about the texture centre.
  const float th = t + kQuarterTurn;
  const float as = (std::cos(t) + 1.0f) * 0.5f;
  const float at = (std::sin(t) + 1.0f) * 0.5f;
  const float bs = (std::cos(th) + 1.0f) * 0.5f;
  const float bt = (std::sin(th) + 1.0f) * 0.5f;

  glBindTexture(GL_TEXTURE_2D, pyramidLevel(0));
  setWrap(GL_REPEAT);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

  // Eight triangles around the screen centre, alternately sampling (A, B)
  // and (B, A): mirrored copies of one slice.
  glBegin(GL_TRIANGLE_FAN);
  glTexCoord2f(0.5f, 0.5f);
  glVertex2f(kScreenCentreX, kScreenCentreY);
  glTexCoord2f(as, at);
  glVertex2f(kScreenRight, 0.0f);
  glTexCoord2f(bs, bt);
  glVertex2f(kScreenRight, kScreenCentreY);
  glTexCoord2f(as, at);
  glVertex2f(kScreenRight, kScreenBottom);
  glTexCoord2f(bs, bt);
  glVertex2f(kScreenCentreX, kScreenBottom);
  glTexCoord2f(as, at);
  glVertex2f(0.0f, kScreenBottom);
  glTexCoord2f(bs, bt);
  glVertex2f(0.0f, kScreenCentreY);
  glTexCoord2f(as, at);
  glVertex2f(0.0f, 0.0f);
  glTexCoord2f(bs, bt);
  glVertex2f(kScreenCentreX, 0.0f);
  glTexCoord2f(as, at);
  glVertex2f(kScreenRight, 0.0f);
  glEnd();

  setWrap(GL_CLAMP);
  glDisable(GL_BLEND);
}

void drawLevelCrossfade(float x) {
  if (!havePicture()) return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  x = clampUnit(x);

  // Level d and d + 1 share x's step of 1/N; e is x's position inside it.
  const int n = pyramidLevelCount();
  const float nf = static_cast<float>(n);
  int d = static_cast<int>(x * nf);
  if (d > n - 1) d = n - 1;
  const float lo = static_cast<float>(d) / nf;
  const float hi = static_cast<float>(d + 1) / nf;
  const float e = (x - lo) / (hi - lo);

  glViewport(0, 0, kScreenWidth, kScreenHeight);
  for (int i = 0; i < 2; ++i) {
    int level = d + i;
    if (level > n - 1) level = n - 1;
    glBindTexture(GL_TEXTURE_2D, pyramidLevel(level));
    setFilter(GL_NEAREST);  // coarse levels show as hard blocks
    glColor4f(1.0f, 1.0f, 1.0f, i == 0 ? 1.0f - e : e);
    drawFullScreenQuad();
    setFilter(GL_LINEAR);
  }
  glDisable(GL_BLEND);
}

void drawLensWarp(float strength, float scale) {
  if (!havePicture()) return;
  const float a = clampUnit(strength);
  const float b = scale;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glViewport(0, 0, kScreenWidth, kScreenHeight);
  glBindTexture(GL_TEXTURE_2D, pyramidLevel(0));
  setWrap(GL_REPEAT);
  glColor3f(1.0f, 1.0f, 1.0f);

  // Texture coordinates of the grid: a blend, by a, between the identity and
  // a projection through a sphere of radius 0.75 over the unit square.
  float gridS[kLensRows * kLensColumns];
  float gridT[kLensRows * kLensColumns];
  for (int r = 0; r < kLensRows; ++r) {
    const float y = static_cast<float>(r) / kLensRowCount;
    for (int k = 0; k < kLensColumns; ++k) {
      const float x = static_cast<float>(k) * kLensColumnStep;
      const float dx = x - 0.5f;
      const float dy = y - 0.5f;
      float z = std::sqrt(std::fabs(kLensRadiusSquared - dx * dx - dy * dy));
      if (z == 0.0f) z = kLensMinDepth;
      const int i = r * kLensColumns + k;
      gridS[i] = a * (b * dx / z + 0.5f) + (1.0f - a) * x;
      gridT[i] = a * (b * dy / z + 0.5f) + (1.0f - a) * y;
    }
  }

  // Grid row 0 lies on the bottom edge. Each strip emits every triangle of
  // its cells twice, so the picture is added to the frame twice.
  auto corner = [&](int r, int k, float x, float y) {
    const int i = r * kLensColumns + k;
    glTexCoord2f(gridS[i], gridT[i]);
    glVertex2f(x, y);
  };
  for (int r = 0; r < kLensRows - 1; ++r) {
    const float y0 = kScreenBottom - kLensCell * static_cast<float>(r);
    const float y1 = y0 - kLensCell;
    glBegin(GL_TRIANGLE_STRIP);
    corner(r + 1, 0, 0.0f, y1);
    for (int k = 0; k < kLensColumns - 1; ++k) {
      const float x = kLensCell * static_cast<float>(k);
      corner(r, k, x, y0);
      corner(r, k + 1, x + kLensCell, y0);
      corner(r + 1, k, x, y1);
      corner(r + 1, k + 1, x + kLensCell, y1);
    }
    corner(r, kLensColumns - 1, kScreenRight, y0);
    glEnd();
  }

  setWrap(GL_CLAMP);
  glDisable(GL_BLEND);
}

void drawTileWave(float t, float motion, float alpha) {
  if (!havePicture()) return;
  const float p = motion;
  glViewport(0, 0, kScreenWidth, kScreenHeight);
  // The pop restores the binding and the parameters of the texture bound at
  // this push (the last level built), not level 0's: level 0 keeps repeat.
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glBindTexture(GL_TEXTURE_2D, pyramidLevel(0));
  setWrap(GL_REPEAT);  // the tiles' t coordinates run below 0
  glColor3f(1.0f, 1.0f, 1.0f);

  float swingX[kTiles];
  float swingY[kTiles];
  float slide[kTiles];
  const float u = t * std::cos(0.01f * t);
  for (int i = 0; i < kTiles; ++i) {
    const float fi = static_cast<float>(i);
    swingX[i] = std::sin(0.34f * t + 0.4f * fi);
    swingY[i] = std::sin(0.7f * t + 0.38f * fi);
    slide[i] = std::sin(u + 0.2f * fi);
  }

  // The unit square centred on the origin covers the screen, y downward.
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glTranslatef(kScreenCentreX, kScreenCentreY, -5.0f);
  glScalef(kScreenRight, kScreenBottom, 0.1f);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  // Screen space blends source alpha over the black frame, so alpha fades the tiles.
  glColor4f(1.0f, 1.0f - p, 1.0f - p, alpha);

  for (int i = 0; i < kTiles; ++i) {
    const float x0 = static_cast<float>(i) / 64.0f - 0.5f;
    const float x1 = x0 + kTileSize;
    const float s0 = static_cast<float>(i) / 64.0f;
    const float s1 = s0 + kTileSize;
    for (int j = 0; j < kTiles; ++j) {
      const float y0 = static_cast<float>(j) / 64.0f - 0.5f;
      const float y1 = y0 + kTileSize;
      const float t0 = -static_cast<float>(j) / 64.0f;
      const float t1 = t0 + kTileSize;
      glPushMatrix();
      glRotatef(50.0f * p * swingX[i], 1.0f, 0.0f, 0.0f);
      glRotatef(50.0f * p * swingY[j], 0.0f, 1.0f, 0.0f);
      glTranslatef(p * slide[j], 0.0f, 0.0f);
      glBegin(GL_QUADS);
      glTexCoord2f(s0, t0);
      glVertex3f(x0, y0, 0.0f);
      glTexCoord2f(s1, t0);
      glVertex3f(x1, y0, 0.0f);
      glTexCoord2f(s1, t1);
      glVertex3f(x1, y1, 0.0f);
      glTexCoord2f(s0, t1);
      glVertex3f(x0, y1, 0.0f);
      glEnd();
      glPopMatrix();
    }
    if (i % kTileColumnsPerBatch == kTileColumnsPerBatch - 1) glFinish();
  }

  glPopMatrix();
  glPopAttrib();
}

void drawBarWipe(float x) {
  if (!havePicture()) return;
  glViewport(0, 0, kScreenWidth, kScreenHeight);
  // As in the tile wave, level 0 keeps repeat wrapping after the pop.
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glBindTexture(GL_TEXTURE_2D, pyramidLevel(0));
  setWrap(GL_REPEAT);
  glColor3f(1.0f, 1.0f, 1.0f);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

  // n whole bars; the next one is f of the way down and of the way to black.
  const float bars = static_cast<float>(kBarCount) * x;
  const int n = static_cast<int>(bars);
  const float f = bars - static_cast<float>(n);

  drawFullScreenQuad();
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  glDisable(GL_TEXTURE_2D);
  for (int i = 0; i < n; ++i) {
    const float left = kBarWidth * static_cast<float>(i);
    const float right = kBarWidth * static_cast<float>(i + 1);
    glBegin(GL_QUADS);
    glVertex3f(left, 0.0f, 0.0f);
    glVertex3f(right, 0.0f, 0.0f);
    glVertex3f(right, kScreenBottom, 0.0f);
    glVertex3f(left, kScreenBottom, 0.0f);
    glEnd();
  }
  const float left = kBarWidth * static_cast<float>(n);
  const float right = kBarWidth * static_cast<float>(n + 1);
  const float bottom = kScreenBottom * f;
  glColor4f(1.0f - f, 1.0f - f, 1.0f - f, 1.0f);
  glBegin(GL_QUADS);
  glVertex3f(left, 0.0f, 0.0f);
  glVertex3f(right, 0.0f, 0.0f);
  glVertex3f(right, bottom, 0.0f);
  glVertex3f(left, bottom, 0.0f);
  glEnd();

  glPopAttrib();
}

void drawEffect(EffectType e, float t, float v) {
  switch (e) {
    case EffectGlow: drawGlow(0.7f, v, 0); break;
    case EffectRadial: drawRadialFan(t); break;
    case EffectPixelate: drawLevelCrossfade(v); break;
    case EffectRadialGlow:
      drawRadialFan(t);
      drawLevelCrossfade(1.0f - v);
      drawGlow(0.7f, v, 0);
      break;
    case EffectTileWave: drawTileWave(t, v, 1.0f - v); break;
    case EffectBarWipe: drawBarWipe(v); break;
    case EffectPixelateGlow:
      drawLevelCrossfade(v);
      drawGlow(0.7f, 0.3f, -6);
      break;
    case EffectLens: drawLensWarp(v, 0.2f); break;
    default: break;  // unknown numbers leave the frame black
  }
}

}  // namespace vorn
