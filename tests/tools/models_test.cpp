// The generated 3DS models: they load back through lib3ds with a node for
// every mesh, texels where the show textures them, keyed parts that really
// move (and turn the way they were designed), and the sizes the show's poses
// and cameras need. A GL test draws them through Model3ds.
#include <lib3ds/file.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "content/key_rows.h"
#include "content/key_tables.h"
#include "scene/camera.h"
#include "scene/model3ds.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"
#include "tools/assets.h"
#include "tools/model/designs.h"

namespace vorn::assets {
namespace {

struct FileDeleter {
  void operator()(Lib3dsFile* f) const { lib3ds_file_free(f); }
};
using FilePtr = std::unique_ptr<Lib3dsFile, FileDeleter>;

struct Expected {
  const char* file;
  int frames;
  bool textured;
  bool animated;
};

// What the show needs of each file: frames spread over its animLength, texels
// where its Material is textured, motion where its animLength plays one.
const Expected kExpected[] = {
    {"haarukka.3ds", kForkFrames, true, true},         {"avaruusalus01.3ds", kShuttleFrames, true, true},
    {"avaruus.3ds", kStillFrames, true, false},        {"karhu.3ds", kBearFrames, true, true},
    {"mothership.3ds", kMothershipFrames, true, true}, {"sika.3ds", kStillFrames, true, false},
    {"tahdettahdet.3ds", kStillFrames, false, false},  {"zolviapallo.3ds", kStillFrames, true, false},
    {"kyklohepo.3ds", kStillFrames, true, false},
};

// Writes the models once for the whole binary; every test reads the files back.
const std::string& modelDir() {
  static const std::string dir = [] {
    const std::string d = test::scratchDir();
    EXPECT_TRUE(writeModels(d));
    return d;
  }();
  return dir;
}

FilePtr load(const std::string& name) { return FilePtr(lib3ds_file_load((modelDir() + "/scenes/" + name).c_str())); }

void collectNodes(Lib3dsNode* node, std::vector<Lib3dsNode*>& out) {
  for (; node; node = node->next) {
    out.push_back(node);
    collectNodes(node->childs, out);
  }
}

std::vector<Lib3dsNode*> allNodes(Lib3dsFile* f) {
  std::vector<Lib3dsNode*> out;
  collectNodes(f->nodes, out);
  return out;
}

// Where the show draws a mesh point of the node: node matrix, minus pivot,
// over the inverse mesh matrix.
Vec3 drawnPoint(Lib3dsNode* node, Lib3dsMesh* mesh, Vec3 p) {
  Lib3dsMatrix inv;
  lib3ds_matrix_copy(inv, mesh->matrix);
  lib3ds_matrix_inv(inv);
  auto apply = [](Lib3dsMatrix m, Vec3 v) {
    return Vec3{m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z + m[3][0],
                m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z + m[3][1],
                m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z + m[3][2]};
  };
  const float* pivot = node->data.object.pivot;
  return apply(node->matrix, apply(inv, p) - Vec3{pivot[0], pivot[1], pivot[2]});
}

Vec3 rotateAbout(Vec3 p, Vec3 pivot, Vec3 axis, float degrees) {
  const float a = degrees * 0.017453292f;
  const Vec3 v = p - pivot;
  const Vec3 turned = v * std::cos(a) + cross(axis, v) * std::sin(a) + axis * (dot(axis, v) * (1.0f - std::cos(a)));
  return pivot + turned;
}

float modelSize(Lib3dsFile* f) {
  float size = 0.0f;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    for (Lib3dsDword i = 0; i < m->points; ++i) {
      const float* p = m->pointL[i].pos;
      size = std::max({size, std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])});
    }
  }
  return size;
}

Bounds fileBounds(Lib3dsFile* f) {
  std::vector<Vec3> pts;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    for (Lib3dsDword i = 0; i < m->points; ++i) {
      pts.push_back({m->pointL[i].pos[0], m->pointL[i].pos[1], m->pointL[i].pos[2]});
    }
  }
  return boundsOf(pts);
}

