// Key selection and easing of keyframe tracks.
#include "scene/track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vorn {
namespace {

Track trackWith(std::vector<std::pair<float, float>> timeAndX) {
  Track track;
  for (auto [time, x] : timeAndX) {
    auto key = std::make_unique<Key>();
    key->x = x;
    key->y = 2.0f * x;
    key->z = -x;
    key->time = time;
    track.addKey(std::move(key));
  }
  return track;
}

constexpr float kUnwritten = -12345.0f;

struct EvalCase {
  const char* name;
  std::vector<std::pair<float, float>> keys;
  float t;
  int result;
  float x;  // kUnwritten: the output must stay untouched
};

class TrackEvaluate : public ::testing::TestWithParam<EvalCase> {};

TEST_P(TrackEvaluate, SelectsAndEases) {
  const EvalCase& c = GetParam();
  Track track = trackWith(c.keys);
  float out[3] = {kUnwritten, kUnwritten, kUnwritten};
  EXPECT_EQ(track.evaluate(c.t, out), c.result);
  if (c.x == kUnwritten) {
    EXPECT_EQ(out[0], kUnwritten);
    EXPECT_EQ(out[1], kUnwritten);
    EXPECT_EQ(out[2], kUnwritten);
  } else {
    EXPECT_NEAR(out[0], c.x, 0.01f);
    EXPECT_NEAR(out[1], 2.0f * c.x, 0.02f);
    EXPECT_NEAR(out[2], -c.x, 0.01f);
  }
}

const float kMid = 100.0f * std::sin(3.14159265f / 4.0f);

INSTANTIATE_TEST_SUITE_P(
    Rows, TrackEvaluate,
    ::testing::Values(EvalCase{"empty", {}, 3.0f, 0, kUnwritten},
                      EvalCase{"single_key_before", {{5.0f, 7.0f}}, 1.0f, 0, 7.0f},
                      EvalCase{"single_key_after", {{5.0f, 7.0f}}, 9.0f, 0, 7.0f},
                      EvalCase{"midpoint_eased", {{0.0f, 0.0f}, {10.0f, 100.0f}}, 5.0f, 1, kMid},
                      EvalCase{"early_moves_fast", {{0.0f, 0.0f}, {10.0f, 100.0f}}, 1.0f, 1, 15.643f},
                      EvalCase{"late_slows", {{0.0f, 0.0f}, {10.0f, 100.0f}}, 9.0f, 1, 98.769f},
                      EvalCase{"on_first_key", {{0.0f, 0.0f}, {10.0f, 100.0f}}, 0.0f, 0, 0.0f},
                      EvalCase{"on_last_key", {{0.0f, 0.0f}, {10.0f, 100.0f}}, 10.0f, 0, 100.0f},
                      EvalCase{"before_first", {{0.0f, 0.0f}, {10.0f, 100.0f}}, -3.0f, 0, 0.0f},
                      EvalCase{"after_last", {{0.0f, 0.0f}, {10.0f, 100.0f}}, 12.0f, 0, 100.0f},
                      EvalCase{"shared_time_unwritten",
                               {{0.0f, 0.0f}, {10.0f, 50.0f}, {10.0f, 60.0f}, {20.0f, 100.0f}},
                               10.0f,
                               0,
                               kUnwritten},
                      EvalCase{"step_before",
                               {{0.0f, 0.0f}, {10.0f, 50.0f}, {10.0f, 60.0f}, {20.0f, 100.0f}},
                               9.9f,
                               1,
                               50.0f * std::sin(0.99f * 1.5707963f)},
                      EvalCase{"step_after",
                               {{0.0f, 0.0f}, {10.0f, 50.0f}, {10.0f, 60.0f}, {20.0f, 100.0f}},
                               10.1f,
                               1,
                               60.0f + 40.0f * std::sin(0.01f * 1.5707963f)},
                      // Out of order: lo is the last key at or before t (index 2, time 5), hi the
                      // first at or after t (index 0, time 10): eased backwards from 5 to 10.
                      EvalCase{"out_of_order",
                               {{10.0f, 100.0f}, {0.0f, 0.0f}, {5.0f, 50.0f}},
                               7.5f,
                               1,
                               100.0f * std::sin(0.5f * 1.5707963f) + 50.0f * (1.0f - std::sin(0.5f * 1.5707963f))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Track, ClearEmptiesAndStaysUsable) {
  Track track = trackWith({{0.0f, 0.0f}, {10.0f, 100.0f}});
  track.clear();
  float out[3] = {kUnwritten, kUnwritten, kUnwritten};
  EXPECT_EQ(track.evaluate(5.0f, out), 0);
  EXPECT_EQ(out[0], kUnwritten);
  EXPECT_EQ(track.keyCount(), 0);

  auto a = std::make_unique<Key>();
  a->time = 0.0f;
  auto b = std::make_unique<Key>();
  b->time = 2.0f;
  b->x = 4.0f;
  track.addKey(std::move(a));
  track.addKey(std::move(b));
  EXPECT_EQ(track.evaluate(1.0f, out), 1);
  EXPECT_NEAR(out[0], 4.0f * std::sin(0.5f * 1.5707963f), 1e-5f);
}

TEST(Track, EaseUsesSinglePrecisionQuarterTurn) {
  Track track = trackWith({{0.0f, 0.0f}, {4.0f, 1.0f}});
  float out[3];
  ASSERT_EQ(track.evaluate(1.0f, out), 1);
  const float s = std::sin(0.25f * 1.5707963f);
  EXPECT_FLOAT_EQ(out[0], s * 1.0f + (1.0f - s) * 0.0f);
}

}  // namespace
}  // namespace vorn
