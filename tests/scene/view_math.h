// Test-only 4 x 4 matrix arithmetic (column-major, as GL stores matrices) for
// computing the projection a Camera should load without asking the GL.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace vorn::test {

using Mat4 = std::array<double, 16>;  // element (row r, column c) at [c * 4 + r]

inline Mat4 identity4() {
  Mat4 m{};
  m[0] = m[5] = m[10] = m[15] = 1.0;
  return m;
}

inline Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 m{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
      m[c * 4 + r] = sum;
    }
  return m;
}

inline Mat4 frustum(double l, double r, double b, double t, double n, double f) {
  Mat4 m{};
  m[0] = 2.0 * n / (r - l);
  m[5] = 2.0 * n / (t - b);
  m[8] = (r + l) / (r - l);
  m[9] = (t + b) / (t - b);
  m[10] = -(f + n) / (f - n);
  m[11] = -1.0;
  m[14] = -2.0 * f * n / (f - n);
  return m;
}

inline Mat4 translation(double x, double y, double z) {
  Mat4 m = identity4();
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

// Rotation by deg degrees about one principal axis (0 x, 1 y, 2 z).
inline Mat4 rotation(double deg, int axis) {
  const double a = deg * 3.14159265358979323846 / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  Mat4 m = identity4();
  const int i = (axis + 1) % 3, j = (axis + 2) % 3;
  m[i * 4 + i] = c;
  m[j * 4 + j] = c;
  m[i * 4 + j] = s;   // column i, row j
  m[j * 4 + i] = -s;  // column j, row i
  return m;
}

// The projection a camera with these triples loads: frustum, turns about x, y
// and z, then the untransformed position.
inline Mat4 cameraProjection(const float scale[3], const float rot[3], const float pos[3], double farPlane) {
  return frustum(-scale[0], scale[0], -scale[1], scale[1], scale[2], farPlane) * rotation(rot[0], 0) *
         rotation(rot[1], 1) * rotation(rot[2], 2) * translation(pos[0], pos[1], pos[2]);
}

// Compares a matrix read back from the GL with an expected one, relative to
// each element's size (the far-plane terms are in the thousands).
inline void expectMatrixNear(const std::array<GLfloat, 16>& got, const Mat4& want) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(got[i], want[i], 1e-5 * std::max(1.0, std::fabs(want[i]))) << "element " << i;
}

}  // namespace vorn::test