TEST(Models, EveryFileLoadsWithItsFrameCountAndNoMore) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    FilePtr f = load(e.file);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->frames, e.frames);
    EXPECT_NE(f->meshes, nullptr);
  }
  EXPECT_EQ(showModelDesigns().size(), std::size(kExpected));
}

TEST(Models, EveryMeshHasAnObjectNodeOfItsNameAndEveryNodeAMesh) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    FilePtr f = load(e.file);
    ASSERT_TRUE(f);
    std::set<std::string> meshes, nodes;
    for (Lib3dsMesh* m = f->meshes; m; m = m->next) EXPECT_TRUE(meshes.insert(m->name).second) << m->name;
    for (Lib3dsNode* n : allNodes(f.get())) {
      EXPECT_EQ(n->type, LIB3DS_OBJECT_NODE) << n->name;
      EXPECT_TRUE(nodes.insert(n->name).second) << n->name;
      EXPECT_NE(lib3ds_file_mesh_by_name(f.get(), n->name), nullptr) << n->name;
    }
    EXPECT_EQ(meshes, nodes);
  }
}

TEST(Models, FacesIndexPointsInRangeWithThreeDistinctCornersAndKnownMaterials) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    FilePtr f = load(e.file);
    ASSERT_TRUE(f);
    int faces = 0;
    for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
      ASSERT_GT(m->faces, 0u) << m->name;
      faces += static_cast<int>(m->faces);
      for (Lib3dsDword i = 0; i < m->faces; ++i) {
        const Lib3dsWord* p = m->faceL[i].points;
        ASSERT_TRUE(p[0] < m->points && p[1] < m->points && p[2] < m->points) << m->name << " face " << i;
        ASSERT_TRUE(p[0] != p[1] && p[1] != p[2] && p[0] != p[2]) << m->name << " face " << i;
        ASSERT_NE(lib3ds_file_material_by_name(f.get(), m->faceL[i].material), nullptr) << m->name;
      }
    }
    // Moderate counts: the bear is loaded sixteen times.
    EXPECT_LE(faces, 3000);
  }
}

TEST(Models, TexturedModelsHaveATexelForEveryPoint) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    FilePtr f = load(e.file);
    ASSERT_TRUE(f);
    for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
      if (e.textured) {
        EXPECT_EQ(m->texels, m->points) << m->name;
        for (Lib3dsDword i = 0; i < m->texels; ++i) {
          ASSERT_TRUE(std::isfinite(m->texelL[i][0]) && std::isfinite(m->texelL[i][1])) << m->name;
        }
      } else {
        EXPECT_EQ(m->texels, 0u) << m->name;
      }
    }
  }
}

// At frame 0 every part must draw exactly where it was modelled: the node's
// position, pivot and parent chain cancel out.
TEST(Models, AtFrameZeroEveryPartDrawsWhereItWasModelled) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    FilePtr f = load(e.file);
    ASSERT_TRUE(f);
    lib3ds_file_eval(f.get(), 0.0f);
    const float tolerance = 1e-4f * modelSize(f.get());
    for (Lib3dsNode* n : allNodes(f.get())) {
      Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(f.get(), n->name);
      ASSERT_NE(mesh, nullptr);
      for (Lib3dsDword i = 0; i < mesh->points; i += 7) {
        const float* p = mesh->pointL[i].pos;
        const Vec3 q = drawnPoint(n, mesh, {p[0], p[1], p[2]});
        ASSERT_NEAR(q.x, p[0], tolerance) << n->name;
        ASSERT_NEAR(q.y, p[1], tolerance) << n->name;
        ASSERT_NEAR(q.z, p[2], tolerance) << n->name;
      }
    }
  }
}

