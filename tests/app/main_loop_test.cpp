// The demo clock: tick differences, float accumulation and the end test.
#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace vorn {
namespace {

struct ElapsedCase {
  const char* name;
  uint32_t previous;
  uint32_t now;
  float seconds;
};

class Elapsed : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(Elapsed, ConvertsUnsignedMillisecondDifferences) {
  const auto& c = GetParam();
  EXPECT_EQ(elapsedSeconds(c.previous, c.now), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Elapsed,
    ::testing::Values(ElapsedCase{"sub_millisecond_pass_adds_nothing", 1000u, 1000u, 0.0f},
                      ElapsedCase{"one_frame", 1000u, 1016u, 16.0f * 0.001f},
                      ElapsedCase{"counter_wraps", 0xFFFFFFF0u, 0x00000010u, 32.0f * 0.001f},
                      ElapsedCase{"whole_second", 5u, 1005u, 1000.0f * 0.001f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DemoClock, MillisecondFactorIsTheSinglePrecisionValue) {
  EXPECT_EQ(elapsedSeconds(0u, 1u), 0.001f);
  EXPECT_EQ(static_cast<double>(elapsedSeconds(0u, 1u)), 0.0010000000474974513);
}

TEST(DemoClock, AccumulatesInSinglePrecision) {
  float t = 0.0f;
  float expected = 0.0f;
  for (int i = 0; i < 10000; ++i) {
    const float step = elapsedSeconds(0u, 17u);
    t = advanceDemoTime(t, step);
    expected = expected + step;
  }
  EXPECT_EQ(t, expected);
  EXPECT_NE(static_cast<double>(t), 10000 * 17 * 0.001);  // float rounding shows, as in the live loop
}

TEST(DemoClock, EndsOnlyStrictlyPastTheLength) {
  EXPECT_FALSE(demoFinished(175.99f));
  EXPECT_FALSE(demoFinished(176.0f));
  EXPECT_TRUE(demoFinished(std::nextafter(176.0f, 200.0f)));
  EXPECT_TRUE(demoFinished(176.016f));
}

}  // namespace
}  // namespace vorn
