// Key rows: each row stores exactly the triples it shows, and leaves the
// others as the node holds them.
#include "content/key_rows.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

void expectVec(const Vec3& v, float x, float y, float z) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
}

void expectKey(const Track& track, int i, float time, float x, float y, float z) {
  ASSERT_LT(i, track.keyCount());
  const Key& k = track.key(i);
  EXPECT_FLOAT_EQ(k.time, time) << "key " << i;
  EXPECT_FLOAT_EQ(k.x, x) << "key " << i;
  EXPECT_FLOAT_EQ(k.y, y) << "key " << i;
  EXPECT_FLOAT_EQ(k.z, z) << "key " << i;
}

TEST(KeyRows, DashesAreNeitherStoredNorChanged) {
  Node node;
  node.setPosition(7, 8, 9);
  storeKeyRows(node, {
                         {0, kDash, Vec3{0, 0, 0}, Vec3{2, 2, 2}},
                         {5, Vec3{1, 2, 3}, kDash, kDash},
                         {8, kDash, Vec3{20, 180, 0}, kDash},
                         {16, Vec3{30, -20, 0}, Vec3{20, 0, 0}, kDash},
                     });

  ASSERT_EQ(node.positionTrack.keyCount(), 2);
  expectKey(node.positionTrack, 0, 5, 1, 2, 3);
  expectKey(node.positionTrack, 1, 16, 30, -20, 0);
  ASSERT_EQ(node.rotationTrack.keyCount(), 3);
  expectKey(node.rotationTrack, 0, 0, 0, 0, 0);
  expectKey(node.rotationTrack, 1, 8, 20, 180, 0);
  expectKey(node.rotationTrack, 2, 16, 20, 0, 0);
  ASSERT_EQ(node.scaleTrack.keyCount(), 1);
  expectKey(node.scaleTrack, 0, 0, 2, 2, 2);

  // The node ends holding the latest stored value of each triple.
  expectVec(node.position, 30, -20, 0);
  expectVec(node.rotation, 20, 0, 0);
  expectVec(node.scale, 2, 2, 2);
  EXPECT_FLOAT_EQ(node.keyTime, 16);
}

TEST(KeyRows, AddsToKeysAlreadyStored) {
  Node node;
  node.setKeyTime(0);
  node.storeKeys(1, 1, 1);
  storeKeyRows(node, {{15, Vec3{0, 0, -20}, Vec3{0, 0, 0}, Vec3{1, 1, 1}}, {20, Vec3{-10, -3, -5}, kDash, kDash}});
  EXPECT_EQ(node.positionTrack.keyCount(), 3);
  EXPECT_EQ(node.rotationTrack.keyCount(), 2);
  EXPECT_EQ(node.scaleTrack.keyCount(), 2);
  expectKey(node.positionTrack, 2, 20, -10, -3, -5);
}

TEST(KeyRows, NoRowsLeaveTheNodeAlone) {
  Node node;
  node.setPosition(1, 2, 3);
  storeKeyRows(node, {});
  EXPECT_EQ(node.positionTrack.keyCount(), 0);
  expectVec(node.position, 1, 2, 3);
}

}  // namespace
}  // namespace vorn