TEST(Models, AnimatedModelsMoveBetweenFramesAndStillOnesDoNot) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    FilePtr f = load(e.file);
    ASSERT_TRUE(f);
    std::map<std::string, std::vector<float>> atZero;
    lib3ds_file_eval(f.get(), 0.0f);
    for (Lib3dsNode* n : allNodes(f.get())) atZero[n->name].assign(&n->matrix[0][0], &n->matrix[0][0] + 16);
    int movedAtSomeFrame = 0;
    // Off the whole periods at which swings return to rest.
    const float frames = static_cast<float>(e.frames);
    for (float frame : {3.0f, 0.5f * frames + 3.0f, frames - 3.0f}) {
      lib3ds_file_eval(f.get(), frame);
      float change = 0.0f;
      for (Lib3dsNode* n : allNodes(f.get())) {
        for (int k = 0; k < 16; ++k) change = std::max(change, std::fabs((&n->matrix[0][0])[k] - atZero[n->name][k]));
      }
      if (change > 1e-3f) ++movedAtSomeFrame;
    }
    if (e.animated) {
      EXPECT_GE(movedAtSomeFrame, 2);
    } else {
      EXPECT_EQ(movedAtSomeFrame, 0);
    }
  }
}

// The stored keys are relative clockwise turns; the loaded file must turn each
// part by the designed absolute angle about its pivot, parents included.
TEST(Models, KeyedPartsTurnByTheDesignedAnglesAtTheirKeys) {
  for (const ModelDesign& d : showModelDesigns()) {
    bool keyed = false;
    for (const ModelPart& p : d.parts) keyed = keyed || !p.turn.empty();
    if (!keyed) continue;
    SCOPED_TRACE(d.fileName);
    FilePtr f = load(d.fileName);
    ASSERT_TRUE(f);
    const float tolerance = 2e-3f * modelSize(f.get());
    for (int frame : {10, 20, 40, 60}) {
      lib3ds_file_eval(f.get(), static_cast<float>(frame));
      auto angleAt = [&](const ModelPart& p) {
        for (const AngleKey& k : p.turn) {
          if (k.frame == frame) return k.degrees;
        }
        EXPECT_TRUE(p.turn.empty()) << p.name << " has no key at frame " << frame;
        return 0.0f;
      };
      for (const ModelPart& part : d.parts) {
        Lib3dsNode* node = lib3ds_file_node_by_name(f.get(), part.name.c_str(), LIB3DS_OBJECT_NODE);
        Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(f.get(), part.name.c_str());
        ASSERT_TRUE(node && mesh) << part.name;
        const Vec3 p = part.mesh.points.back();
        Vec3 expected = p;
        for (const ModelPart* q = &part;; q = &d.parts[q->parent]) {
          expected = rotateAbout(expected, q->pivot, q->axis, angleAt(*q));
          if (q->parent < 0) break;
        }
        const Vec3 got = drawnPoint(node, mesh, p);
        EXPECT_NEAR(got.x, expected.x, tolerance) << part.name << " frame " << frame;
        EXPECT_NEAR(got.y, expected.y, tolerance) << part.name << " frame " << frame;
        EXPECT_NEAR(got.z, expected.z, tolerance) << part.name << " frame " << frame;
      }
    }
  }
}

struct CameraPose {
  Vec3 position, rotation;
};

Vec3 ours(vorn::Vec3 v) { return {v.x, v.y, v.z}; }

// The Camera at every key of the scenes that draw the sky: the set-up Camera
// of the launch and stars scenes, then the keyed ones of the formation,
// mothership, pig and horse scenes. A triple a key leaves out keeps the one before.
std::vector<CameraPose> skyCameraPoses() {
  std::vector<CameraPose> poses = {{{0.0f, 0.0f, -20.0f}, {0.0f, 0.0f, 0.0f}}};
  for (const std::vector<KeyRow>* table :
       {&keys::kFormationCamera, &keys::kMothershipCamera, &keys::kSikaModelCamera, &keys::kKyklohepoCamera}) {
    CameraPose pose;
    for (const KeyRow& key : *table) {
      if (key.position) pose.position = ours(*key.position);
      if (key.rotation) pose.rotation = ours(*key.rotation);
      poses.push_back(pose);
    }
  }
  return poses;
}

