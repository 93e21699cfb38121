// Whether GL reads only level 0 of a texture over a whole triangle: where
// the texture is magnified, which GL decides from its scale factor (texels
// to a pixel). The browser's GL layer then samples a mipmapped texture
// without its mipmaps, the same texels, because the software renderer reads
// two levels for every mipmapped sample, magnified or not.
#pragma once

#include <cmath>

namespace vorn {

// How far below 1 the bound on the scale factor must stay: GL's own
// approximations of lambda, and the renderer's rounding, then cannot reach
// minification.
constexpr double kSureMagnification = 0.9;

// A triangle whose texture coordinates are affine on screen (it lies in a
// plane facing the eye, or is drawn under an orthographic projection): its
// corners at `window` (pixels, any origin) with coordinates `st`, for a
// texture of width x height texels. The bound holds for GL's scale factor and
// for every approximation of it that GL allows: each is at most the sum of
// two of the four derivatives' sizes (texels per pixel, along x and y). A
// triangle with no area is not magnified.
inline bool magnifiesAllOver(const double (&window)[3][2], const float (&st)[3][2], int width, int height) {
  const double* a = window[0];
  const double* b = window[1];
  const double* c = window[2];
  const double det = (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
  if (det == 0.0) return false;
  const int size[2] = {width, height};
  double perX[2], perY[2];  // for u and v
  for (int k = 0; k < 2; ++k) {
    const double d1 = (static_cast<double>(st[1][k]) - st[0][k]) * size[k];
    const double d2 = (static_cast<double>(st[2][k]) - st[0][k]) * size[k];
    perX[k] = std::fabs((d1 * (c[1] - a[1]) - d2 * (b[1] - a[1])) / det);
    perY[k] = std::fabs((d2 * (b[0] - a[0]) - d1 * (c[0] - a[0])) / det);
  }
  const double sums[4] = {perX[0] + perY[0], perX[1] + perY[1], perX[0] + perX[1], perY[0] + perY[1]};
  for (double sum : sums)
    if (!(sum <= kSureMagnification)) return false;
  return true;
}

}  // namespace vorn
