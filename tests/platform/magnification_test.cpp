// The bound under which the browser's GL layer samples a mipmapped texture
// through level 0 alone: it must hold wherever GL might minify.
#include "platform/web/magnification.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn {
namespace {

// A square of `side` pixels, turned by `degrees`, holding the whole texture.
bool squareMagnifies(double side, double degrees, int texels) {
  const double r = degrees * 3.14159265358979323846 / 180.0;
  const double ex[2] = {side * std::cos(r), side * std::sin(r)};
  const double ey[2] = {-side * std::sin(r), side * std::cos(r)};
  const double window[3][2] = {
      {10.0, 20.0}, {10.0 + ex[0], 20.0 + ex[1]}, {10.0 + ex[0] + ey[0], 20.0 + ex[1] + ey[1]}};
  const float st[3][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}};
  return magnifiesAllOver(window, st, texels, texels);
}

TEST(Magnification, HoldsOnlyWithRoomBelowOneTexelAPixel) {
  EXPECT_TRUE(squareMagnifies(800.0, 0.0, 512));    // 0.64 texels a pixel
  EXPECT_TRUE(squareMagnifies(800.0, 180.0, 512));  // mirrored both ways
  EXPECT_FALSE(squareMagnifies(512.0, 0.0, 512));   // one to one: GL may take either filter
  EXPECT_FALSE(squareMagnifies(540.0, 0.0, 512));   // 0.95: too close to call
  EXPECT_FALSE(squareMagnifies(600.0, 0.0, 1024));  // minified
}

TEST(Magnification, TurnedTexturesAreBoundByGlsWidestApproximation) {
  // 0.64 texels a pixel along each texture axis; turned by 45 degrees each
  // screen axis crosses 0.64 * sqrt(2) = 0.91 of them, which an
  // implementation may take as the scale factor.
  EXPECT_FALSE(squareMagnifies(800.0, 45.0, 512));
  EXPECT_TRUE(squareMagnifies(1000.0, 45.0, 512));  // 0.72
}

TEST(Magnification, StretchedAxesCountApart) {
  // 800 x 600 pixels for 512 x 1024 texels: magnified across, minified along.
  const double window[3][2] = {{0.0, 0.0}, {800.0, 0.0}, {800.0, 600.0}};
  const float st[3][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}};
  EXPECT_FALSE(magnifiesAllOver(window, st, 512, 1024));
  EXPECT_TRUE(magnifiesAllOver(window, st, 512, 256));
}

TEST(Magnification, TrianglesWithoutAreaAreNot) {
  const double window[3][2] = {{0.0, 0.0}, {100.0, 100.0}, {200.0, 200.0}};
  const float st[3][2] = {{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}};
  EXPECT_FALSE(magnifiesAllOver(window, st, 64, 64));
}

}  // namespace
}  // namespace vorn