float skyScale() { return keys::kSky.front().scale->x; }
constexpr float kFarPlane = static_cast<float>(kCameraFar);

TEST(Models, SkyEnclosesEveryEyeOfItsScenesWithinTheFarPlane) {
  FilePtr f = load("avaruus.3ds");
  ASSERT_TRUE(f);
  // The sphere is a polyhedron: its faces come nearest the centre, its corners go farthest.
  float nearestFace = 1e9f, farthestPoint = 0.0f;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    for (Lib3dsDword i = 0; i < m->points; ++i) {
      const float* p = m->pointL[i].pos;
      farthestPoint = std::max(farthestPoint, length({p[0], p[1], p[2]}));
      EXPECT_NEAR(length({p[0], p[1], p[2]}), kSkyRadius, 1e-2f);
    }
    for (Lib3dsDword i = 0; i < m->faces; ++i) {
      const Lib3dsWord* idx = m->faceL[i].points;
      const float* a = m->pointL[idx[0]].pos;
      const float* b = m->pointL[idx[1]].pos;
      const float* c = m->pointL[idx[2]].pos;
      const Vec3 pa{a[0], a[1], a[2]};
      const Vec3 n = normalize(cross(Vec3{b[0], b[1], b[2]} - pa, Vec3{c[0], c[1], c[2]} - pa));
      nearestFace = std::min(nearestFace, std::fabs(dot(n, pa)));
    }
  }
  for (const CameraPose& camera : skyCameraPoses()) {
    const Vec3 eye = camera.position * -1.0f;  // the Camera moves the world by its position
    const float d = length(eye);
    EXPECT_LT(d, skyScale() * nearestFace)
        << "eye " << eye.x << ", " << eye.y << ", " << eye.z << " is outside the sky";
    EXPECT_LT(d + skyScale() * farthestPoint, kFarPlane)
        << "the far side is clipped from eye " << eye.x << ", " << eye.y << ", " << eye.z;
  }
}

TEST(Models, SkyFacesPointInwardAndTheBallOutward) {
  struct Row {
    const char* file;
    float sign;
  };
  for (const Row& row : {Row{"avaruus.3ds", -1.0f}, Row{"zolviapallo.3ds", 1.0f}}) {
    SCOPED_TRACE(row.file);
    FilePtr f = load(row.file);
    ASSERT_TRUE(f);
    Lib3dsMesh* m = f->meshes;
    std::vector<float> normals(3 * 3 * m->faces);
    lib3ds_mesh_calculate_normals(m, reinterpret_cast<Lib3dsVector*>(normals.data()));
    for (Lib3dsDword i = 0; i < m->faces; ++i) {
      for (int c = 0; c < 3; ++c) {
        const float* p = m->pointL[m->faceL[i].points[c]].pos;
        const float* n = &normals[9 * i + 3 * c];
        ASSERT_GT(row.sign * (p[0] * n[0] + p[1] * n[1] + p[2] * n[2]), 0.0f) << "face " << i;
      }
    }
  }
}

