// Picture-layer keys without a GL context: home and off positions per slide
// kind, integer halving, and the slide's timing under the Track's easing.
#include "content/picture_layer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn {
namespace {

struct Rect {
  int x, y, width, height;
};

struct KindCase {
  const char* name;
  SlideKind kind;
  Rect rect;
  Vec3 off;
  Vec3 home;
};

// A rectangle away from the origin shows which off positions ignore x or y.
const KindCase kKinds[] = {
    {"from left", SlideFromLeft, {100, 50, 200, 100}, {-100, 100, 0}, {200, 100, 0}},
    {"from right uses its own width", SlideFromRight, {100, 50, 200, 100}, {300, 100, 0}, {200, 100, 0}},
    {"from top", SlideFromTop, {100, 50, 200, 100}, {200, -50, 0}, {200, 100, 0}},
    {"full screen from right", SlideFromRight, {0, 0, 800, 600}, {1200, 300, 0}, {400, 300, 0}},
    {"ondri from left", SlideFromLeft, {0, 472, 128, 128}, {-64, 536, 0}, {64, 536, 0}},
};

void expectVec(const std::optional<Vec3>& v, const Vec3& want, const char* what) {
  ASSERT_TRUE(v.has_value()) << what;
  EXPECT_FLOAT_EQ(v->x, want.x) << what;
  EXPECT_FLOAT_EQ(v->y, want.y) << what;
  EXPECT_FLOAT_EQ(v->z, want.z) << what;
}

TEST(LayerKeyRows, SlidingKindsKeyOffOffHomeHomeOff) {
  for (const KindCase& c : kKinds) {
    SCOPED_TRACE(c.name);
    const auto rows = layerKeyRows(c.rect.x, c.rect.y, c.rect.width, c.rect.height, c.kind, 2, 3, 4);
    ASSERT_EQ(rows.size(), 5u);
    const float times[] = {-0.1f, 1, 2, 3, 4};
    const Vec3 places[] = {c.off, c.off, c.home, c.home, c.off};
    const Vec3 size{static_cast<float>(c.rect.width / 2), static_cast<float>(-(c.rect.height / 2)), 0};
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].time, times[i]) << "row " << i;
      expectVec(rows[i].position, places[i], "position");
      expectVec(rows[i].rotation, {0, 0, 0}, "rotation");
      expectVec(rows[i].scale, size, "scale");
    }
  }
}

TEST(LayerKeyRows, StaticRestsAtHomeWithOneKey) {
  const auto rows = layerKeyRows(10, 20, 64, 32, SlideStatic, 5, 6, 7);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].time, 0.0f);
  expectVec(rows[0].position, {42, 36, 0}, "position");
  expectVec(rows[0].scale, {32, -16, 0}, "scale");
}

TEST(LayerKeyRows, UnknownKindsHaveNoKeys) {
  EXPECT_TRUE(layerKeyRows(0, 0, 800, 600, static_cast<SlideKind>(4), 2, 3, 4).empty());
  EXPECT_TRUE(layerKeyRows(0, 0, 800, 600, static_cast<SlideKind>(-1), 2, 3, 4).empty());
}

TEST(LayerKeyRows, OddSizesHalveTowardZero) {
  const auto rows = layerKeyRows(10, 20, 801, 3, SlideFromLeft, 2, 3, 4);
  ASSERT_EQ(rows.size(), 5u);
  expectVec(rows[2].position, {410, 21, 0}, "home");
  expectVec(rows[0].position, {-400, 21, 0}, "off");
  expectVec(rows[2].scale, {400, -1, 0}, "scale");
}

// Where a layer keyed with inTime 2, holdTime 3, outTime 4 is, played frame by
// frame (100 frames a second) as the Scene's layer pass would update it.
TEST(LayerSlide, RestsOffSlidesInHoldsAndLeaves) {
  const Vec3 home{400, 300, 0};
  const Vec3 off{1200, 300, 0};
  Node layer;
  storeKeyRows(layer, layerKeyRows(0, 0, 800, 600, SlideFromRight, 2, 3, 4));

  enum Phase { Off, Entering, Home, Leaving };
  struct Check {
    int frame;  // hundredths of a second
    Phase phase;
  };
  const Check checks[] = {{0, Off},    {50, Off},   {99, Off},      {150, Entering}, {200, Home},
                          {250, Home}, {300, Home}, {350, Leaving}, {400, Off},      {500, Off}};

  size_t next = 0;
  for (int frame = 0; frame <= 500 && next < std::size(checks); ++frame) {
    const float t = static_cast<float>(frame) * 0.01f;
    layer.update(t);
    if (frame != checks[next].frame) continue;
    const Check& c = checks[next++];
    SCOPED_TRACE(testing::Message() << "t = " << t);
    EXPECT_FLOAT_EQ(layer.position.y, 300);
    EXPECT_FLOAT_EQ(layer.scale.x, 400);
    EXPECT_FLOAT_EQ(layer.scale.y, -300);
    switch (c.phase) {
      case Off: EXPECT_NEAR(layer.position.x, off.x, 0.5f); break;
      case Home: EXPECT_NEAR(layer.position.x, home.x, 0.5f); break;
      case Entering:
      case Leaving:
        EXPECT_GT(layer.position.x, home.x + 1);
        EXPECT_LT(layer.position.x, off.x - 1);
        break;
    }
  }
  EXPECT_EQ(next, std::size(checks));
}

// Half way through the slide in, the quarter-sine ease has covered sin(45 deg)
// of the way: the layer decelerates onto its home position.
TEST(LayerSlide, EasesOntoHome) {
  Node layer;
  storeKeyRows(layer, layerKeyRows(0, 472, 128, 128, SlideFromLeft, 13, 14, 15));
  layer.update(12.5f);
  const float s = std::sin(0.5f * 1.5707963f);
  EXPECT_NEAR(layer.position.x, -64 + s * 128, 0.01f);
  EXPECT_FLOAT_EQ(layer.position.y, 536);
}

}  // namespace
}  // namespace vorn
