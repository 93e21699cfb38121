// The screen effects drawn from a known captured picture, read back pixel by
// pixel, and the state each EffectType leaves behind.
#include "fx/screen_effects.h"

#include <algorithm>
#include <cmath>

#include "tests/fx/pyramid_fixture.h"

namespace vorn::test {
namespace {

using EffectsTest = PyramidTest;

struct Sample {
  int x, yTop;
  int r, g, b;
};

TEST_F(EffectsTest, BarWipeCoversThePictureBarByBar) {
  struct {
    float x;
    std::vector<Sample> samples;
  } const rows[] = {
      {0.0f, {{100, 1, 100, 0, 0}, {500, 1, 0, 100, 0}, {100, 450, 0, 0, 100}, {700, 590, 100, 100, 0}}},
      {0.5f, {{100, 300, 0, 0, 0}, {300, 300, 0, 0, 0}, {500, 100, 0, 100, 0}, {700, 450, 100, 100, 0}}},
      // The third bar halfway down and halfway to black.
      {0.625f, {{300, 590, 0, 0, 0}, {500, 100, 128, 128, 128}, {500, 450, 100, 100, 0}, {700, 100, 0, 100, 0}}},
      {1.0f, {{100, 300, 0, 0, 0}, {300, 10, 0, 0, 0}, {500, 590, 0, 0, 0}, {790, 300, 0, 0, 0}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.x);
    captureAndBuild(quadrantPicture());
    drawEffect(EffectBarWipe, 0.0f, row.x);
    for (const Sample& s : row.samples) EXPECT_TRUE(pixelNear(s.x, s.yTop, s.r, s.g, s.b, 2));
    endPyramidPass();
  }
}

// Distinct runs of red along a row: the number of texel columns the shown level has.
int redRunsAlongRow(int yTop) {
  std::vector<GLubyte> row(800 * 4);
  glReadPixels(0, 599 - yTop, 800, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
  int runs = 1;
  for (int x = 1; x < 800; ++x) runs += row[x * 4] != row[(x - 1) * 4];
  return runs;
}

TEST_F(EffectsTest, PixelateShowsTheLevelOfItsStep) {
  struct {
    float x;
    int runs;  // level 0 has 512 columns but only 256 red values
  } const rows[] = {{0.0f, 256}, {-0.5f, 256}, {0.5f, 32}, {0.9f, 4}, {1.0f, 4}, {2.0f, 4}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.x);
    captureAndBuild(gradientPicture());
    drawEffect(EffectPixelate, 0.0f, row.x);
    EXPECT_EQ(redRunsAlongRow(300), row.runs);
    // Upright and unshifted: red grows to the right, green upward.
    const Rgba left = readPixelTop(2, 300), right = readPixelTop(797, 300);
    const Rgba top = readPixelTop(400, 2), bottom = readPixelTop(400, 597);
    EXPECT_LT(left.r, 40);
    EXPECT_GT(right.r, 215);
    EXPECT_GT(top.g, 215);
    EXPECT_LT(bottom.g, 40);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    endPyramidPass();
  }
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(levelParameter(k, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << k;
    EXPECT_EQ(levelParameter(k, GL_TEXTURE_MAG_FILTER), GL_LINEAR) << k;
  }
}

TEST_F(EffectsTest, PixelateBetweenStepsCrossfadesNeighbouringLevels) {
  // On a one-texel checkerboard level 0 shows black and white, level 1 grey.
  struct {
    float x;
    int darkest, brightest;
  } const rows[] = {{0.0f, 0, 255}, {0.03125f, 32, 223}, {0.0625f, 64, 191}, {0.125f, 128, 128}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.x);
    captureAndBuild(checkerPicture());
    drawEffect(EffectPixelate, 0.0f, row.x);
    std::vector<GLubyte> line(800 * 4);
    glReadPixels(0, 300, 800, 1, GL_RGBA, GL_UNSIGNED_BYTE, line.data());
    int darkest = 255, brightest = 0;
    for (int x = 0; x < 800; ++x) {
      darkest = std::min<int>(darkest, line[x * 4]);
      brightest = std::max<int>(brightest, line[x * 4]);
    }
    EXPECT_NEAR(darkest, row.darkest, 2);
    EXPECT_NEAR(brightest, row.brightest, 2);
    endPyramidPass();
  }
}

TEST_F(EffectsTest, LensWarpAddsThePictureTwiceAndMagnifiesTheCentre) {
  // The dim gradient holds red x / 4 and green y / 4; twice that spans 0 .. 255.
  struct {
    const char* name;
    float strength;
    std::vector<Sample> samples;
  } const rows[] = {
      {"strength 0 is the picture added twice",
       0.0f,
       {{200, 300, 64, 128, 0}, {600, 150, 192, 192, 0}, {4, 300, 1, 128, 0}}},
      {"negative strength clamps to 0", -1.0f, {{600, 150, 192, 192, 0}, {4, 300, 1, 128, 0}}},
      // Edge midpoints sample 0.5 -/+ 0.179.
      {"full lens",
       1.0f,
       {{400, 300, 128, 128, 0}, {2, 300, 83, 128, 0}, {797, 300, 173, 128, 0}, {400, 2, 128, 173, 0}}},
      {"strength above 1 clamps to 1", 3.0f, {{2, 300, 83, 128, 0}, {400, 2, 128, 173, 0}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    captureAndBuild(dimGradientPicture());
    drawLensWarp(row.strength, 0.2f);
    for (const Sample& s : row.samples) EXPECT_TRUE(pixelNear(s.x, s.yTop, s.r, s.g, s.b, 5));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WRAP_S), GL_CLAMP);
    endPyramidPass();
  }
}

TEST_F(EffectsTest, RadialFanShowsEightMirroredCopiesOfATurningSlice) {
  struct {
    float t;
    int r, g;  // halfway from the centre to the right edge: halfway to B
  } const rows[] = {{0.0f, 128, 191}, {1.5707964f, 64, 128}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.t);
    captureAndBuild(gradientPicture());
    drawEffect(EffectRadial, row.t, 0.0f);
    EXPECT_TRUE(pixelNear(600, 298, row.r, row.g, 0, 3));
    // Mirrors about the screen's centre lines sample the same texel.
    const int points[][2] = {{700, 250}, {560, 90}, {650, 200}};
    for (const auto& p : points) {
      const int x = p[0], y = p[1];
      const Rgba ref = readPixelTop(x, y);
      EXPECT_TRUE(ref.r || ref.g);
      const int mx = 799 - x, my = 599 - y;
      EXPECT_TRUE(pixelNear(x, my, ref.r, ref.g, ref.b, 3));
      EXPECT_TRUE(pixelNear(mx, y, ref.r, ref.g, ref.b, 3));
      EXPECT_TRUE(pixelNear(mx, my, ref.r, ref.g, ref.b, 3));
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WRAP_T), GL_CLAMP);
    endPyramidPass();
  }
}

TEST_F(EffectsTest, TileWaveAtRestFormsThePictureAndFadesWithItsValue) {
  captureAndBuild(quadrantPicture());
  drawTileWave(0.0f, 0.0f, 1.0f);
  for (int y = 60; y < 560; y += 37) {
    for (int x = 20; x < 780; x += 41) {
      // Tiles at the quadrant edges straddle two colours; the last column's
      // repeat wrap blends in the first.
      if (std::abs(x - 400) < 15 || std::abs(y - 300) < 15) continue;
      const bool right = x > 400, top = y < 300;
      const int r = (!right && top) || (right && !top) ? 100 : 0;
      const int g = right ? 100 : 0;
      const int b = !right && !top ? 100 : 0;
      ASSERT_TRUE(pixelNear(x, y, r, g, b, 2));
    }
  }
  endPyramidPass();

  captureAndBuild(quadrantPicture());
  drawTileWave(2.0f, 0.0f, 0.5f);  // time alone does not move tiles at rest
  EXPECT_TRUE(pixelNear(200, 150, 50, 0, 0, 2));
  EXPECT_TRUE(pixelNear(600, 450, 50, 50, 0, 2));
  endPyramidPass();
}

TEST_F(EffectsTest, TileWaveInFullMotionIsRedTintedAndFullyFadedAtOne) {
  captureAndBuild(greyPicture40());
  drawTileWave(1.0f, 1.0f, 1.0f);
  int lit = 0;
  for (int y = 5; y < 600; y += 10) {
    for (int x = 5; x < 800; x += 10) {
      const Rgba p = readPixelTop(x, y);
      lit += p.r > 0;
      ASSERT_EQ(p.g + p.b, 0) << x << ", " << y;
    }
  }
  EXPECT_GT(lit, 100);
  endPyramidPass();

  captureAndBuild(greyPicture40());
  drawEffect(EffectTileWave, 1.0f, 1.0f);  // value 1: full motion at alpha 0
  EXPECT_TRUE(frameIsBlack());
  endPyramidPass();
}

// Each type on a uniform grey 40 picture: the passes it runs add up to this grey.
TEST_F(EffectsTest, EachTypeRunsItsPassesInOrder) {
  struct {
    EffectType type;
    float v;
    int grey;
  } const rows[] = {
      {EffectGlow, 1.0f, 203},  // 0.7 + 35 / 8
      {EffectRadial, 0.0f, 40},       {EffectPixelate, 0.3f, 40},
      {EffectRadialGlow, 0.0f, 108},  // fan, coarsest mosaic, level 0 at 0.7
      {EffectRadialGlow, 1.0f, 283},  // saturates
      {EffectTileWave, 0.0f, 40},     {EffectBarWipe, 0.0f, 40},
      {EffectPixelateGlow, 0.3f, 80},  // mosaic, then level 0 at 0.7 and level 1 at 0.3
      {EffectLens, 0.0f, 80},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "type " << row.type << ", v " << row.v);
    captureAndBuild(greyPicture40());
    drawEffect(row.type, 0.7f, row.v);
    const int g = row.grey > 255 ? 255 : row.grey;
    EXPECT_TRUE(pixelNear(300, 200, g, g, g, 3));
    endPyramidPass();
  }
}