// Sizes after the show's scales, from the poses that show each model.
TEST(Models, SizesSuitTheShowsPoses) {
  struct Row {
    const char* file;
    float scale;
    int axis;  // 0 x, 1 y, 2 z of the file
    float minSize, maxSize;
    const char* why;
  };
  const Row rows[] = {
      {"haarukka.3ds", 1.0f, 2, 250.0f, 400.0f, "big fork many times the 40-unit view 20 units from the eye"},
      {"avaruusalus01.3ds", 0.3f, 0, 180.0f, 260.0f, "ship about a quarter of the 900-unit view 450 units away"},
      {"karhu.3ds", 0.2f, 0, 8.0f, 30.0f, "bears 40 units apart in the V must not touch"},
      {"karhu.3ds", 1.0f, 2, 100.0f, 200.0f, "bear walking past 300 units away"},
      {"mothership.3ds", 0.1f, 1, 30.0f, 60.0f, "small mothership 50 units in front of the last camera"},
      {"sika.3ds", 3.0f, 0, 200.0f, 350.0f, "pig seen from 450 to 950 units"},
      {"kyklohepo.3ds", 2.0f, 2, 300.0f, 600.0f, "horse 300 units away, shrinking to a quarter"},
      {"zolviapallo.3ds", 0.4f, 0, 20.0f, 50.0f, "ball 110 units in front of the eye"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    FilePtr f = load(r.file);
    ASSERT_TRUE(f);
    const Bounds b = fileBounds(f.get());
    const float extent[3] = {b.hi.x - b.lo.x, b.hi.y - b.lo.y, b.hi.z - b.lo.z};
    EXPECT_GE(r.scale * extent[r.axis], r.minSize);
    EXPECT_LE(r.scale * extent[r.axis], r.maxSize);
  }
  FilePtr ship = load("mothership.3ds"), bear = load("karhu.3ds");
  ASSERT_TRUE(ship && bear);
  const Bounds s = fileBounds(ship.get()), k = fileBounds(bear.get());
  // Both at the scales of the mothership scene: ship 1, bears 0.15 on their way in.
  EXPECT_GT(s.hi.y - s.lo.y, 10.0f * 0.15f * (k.hi.z - k.lo.z)) << "the mothership dwarfs the bears";
}

TEST(Models, StarsSpreadInDepthAndStayOffTheViewAxis) {
  FilePtr f = load("tahdettahdet.3ds");
  ASSERT_TRUE(f);
  const Bounds b = fileBounds(f.get());
  // File y becomes the scene's z, stretched thirtyfold: stars reach both far ahead and behind the eye.
  EXPECT_LT(30.0f * b.lo.y, -900.0f);
  EXPECT_GT(30.0f * b.hi.y, 900.0f);
  EXPECT_LT(30.0f * (b.hi.y - b.lo.y), 2.0f * kFarPlane);
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    for (Lib3dsDword i = 0; i < m->points; ++i) {
      const float* p = m->pointL[i].pos;
      ASSERT_GT(std::hypot(p[0], p[2]), 2.0f) << "a star crosses the axis the camera looks along";
    }
  }
}

TEST(Models, SameBytesOnEveryRun) {
  const std::string again = test::scratchDir();
  ASSERT_TRUE(writeModels(again));
  for (const Expected& e : kExpected) {
    const std::string a = test::readFile(modelDir() + "/scenes/" + e.file);
    const std::string b = test::readFile(again + "/scenes/" + e.file);
    EXPECT_FALSE(a.empty()) << e.file;
    EXPECT_TRUE(a == b) << e.file << " differs between runs";
  }
}

