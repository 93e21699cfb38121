// Timeline arithmetic without GL: activity, ramps, pulses, fade fractions.
#include <gtest/gtest.h>

#include <cmath>

#include "app/timeline.h"
#include "fx/screen_effects.h"

namespace vorn {
namespace {

TimelineEntry entry(float start, float end, FadeKind inKind, float inLength, FadeKind outKind, float outLength) {
  TimelineEntry e;
  e.start = start;
  e.end = end;
  e.fadeInKind = inKind;
  e.fadeInLength = inLength;
  e.fadeOutKind = outKind;
  e.fadeOutLength = outLength;
  return e;
}

TEST(TimelineValues, ActivityIncludesBothBounds) {
  const TimelineEntry e = entry(22.0f, 32.0f, FadeNone, 0, FadeNone, 0);
  EXPECT_FALSE(entryActive(e, 21.999f));
  EXPECT_TRUE(entryActive(e, 22.0f));
  EXPECT_TRUE(entryActive(e, 27.0f));
  EXPECT_TRUE(entryActive(e, 32.0f));
  EXPECT_FALSE(entryActive(e, 32.001f));
}

struct RampCase {
  const char* name;
  float fraction;  // of the duration
  bool bothEnds;
  float value;
};

class Ramp : public ::testing::TestWithParam<RampCase> {};

TEST_P(Ramp, FallsOverFirstQuarterAndRisesOverLast) {
  const auto& c = GetParam();
  const float d = 30.0f;
  EXPECT_NEAR(rampValue(c.fraction * d, d, c.bothEnds), c.value, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Ramp,
    ::testing::Values(RampCase{"inout_start", 0.0f, true, 1.0f}, RampCase{"inout_tenth", 0.1f, true, 0.6f},
                      RampCase{"inout_middle", 0.5f, true, 0.0f}, RampCase{"inout_nine_tenths", 0.9f, true, 0.6f},
                      RampCase{"inout_end", 1.0f, true, 1.0f}, RampCase{"out_start_is_zero", 0.0f, false, 0.0f},
                      RampCase{"out_eight_tenths", 0.8f, false, 0.2f}, RampCase{"out_end", 1.0f, false, 1.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimelineValues, PulseFollowsSine) {
  EXPECT_FLOAT_EQ(pulseValue(0.0f), 0.5f);
  EXPECT_FLOAT_EQ(pulseValue(1.5707964f), 1.0f);
  EXPECT_NEAR(pulseValue(4.0f), (std::sin(4.0) + 1.0) / 2.0, 1e-7);
}

TEST(TimelineValues, FadeFractionsAtTheirBounds) {
  const TimelineEntry e = entry(32.0f, 36.0f, FadePixelate, 1.0f, FadeTileWave, 2.0f);
  EXPECT_FLOAT_EQ(fadeInFraction(e, 0.0f), 1.0f);  // at start: full strength
  EXPECT_FLOAT_EQ(fadeInFraction(e, 0.25f), 0.75f);
  EXPECT_LT(fadeInFraction(e, 1.0f), 0.0f);   // exactly the length: no pass
  EXPECT_LT(fadeOutFraction(e, 2.0f), 0.0f);  // exactly D - length: no pass
  EXPECT_FLOAT_EQ(fadeOutFraction(e, 3.0f), 0.5f);
  EXPECT_FLOAT_EQ(fadeOutFraction(e, 4.0f), 1.0f);  // at end: full strength
  EXPECT_LT(fadeInFraction(e, 3.0f), 0.0f);         // 35 s: fade-out only
}

TEST(TimelineValues, ZeroLengthOrNoKindMeansNoFade) {
  const TimelineEntry zero = entry(0.0f, 10.0f, FadePixelate, 0.0f, FadeTileWave, 0.0f);
  for (float l : {0.0f, 5.0f, 10.0f}) {
    EXPECT_LT(fadeInFraction(zero, l), 0.0f);
    EXPECT_LT(fadeOutFraction(zero, l), 0.0f);
  }
  const TimelineEntry none = entry(0.0f, 10.0f, FadeNone, 4.0f, static_cast<FadeKind>(-1), 4.0f);
  EXPECT_LT(fadeInFraction(none, 0.0f), 0.0f);
  EXPECT_LT(fadeOutFraction(none, 10.0f), 0.0f);
}

TEST(TimelineValues, FadeKindsSelectEffects) {
  EXPECT_EQ(fadeInEffect(FadeTileWave), EffectTileWave);
  EXPECT_EQ(fadeInEffect(FadePixelate), EffectPixelate);
  EXPECT_EQ(fadeInEffect(FadeBarWipe), EffectNone);  // the bar wipe only fades out
  EXPECT_EQ(fadeInEffect(static_cast<FadeKind>(4)), EffectNone);
  EXPECT_EQ(fadeOutEffect(FadeTileWave), EffectTileWave);
  EXPECT_EQ(fadeOutEffect(FadePixelate), EffectPixelate);
  EXPECT_EQ(fadeOutEffect(FadeBarWipe), EffectBarWipe);
  EXPECT_EQ(fadeOutEffect(static_cast<FadeKind>(4)), EffectNone);
  EXPECT_EQ(fadeOutEffect(FadeNone), EffectNone);
}

}  // namespace
}  // namespace vorn
