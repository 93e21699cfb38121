// The byte check in front of lib3ds: files whose faces, groups, tracks, size
// or node links lib3ds would trust are refused whole; files it reads safely
// load and draw. Every file is written by the test with lib3ds, then damaged.
#include "scene/model3ds_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/scene/model_file.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

using test::findChunk;
using test::lit;
using test::Model3dsDraw;
using test::ModelFile;
using test::oneTriangleFile;
using test::Point;
using test::putU16;
using test::triangleAt;

TEST_F(Model3dsDraw, AFaceWithAPointOutsideItsMeshRefusesTheWholeFile) {
  struct Row {
    const char* name;
    std::vector<Point> points;
    uint16_t lastIndex;
    bool loads;
  };
  const Row rows[] = {
      {"every index in range", {Point{-8, 0, -8}, Point{-4, 0, -8}, Point{-8, 0, -4}}, 2, true},
      {"point 5 of 3", {Point{-8, 0, -8}, Point{-4, 0, -8}, Point{-8, 0, -4}}, 5, false},
      {"a mesh without points", {}, 2, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ModelFile f;
    f.mesh("tri", r.points, {{0, 1, r.lastIndex}});
    f.node("tri", 0);
    Model3ds model(f.save(), 0.0f, 10.0f);
    EXPECT_EQ(model.file != nullptr, r.loads);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw(model);
    EXPECT_EQ(lit(-7.0f, -7.0f), r.loads);
  }
}

// lib3ds links a node under the first node already read with its parent's id
// and moves earlier top-level nodes under a node that carries their parent's
// id; only a node naming its own id before any other node holds it sends that
// into endless recursion and is refused. Loops of two or more nodes are not.
TEST_F(Model3dsDraw, OnlyANodeNamingItsOwnIdBeforeAnyOtherHoldsItIsRefused) {
  struct Link {
    const char* name;
    int id, parent;
  };
  constexpr int kNone = LIB3DS_NO_PARENT;
  struct Row {
    const char* name;
    std::vector<Link> nodes;
    bool loads;
  };
  const Row rows[] = {
      {"two unrelated nodes share an id", {{"a", 1, kNone}, {"b", 1, kNone}}, true},
      {"a node names its own id after an earlier node holds it", {{"a", 1, kNone}, {"b", 1, 1}}, true},
      {"a child of a shared id", {{"a", 1, kNone}, {"b", 1, kNone}, {"c", 2, 1}}, true},
      {"a node is its own parent", {{"a", 4, 4}}, false},
      {"the first node of a shared id is its own parent", {{"a", 1, 1}, {"b", 1, kNone}}, false},
      {"two nodes are each other's parent", {{"a", 0, 1}, {"b", 1, 0}}, true},
      {"a loop of three", {{"a", 0, 2}, {"b", 1, 0}, {"c", 2, 1}}, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ModelFile f;
    for (size_t i = 0; i < r.nodes.size(); ++i) {
      const Link& n = r.nodes[i];
      f.mesh(n.name, triangleAt(-8.0f + 5.0f * static_cast<float>(i), -8.0f), {{0, 1, 2}});
      f.node(n.name, n.id, n.parent);
    }
    Model3ds model(f.save(), 0.0f, 10.0f);
    EXPECT_EQ(model.file != nullptr, r.loads);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw(model);
    for (size_t i = 0; i < r.nodes.size(); ++i) {
      EXPECT_EQ(lit(-7.0f + 5.0f * static_cast<float>(i), -7.0f), r.loads) << r.nodes[i].name;
    }
  }
}

TEST_F(Model3dsDraw, ATruncatedFileIsRefused) {
  const std::string path = oneTriangleFile();
  std::string bytes = test::readFile(path);
  ASSERT_GT(bytes.size(), 40u);
  for (size_t keep : {bytes.size() - 1, bytes.size() / 2, size_t{7}, size_t{0}}) {
    test::writeFile(path, bytes.substr(0, keep));
    Model3ds model(path, 0.0f, 10.0f);
    EXPECT_EQ(model.file, nullptr) << keep;
    draw(model);
  }
}

TEST(Model3ds, AMaterialGroupNamingAMissingFaceRefusesTheWholeFile) {
  struct Row {
    const char* name;
    uint16_t first, second;  // the group's two face indices after patching
    bool loads;
  };
  const Row rows[] = {
      {"untouched", 0, 1, true},
      {"one entry out of range", 0, 40, false},
      {"every entry out of range", 40, 41, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ModelFile f;
    f.material("grp", 0.5f);
    f.mesh("tri", triangleAt(0.0f, 0.0f), {{0, 1, 2}, {2, 1, 0}}, "grp");
    f.node("tri", 0);
    const std::string path = f.save();
    std::string bytes = test::readFile(path);
    const size_t group = findChunk(bytes, 0x4130);
    ASSERT_NE(group, std::string::npos);
    const size_t entries = group + 6 + std::strlen("grp") + 1 + 2;
    putU16(bytes, entries, r.first);
    putU16(bytes, entries + 2, r.second);
    test::writeFile(path, bytes);

    Model3ds model(path, 0.0f, 10.0f);
    ASSERT_EQ(model.file != nullptr, r.loads);
    if (!r.loads) continue;
    ASSERT_EQ(model.file->meshes->faces, 2u);
    EXPECT_STREQ(model.file->meshes->faceL[0].material, "grp");
    EXPECT_STREQ(model.file->meshes->faceL[1].material, "grp");
  }
}

TEST(Model3ds, ATrackClaimingMoreKeysThanItHoldsIsRefused) {
  ModelFile f;
  f.mesh("mover", triangleAt(0.0f, 0.0f), {{0, 1, 2}});
  Lib3dsNode* n = f.node("mover", 0);
  ModelFile::positionKey(n, 0, {0.0f, 0.0f, 0.0f});
  const std::string path = f.save();
  std::string bytes = test::readFile(path);
  const size_t track = findChunk(bytes, 0xB020);
  ASSERT_NE(track, std::string::npos);
  ASSERT_NE(Model3ds(path, 0.0f, 10.0f).file, nullptr);

  putU16(bytes, track + 6 + 10, 0xFFFF);
  putU16(bytes, track + 6 + 12, 0x7FFF);
  test::writeFile(path, bytes);
  EXPECT_EQ(Model3ds(path, 0.0f, 10.0f).file, nullptr);
}

}  // namespace
}  // namespace vorn