TEST(Models, UnwritableDirectoryFailsWithOneLineNamingTheFile) {
  const std::string dir = test::scratchDir();
  test::writeFile(dir + "/scenes", "a file where the directory should be");
  testing::internal::CaptureStderr();
  const bool ok = writeModels(dir);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(ok);
  EXPECT_NE(err.find("haarukka.3ds"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST(ModelWriter, RefusesDesignsThatCannotBeStored) {
  auto base = [] {
    ModelDesign d;
    d.fileName = "x.3ds";
    d.frames = 10;
    d.materials = {{"M"}};
    ModelPart p;
    p.name = "Osa";
    addBox(p.mesh, {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 1.0f);
    d.parts.push_back(p);
    return d;
  };
  struct Row {
    const char* name;
    void (*spoil)(ModelDesign&);
  };
  const Row rows[] = {
      {"name too long", [](ModelDesign& d) { d.parts[0].name = "Liianpitkanimi"; }},
      {"empty name", [](ModelDesign& d) { d.parts[0].name.clear(); }},
      {"parent not earlier", [](ModelDesign& d) { d.parts[0].parent = 0; }},
      {"unknown material", [](ModelDesign& d) { d.parts[0].mesh.faces[0].material = 3; }},
      {"key past the last frame",
       [](ModelDesign& d) {
         d.parts[0].turn = {{0, 0.0f}, {11, 5.0f}};
       }},
      {"keys out of order",
       [](ModelDesign& d) {
         d.parts[0].turn = {{5, 0.0f}, {5, 5.0f}};
       }},
      {"half a turn between keys",
       [](ModelDesign& d) {
         d.parts[0].turn = {{0, 0.0f}, {5, 180.0f}};
       }},
      {"a texel missing", [](ModelDesign& d) { d.parts[0].mesh.texels.pop_back(); }},
  };
  {
    std::string error;
    Lib3dsFile* ok = buildModelFile(base(), &error);
    ASSERT_NE(ok, nullptr) << error;
    lib3ds_file_free(ok);
  }
  for (const Row& r : rows) {
    ModelDesign d = base();
    r.spoil(d);
    std::string error;
    Lib3dsFile* f = buildModelFile(d, &error);
    EXPECT_EQ(f, nullptr) << r.name;
    EXPECT_FALSE(error.empty()) << r.name;
    if (f) lib3ds_file_free(f);
  }
}

// The show's models hang their moving parts on parents pivoted at the
// origin; a parent pivoted elsewhere must carry its child along just the same.
TEST(ModelWriter, ChildOfATurningOffCentreParentTurnsWithIt) {
  ModelDesign d;
  d.fileName = "arm.3ds";
  d.frames = 10;
  d.materials = {{"M"}};
  ModelPart upper;
  upper.name = "Olka";
  upper.pivot = {5.0f, 0.0f, 0.0f};
  upper.turn = {{0, 0.0f}, {10, 90.0f}};
  addBox(upper.mesh, {5.0f, -1.0f, -1.0f}, {10.0f, 1.0f, 1.0f}, 1.0f);
  ModelPart lower;
  lower.name = "Kyynar";
  lower.parent = 0;
  lower.pivot = {10.0f, 0.0f, 0.0f};
  lower.turn = {{0, 0.0f}, {10, -45.0f}};
  addBox(lower.mesh, {10.0f, -1.0f, -1.0f}, {15.0f, 1.0f, 1.0f}, 1.0f);
  d.parts = {upper, lower};
  const std::string path = test::scratchDir() + "/arm.3ds";
  ASSERT_TRUE(saveModel(d, path));
  FilePtr f(lib3ds_file_load(path.c_str()));
  ASSERT_TRUE(f);
  lib3ds_file_eval(f.get(), 10.0f);
  Lib3dsNode* node = lib3ds_file_node_by_name(f.get(), "Kyynar", LIB3DS_OBJECT_NODE);
  Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(f.get(), "Kyynar");
  ASSERT_TRUE(node && mesh);
  // The hand end (15, 0, 0): -45 about the elbow gives (13.54, -3.54), then
  // 90 about the shoulder at x = 5 gives (8.54, 8.54).
  const Vec3 got = drawnPoint(node, mesh, {15.0f, 0.0f, 0.0f});
  EXPECT_NEAR(got.x, 8.5355f, 1e-3f);
  EXPECT_NEAR(got.y, 8.5355f, 1e-3f);
  EXPECT_NEAR(got.z, 0.0f, 1e-3f);
}

TEST(ModelShapes, TubeCapsCloseAndEllipsoidPointsLieOnTheSurface) {
  MeshData m;
  const Vec3 radii{3.0f, 2.0f, 5.0f};
  addEllipsoid(m, Placement::at({1.0f, 2.0f, 3.0f}).turnedZ(30.0f), radii, 12, 8);
  ASSERT_EQ(m.points.size(), m.texels.size());
  const Placement frame = Placement::at({1.0f, 2.0f, 3.0f}).turnedZ(30.0f);
  for (const Vec3& p : m.points) {
    const Vec3 v = p - frame.origin;
    const float x = dot(v, frame.ax) / radii.x, y = dot(v, frame.ay) / radii.y, z = dot(v, frame.az) / radii.z;
    ASSERT_NEAR(x * x + y * y + z * z, 1.0f, 1e-4f);
  }
  // A closed surface: every edge is shared by exactly two triangles once
  // corners at the same place count as one point.
  auto closedEdges = [](const MeshData& mesh) {
    std::map<std::vector<float>, int> ids;
    auto id = [&](std::uint16_t i) {
      const Vec3 p = mesh.points[i];
      const std::vector<float> key{std::round(p.x * 1e4f), std::round(p.y * 1e4f), std::round(p.z * 1e4f)};
      return ids.emplace(key, static_cast<int>(ids.size())).first->second;
    };
    std::map<std::pair<int, int>, int> edges;
    for (const Triangle& t : mesh.faces) {
      const int c[3] = {id(t.a), id(t.b), id(t.c)};
      for (int k = 0; k < 3; ++k) ++edges[{std::min(c[k], c[(k + 1) % 3]), std::max(c[k], c[(k + 1) % 3])}];
    }
    for (const auto& e : edges) {
      if (e.second != 2) return false;
    }
    return !edges.empty();
  };
  EXPECT_TRUE(closedEdges(m));
  MeshData tube;
  TubeOptions o;
  o.capStart = o.capEnd = true;
  addTube(tube, {{{0.0f, 0.0f, 0.0f}, 1.0f, 2.0f}, {{1.0f, 1.0f, 4.0f}, 0.5f, 0.5f}, {{0.0f, 3.0f, 6.0f}, 1.0f, 1.0f}},
          o);
  EXPECT_TRUE(closedEdges(tube));
  MeshData box;
  addBox(box, {0.0f, 0.0f, 0.0f}, {1.0f, 2.0f, 3.0f}, 1.0f);
  EXPECT_TRUE(closedEdges(box));
  MeshData ring;
  addTorus(ring, Placement{}, 5.0f, 1.0f, 16, 6);
  EXPECT_TRUE(closedEdges(ring));
}

// Drawing through the show's loader: the sky at scale 2 covers the whole
// view from every eye of its scenes (no hole from the far plane or from an
// eye outside it), and each other model draws something in its show pose.
class ModelsDrawn : public test::GlTest {
 protected:
  // The show's Camera with the set-up frustum (scale 1) at the pose.
  static void camera(Vec3 position, Vec3 rotation) {
    Camera c;
    c.setPosition(position.x, position.y, position.z);
    c.setRotation(rotation.x, rotation.y, rotation.z);
    c.setScale(1.0f, 1.0f, 1.0f);
    c.render();
  }
  static int litPixels() {
    std::vector<unsigned char> px(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    int lit = 0;
    for (std::size_t i = 0; i < px.size(); i += 4) lit += px[i] > 0 ? 1 : 0;
    return lit;
  }
};

TEST_F(ModelsDrawn, SkyCoversTheWholeViewFromEveryCameraOfItsScenes) {
  Model3ds sky(modelDir() + "/scenes/avaruus.3ds", 0.0f, 1.0f);
  ASSERT_NE(sky.file, nullptr);
  sky.setPosition(0.0f, 0.0f, 0.0f);
  sky.setScale(skyScale(), skyScale(), skyScale());
  for (const CameraPose& c : skyCameraPoses()) {
    for (float turn : {0.0f, 3.75f}) {  // on a slice edge and halfway between
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      sky.setRotation(0.0f, turn, 0.0f);
      camera(c.position, c.rotation);
      sky.render();
      EXPECT_EQ(litPixels(), 800 * 600) << "camera at " << c.position.x << ", " << c.position.y << ", " << c.position.z
                                        << " turn " << turn;
    }
  }
}

TEST_F(ModelsDrawn, EachModelDrawsInItsShowPose) {
  struct Pose {
    const char* file;
    Vec3 position, rotation, scale;
    Vec3 camPosition;
    int minLit;
  };
  // The pose of a model's first key in the show's script.
  auto shown = [](const char* file, const KeyRow& key, vorn::Vec3 camera, int minLit) {
    return Pose{file, ours(*key.position), ours(*key.rotation), ours(*key.scale), ours(camera), minLit};
  };
  const Pose poses[] = {
      {"haarukka.3ds", {0, 0, 0}, {0, 0, 0}, {1, 1, 1}, {0, 0, -20}, 20000},
      {"avaruusalus01.3ds", {0, 0, -450}, {0, 90, 50}, {0.3f, 0.3f, 0.3f}, {0, 0, -20}, 500},
      {"karhu.3ds", {0, 0, 0}, {0, 90, 0}, {1, 1, 1}, {0, 0, -300}, 3000},
      shown("mothership.3ds", keys::kMothership.front(), {0, 0, -20}, 10000),
      shown("sika.3ds", keys::kSika.front(), *keys::kSikaModelCamera.back().position, 1000),
      {"tahdettahdet.3ds", {0, 0, 0}, {0, 0, 0}, {1, 1, 30}, {0, 0, -20}, 1000},
      shown("kyklohepo.3ds", keys::kKyklohepo.front(), *keys::kKyklohepoCamera.front().position, 2000),
      shown("zolviapallo.3ds", keys::kBall.front(), {0, 0, -20}, 3000),
  };
  for (const Pose& p : poses) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Model3ds m(modelDir() + "/scenes/" + p.file, 0.0f, 1.0f);
    ASSERT_NE(m.file, nullptr) << p.file;
    m.setPosition(p.position.x, p.position.y, p.position.z);
    m.setRotation(p.rotation.x, p.rotation.y, p.rotation.z);
    m.setScale(p.scale.x, p.scale.y, p.scale.z);
    camera(p.camPosition, {0, 0, 0});
    m.render();
    const int lit = litPixels();
    EXPECT_GE(lit, p.minLit) << p.file;
    EXPECT_LT(lit, 800 * 600) << p.file << " fills the whole view";
  }
}

// The opening draws the big fork and the first ship with their own keys and
// the set-up camera: through its first 21 seconds each keeps something in view
// (the ship until it climbs past the top of the view at about 18 s).
TEST_F(ModelsDrawn, OpeningKeepsTheForkAndTheShipInView) {
  struct Flight {
    const char* file;
    float animLength;
    const std::vector<KeyRow>* keys;
    float firstSecond, lastSecond;
    int minLit;
  };
  const Flight flights[] = {
      {"haarukka.3ds", 32.0f, &keys::kBigHaarukka, 1.0f, 21.0f, 800 * 600 / 50},
      {"avaruusalus01.3ds", 10.0f, &keys::kFirstShip, 1.0f, 17.0f, 1000},
  };
  for (const Flight& f : flights) {
    Model3ds m(modelDir() + "/scenes/" + f.file, 0.0f, f.animLength);
    ASSERT_NE(m.file, nullptr) << f.file;
    storeKeyRows(m, *f.keys);
    for (float t = f.firstSecond; t <= f.lastSecond; t += 1.0f) {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      m.update(t);
      camera({0, 0, -20}, {0, 0, 0});
      m.render();
      EXPECT_GE(litPixels(), f.minLit) << f.file << " at " << t << " s";
    }
  }
}

}  // namespace
}  // namespace vorn::assets
