// The demo clock: tick differences, the end test, and the frames a fixed-step
// run draws for a range of demo time.
#include "app/demo_clock.h"

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

INSTANTIATE_TEST_SUITE_P(Rows, Elapsed,
                         ::testing::Values(ElapsedCase{"sub_millisecond_pass_adds_nothing", 1000u, 1000u, 0.0f},
                                           ElapsedCase{"one_frame", 1000u, 1016u, 16.0f * 0.001f},
                                           ElapsedCase{"counter_wraps", 0xFFFFFFF0u, 0x00000010u, 32.0f * 0.001f},
                                           ElapsedCase{"whole_second", 5u, 1005u, 1000.0f * 0.001f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DemoClock, EndsOnlyStrictlyPastTheLength) {
  EXPECT_FALSE(demoFinished(175.99f));
  EXPECT_FALSE(demoFinished(176.0f));
  EXPECT_TRUE(demoFinished(std::nextafter(176.0f, 200.0f)));
  EXPECT_TRUE(demoFinished(176.016f));
}

struct RangeCase {
  const char* name;
  int fps;
  float from, to;
  long first, last;  // last < first: no frame lies in the range
};

class FixedStep : public ::testing::TestWithParam<RangeCase> {};

TEST_P(FixedStep, DrawsEveryFrameInsideTheRangeAndNoOther) {
  const auto& c = GetParam();
  const long first = firstFrameAtOrAfter(c.from, c.fps);
  const long last = lastFrameAtOrBefore(c.to, c.fps);
  EXPECT_EQ(first, c.first);
  EXPECT_EQ(last, c.last);
  // The frames just outside lie outside the range (within float precision).
  EXPECT_LT(frameTime(first - 1, c.fps), c.from - 1e-5f);
  EXPECT_GT(frameTime(last + 1, c.fps), c.to + 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Rows, FixedStep,
                         ::testing::Values(RangeCase{"whole_second_both_ends_included", 10, 0.0f, 1.0f, 0, 10},
                                           RangeCase{"float_bounds_that_name_a_frame", 10, 0.1f, 0.3f, 1, 3},
                                           RangeCase{"bounds_between_frames", 10, 0.05f, 0.25f, 1, 2},
                                           RangeCase{"between_two_frames_none", 10, 0.04f, 0.06f, 1, 0},
                                           RangeCase{"odd_rate", 7, 1.0f, 2.0f, 7, 14},
                                           RangeCase{"late_range_at_60", 60, 106.0f, 107.5f, 6360, 6450},
                                           RangeCase{"whole_show_at_30", 30, 0.0f, kShowLength, 0, 5280}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FixedStep, AShotShowsTheLastFrameStartedAtItsTime) {
  EXPECT_EQ(frameShownAt(107.5f, 10), 1075);   // on a frame: that frame
  EXPECT_EQ(frameShownAt(107.55f, 10), 1075);  // between frames: the earlier one
  EXPECT_EQ(frameShownAt(0.0f, 60), 0);
}

TEST(FixedStep, SamplesStartWhereTheFramesDo) {
  EXPECT_EQ(sampleAt(frameTime(0, 10), 44100), 0);
  EXPECT_EQ(sampleAt(frameTime(11, 10), 44100), 48510);  // 11 frames own 1.1 s
  EXPECT_EQ(sampleAt(frameTime(6450, 60), 44100), 4740750);
}

}  // namespace
}  // namespace vorn
