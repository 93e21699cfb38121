// The live clock on a scripted tick counter: which demo time each pass draws,
// when the show ends, looping, and Escape.
#include "app/frame_loop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/demo_clock.h"

namespace vorn {
namespace {

std::vector<uint32_t> ticks;  // readings handed out in order
size_t nextTick = 0;
bool escapeHeld = false;

uint32_t scriptedTicks() { return ticks.at(nextTick++); }
bool scriptedEscape() { return escapeHeld; }

class LiveClockTest : public ::testing::Test {
 protected:
  // Each pass reads the counter twice: the elapsed time, then the new reference.
  void script(std::vector<uint32_t> readings) {
    ticks = std::move(readings);
    nextTick = 0;
    escapeHeld = false;
  }
  MusicPlayer player{kMixRate, MusicOutput::Pulled};  // no music opened: play and seek do nothing
};

TEST_F(LiveClockTest, CountsOnlyTheTimeBetweenPassesAndEndsJustPastTheShow) {
  // Start at 170 s; the first pass measures 6 s, then 4 ms pass before its second reading.
  script({1000, 7000, 7004, 7005, 7005});
  LiveClock clock(player, 170.0f, false, scriptedTicks, scriptedEscape);
  ASSERT_TRUE(clock.start());
  EXPECT_EQ(clock.next().time, kShowLength);  // exactly the end: the show goes on
  EXPECT_TRUE(clock.more());
  const float last = clock.next().time;  // 1 ms after the second reading, not 5
  EXPECT_EQ(last, kShowLength + 0.001f);
  EXPECT_FALSE(clock.more());
}

TEST_F(LiveClockTest, LoopingStartsOverFromTheReadingAfterTheEnd) {
  // Pass 1 passes the end; the restart reads 9000; pass 2 measures 20 ms from there.
  script({0, 6001, 6001, 9000, 9020, 9020});
  LiveClock clock(player, 170.0f, true, scriptedTicks, scriptedEscape);
  ASSERT_TRUE(clock.start());
  EXPECT_GT(clock.next().time, kShowLength);
  ASSERT_TRUE(clock.more());
  EXPECT_NEAR(clock.next().time, 0.020f, 1e-6f);
}

TEST_F(LiveClockTest, EscapeEndsTheRunBeforeTheFirstFrameOrAfterAnyFrame) {
  script({0});
  escapeHeld = true;
  LiveClock held(player, 0.0f, false, scriptedTicks, scriptedEscape);
  EXPECT_FALSE(held.start());

  script({0, 16, 16});
  LiveClock clock(player, 0.0f, false, scriptedTicks, scriptedEscape);
  ASSERT_TRUE(clock.start());
  clock.next();
  escapeHeld = true;
  EXPECT_FALSE(clock.more());
}

}  // namespace
}  // namespace vorn
