// The sinf and cosf that the Windows build carries, against this C library's
// own (glibc on Linux, where both pick the same variant for the processor):
// every result bit for bit, over a sweep of the whole float range.
#include "platform/glibc_sincosf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vorn {
namespace {

float fromBits(uint32_t u) {
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(GlibcSincosf, GivesTheCLibrarysResults) {
  // A prime stride through every bit pattern reaches each exponent many
  // times: tiny arguments, the polynomial alone, both range reductions,
  // infinities and NaNs.
  constexpr uint64_t kStride = 251;
  long checked = 0;
  for (uint64_t u = 0; u <= 0xffffffffu; u += kStride) {
    const float x = fromBits(static_cast<uint32_t>(u));
    const float wantSin = ::sinf(x), wantCos = ::cosf(x);
    ASSERT_TRUE(sameBits(glibcSinf(x), wantSin) || (std::isnan(wantSin) && std::isnan(glibcSinf(x))))
        << "sinf(" << std::hexfloat << x << ")";
    ASSERT_TRUE(sameBits(glibcCosf(x), wantCos) || (std::isnan(wantCos) && std::isnan(glibcCosf(x))))
        << "cosf(" << std::hexfloat << x << ")";
    ++checked;
  }
  EXPECT_GT(checked, 17000000);
}

// Every argument of the larger part of the quarter turn that the tracks'
// interpolation passes, where one value in eighty rounds differently from
// a correctly rounded sine.
TEST(GlibcSincosf, EveryArgumentOfAQuarterTurnFromOneSixteenth) {
  for (float x = 0.0625f; x <= 1.5707964f; x = std::nextafter(x, 2.0f)) {
    ASSERT_TRUE(sameBits(glibcSinf(x), ::sinf(x))) << "sinf(" << std::hexfloat << x << ")";
  }
}

}  // namespace
}  // namespace vorn