TEST_F(EffectsTest, EveryTypeLeavesTheStacksBalanced) {
  const StackDepths outside = stackDepths();
  for (int type = 0; type <= 9; ++type) {
    SCOPED_TRACE(type);
    captureAndBuild(quadrantPicture());
    const StackDepths inside = stackDepths();
    drawEffect(static_cast<EffectType>(type), 1.3f, 0.4f);
    EXPECT_EQ(stackDepths(), inside);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const bool known = type >= 1 && type <= 8;
    EXPECT_EQ(viewport[2], known ? 800 : 4);
    EXPECT_EQ(viewport[3], known ? 600 : 4);
    EXPECT_EQ(frameIsBlack(), !known);
    endPyramidPass();
    EXPECT_EQ(stackDepths(), outside);
  }
}

TEST_F(EffectsTest, LevelZeroKeepsRepeatWrapAfterTileWaveAndBarWipe) {
  struct {
    std::vector<EffectType> types;
    GLint wrap;
  } const rows[] = {
      {{EffectTileWave}, GL_REPEAT},
      {{EffectBarWipe}, GL_REPEAT},
      {{EffectBarWipe, EffectPixelate}, GL_REPEAT},
      {{EffectTileWave, EffectGlow}, GL_REPEAT},
      {{EffectBarWipe, EffectRadial}, GL_CLAMP},
      {{EffectTileWave, EffectLens}, GL_CLAMP},
  };
  for (const auto& row : rows) {
    createPyramid();
    for (EffectType type : row.types) {
      captureAndBuild(quadrantPicture());
      drawEffect(type, 0.5f, 0.5f);
      endPyramidPass();
    }
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WRAP_S), row.wrap) << row.types.back();
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WRAP_T), row.wrap) << row.types.back();
    for (int k = 1; k < 8; ++k) EXPECT_EQ(levelParameter(k, GL_TEXTURE_WRAP_S), GL_CLAMP) << k;
  }
}

}  // namespace
}  // namespace vorn::test
