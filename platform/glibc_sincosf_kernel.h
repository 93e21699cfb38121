// The algorithm of glibc's sinf and cosf (sysdeps/ieee754/flt-32 with the
// x86 polynomial layout): a double-precision polynomial after a one-step
// range reduction below 120, a 192-bit reduction above. Included by the two
// files that compile it, once plainly and once for FMA (whose contracted
// multiply-adds round differently, as glibc's FMA variant does); the
// expressions keep glibc's shape so the compiler contracts the same ones.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace vorn::glibc_sincosf {

struct Table {
  double sign[4];  // sign of the sine in quadrants 0..3
  double hpiInv;   // 2 / pi * 2^24
  double hpi;      // pi / 2
  double c0, c1;
  double s1c2[2], s2c3[2], s3c4[2];
};

// The second entry computes -cos(x), which gives the negation for free.
inline constexpr Table kTables[2] = {
    {{1.0, -1.0, -1.0, 1.0},
     0x1.45F306DC9C883p+23,
     0x1.921FB54442D18p0,
     0x1p0,
     -0x1.ffffffd0c621cp-2,
     {-0x1.555545995a603p-3, 0x1.55553e1068f19p-5},
     {0x1.1107605230bc4p-7, -0x1.6c087e89a359dp-10},
     {-0x1.994eb3774cf24p-13, 0x1.99343027bf8c3p-16}},
    {{1.0, -1.0, -1.0, 1.0},
     0x1.45F306DC9C883p+23,
     0x1.921FB54442D18p0,
     -0x1p0,
     0x1.ffffffd0c621cp-2,
     {-0x1.555545995a603p-3, -0x1.55553e1068f19p-5},
     {0x1.1107605230bc4p-7, 0x1.6c087e89a359dp-10},
     {-0x1.994eb3774cf24p-13, -0x1.99343027bf8c3p-16}},
};

// 4 / pi to 192 bits, 8 new bits an entry so that every read is aligned.
inline constexpr uint32_t kInvPio4[24] = {0xa2,       0xa2f9,     0xa2f983,   0xa2f9836e, 0xf9836e4e, 0x836e4e44,
                                          0x6e4e4415, 0x4e441529, 0x441529fc, 0x1529fc27, 0x29fc2757, 0xfc2757d1,
                                          0x2757d1f5, 0x57d1f534, 0xd1f534dd, 0xf534ddc0, 0x34ddc0db, 0xddc0db62,
                                          0xc0db6295, 0xdb629599, 0x6295993c, 0x95993c43, 0x993c4390, 0x3c439041};

inline constexpr double kPi63 = 0x1.921FB54442D18p-62;  // 2 pi * 2^-64
inline constexpr float kPio4 = 0x1.921FB6p-1f;

inline uint32_t bits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

// The top 12 bits of the float with the sign cleared.
inline uint32_t abstop12(float x) { return (bits(x) >> 20) & 0x7ff; }

// x modulo pi / 2 into [-pi/4, pi/4], the quadrant into n; for |x| < 120.
inline double reduceFast(double x, const Table* p, int* np) {
  double r;
  r = x * p->hpiInv;
  int n = ((int32_t)r + 0x800000) >> 24;
  *np = n;
  return x - n * p->hpi;
}

// The same for larger x (given as its bits), by a 32 x 96 -> 128 bit product.
inline double reduceLarge(uint32_t xi, int* np) {
  const uint32_t* arr = &kInvPio4[(xi >> 26) & 15];
  int shift = (xi >> 23) & 7;
  uint64_t n, res0, res1, res2;
  xi = (xi & 0xffffff) | 0x800000;
  xi <<= shift;
  res0 = xi * arr[0];
  res1 = (uint64_t)xi * arr[4];
  res2 = (uint64_t)xi * arr[8];
  res0 = (res2 >> 32) | (res0 << 32);
  res0 += res1;
  n = (res0 + (1ULL << 61)) >> 62;
  res0 -= n << 62;
  double x = (int64_t)res0;
  *np = n;
  return x * kPi63;
}

// The sine of x (x2 = x * x) in quadrant n; the cosine polynomial when n is odd.
inline float sinfPoly(double x, double x2, const Table* p, int n) {
  double x3, x4, x6, x7, s, c, c1, c2, s1;
  if ((n & 1) == 0) {
    x3 = x * x2;
    s1 = p->s2c3[0] + x2 * p->s3c4[0];
    x7 = x3 * x2;
    s = x + x3 * p->s1c2[0];
    return s + x7 * s1;
  }
  x4 = x2 * x2;
  c2 = p->s2c3[1] + x2 * p->s3c4[1];
  c1 = p->c0 + x2 * p->c1;
  x6 = x4 * x2;
  c = c1 + x4 * p->s1c2[1];
  return c + x6 * c2;
}

// cosf is sinf a quadrant on (quarter = 1); tiny arguments return y (sine)
// or 1 (cosine) as glibc does.
inline float sinOrCos(float y, int quarter) {
  double x = y;
  double s;
  int n;
  const Table* p = &kTables[0];
  if (abstop12(y) < abstop12(kPio4)) {
    if (abstop12(y) < abstop12(0x1p-12f)) return quarter ? 1.0f : y;
    return sinfPoly(x, x * x, p, quarter);
  }
  if (abstop12(y) < abstop12(120.0f)) {
    x = reduceFast(x, p, &n);
    s = p->sign[n & 3];
    if (n & 2) p = &kTables[1];
    return sinfPoly(x * s, x * x, p, n ^ quarter);
  }
  if (abstop12(y) < abstop12(INFINITY)) {
    uint32_t xi = bits(y);
    int sign = xi >> 31;
    x = reduceLarge(xi, &n);
    s = p->sign[(n + sign) & 3];
    if ((n + sign) & 2) p = &kTables[1];
    return sinfPoly(x * s, x * x, p, n ^ quarter);
  }
  return (y - y) / (y - y);  // NaN for infinities and NaN
}

}  // namespace vorn::glibc_sincosf
