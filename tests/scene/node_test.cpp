// Node posing, key storage, update rules and child links.
#include "scene/node.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vorn {
namespace {

// A Node that records the order in which nodes were updated and rendered.
class Probe : public Node {
 public:
  explicit Probe(std::vector<const Probe*>* log) : log_(log) {}
  void update(float t) override {
    log_->push_back(this);
    Node::update(t);
  }
  void render() override {
    log_->push_back(this);
    Node::render();
  }

 private:
  std::vector<const Probe*>* log_;
};

TEST(Node, PositionEasesBetweenKeysAndRestsAfterTheLast) {
  std::vector<const Probe*> log;
  Probe n(&log);
  n.setPosition(0, 0, 0);
  n.setRotation(0, 0, 0);
  n.setScale(1, 1, 1);
  n.setKeyTime(0);
  n.storeKeys(1, 0, 0);
  n.setPosition(10, 20, 30);
  n.setKeyTime(10);
  n.storeKeys(1, 0, 0);

  n.update(5.0f);
  const float s = std::sin(0.5f * 1.5707963f);
  EXPECT_NEAR(n.position.x, 10.0f * s, 1e-4f);
  EXPECT_NEAR(n.position.z, 30.0f * s, 1e-4f);
  EXPECT_EQ(n.currentTime, 5.0f);

  n.update(9.99f);
  const Vec3 lastInterpolated = n.position;
  n.update(12.0f);  // past the last key: keeps the last interpolated value
  EXPECT_EQ(n.position.x, lastInterpolated.x);
  EXPECT_LT(n.position.x, 10.0f);
  EXPECT_NEAR(n.position.x, 10.0f, 1e-3f);

  n.update(0.0f);  // exactly on a key: no interpolation, value kept
  EXPECT_EQ(n.position.x, lastInterpolated.x);
}

TEST(Node, SingleKeyNeverOverridesTheSetter) {
  std::vector<const Probe*> log;
  Probe n(&log);
  n.setScale(1, 1, 1);
  n.setKeyTime(0);
  n.storeKeys(0, 0, 1);
  n.setScale(3, 3, 3);
  n.update(0.0f);
  n.update(7.0f);
  EXPECT_EQ(n.scale.x, 3.0f);
}

TEST(Node, StoreKeysAppendsOnlyChosenTriplesWithKeyTimeAndUnitW) {
  std::vector<const Probe*> log;
  Probe n(&log);
  n.setPosition(1, 2, 3);
  n.setRotation(4, 5, 6);
  n.setScale(7, 8, 9);
  n.setKeyTime(2.5f);
  n.storeKeys(0, 0, 0);
  EXPECT_EQ(n.positionTrack.keyCount() + n.rotationTrack.keyCount() + n.scaleTrack.keyCount(), 0);

  n.storeKeys(0, 1, 1);
  n.storeKeys(0, 1, 0);  // same keyTime twice: two keys with equal times
  ASSERT_EQ(n.positionTrack.keyCount(), 0);
  ASSERT_EQ(n.rotationTrack.keyCount(), 2);
  ASSERT_EQ(n.scaleTrack.keyCount(), 1);
  const Key& r = n.rotationTrack.key(1);
  EXPECT_EQ(r.x, 4.0f);
  EXPECT_EQ(r.z, 6.0f);
  EXPECT_EQ(r.time, 2.5f);
  EXPECT_EQ(r.w, 1.0f);
  EXPECT_EQ(n.scaleTrack.key(0).y, 8.0f);
}

TEST(Node, ClearTracksLeavesCurrentPose) {
  std::vector<const Probe*> log;
  Probe n(&log);
  n.setPosition(0, 0, 0);
  n.storeKeys(1, 1, 1);
  n.setKeyTime(4);
  n.setPosition(8, 0, 0);
  n.storeKeys(1, 1, 1);
  n.update(2.0f);
  const float x = n.position.x;
  n.clearTracks();
  n.update(3.0f);
  EXPECT_EQ(n.position.x, x);
  EXPECT_EQ(n.positionTrack.keyCount(), 0);
  EXPECT_EQ(n.rotationTrack.keyCount(), 0);
  EXPECT_EQ(n.scaleTrack.keyCount(), 0);
}

TEST(Node, AttachToInsertsAtTheFrontAndUpdateReachesTheWholeTree) {
  std::vector<const Probe*> log;
  auto* parent = new Probe(&log);
  auto* a = new Probe(&log);
  auto* b = new Probe(&log);
  a->attachTo(*parent);
  b->attachTo(*parent);
  EXPECT_EQ(parent->firstChild, b);
  EXPECT_EQ(b->nextSibling, a);
  EXPECT_EQ(a->nextSibling, nullptr);

  parent->update(1.0f);
  EXPECT_EQ(log, (std::vector<const Probe*>{parent, b, a}));
  EXPECT_EQ(a->currentTime, 1.0f);
  log.clear();
  parent->render();
  EXPECT_EQ(log, (std::vector<const Probe*>{parent, b, a}));
  delete parent;  // owns and destroys b and a
}

TEST(Node, LongSiblingChainsDestroyWithoutDeepRecursion) {
  auto* parent = new Probe(nullptr);
  std::vector<const Probe*> log;
  for (int i = 0; i < 200000; ++i) (new Probe(&log))->attachTo(*parent);
  delete parent;
  // Reaching this line is the check: a recursive unlink would overflow the stack.
}

}  // namespace
}  // namespace vorn
