// Model3ds: frame arithmetic, keyframe playback, drawing of object nodes from
// display lists, per-face material state, and damaged files. Every 3DS file
// is written by the test itself with lib3ds.
#include "scene/model3ds.h"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/tracks.h>

#include <array>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "scene/material.h"
#include "tests/scene/ortho_view.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

using Point = std::array<float, 3>;
using Face = std::array<int, 3>;

// A 3DS scene under construction; save() writes it where Model3ds can load it.
class ModelFile {
 public:
  ModelFile() : file_(lib3ds_file_new()) { file_->frames = 100; }
  ~ModelFile() { lib3ds_file_free(file_); }
  ModelFile(const ModelFile&) = delete;
  ModelFile& operator=(const ModelFile&) = delete;

  Lib3dsMesh* mesh(const char* name, const std::vector<Point>& points, const std::vector<Face>& faces,
                   const char* material = "") {
    Lib3dsMesh* m = lib3ds_mesh_new(name);
    if (!points.empty()) lib3ds_mesh_new_point_list(m, static_cast<Lib3dsDword>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) {
      for (int k = 0; k < 3; ++k) m->pointL[i].pos[k] = points[i][k];
    }
    lib3ds_mesh_new_face_list(m, static_cast<Lib3dsDword>(faces.size()));
    for (size_t i = 0; i < faces.size(); ++i) {
      for (int k = 0; k < 3; ++k) m->faceL[i].points[k] = static_cast<Lib3dsWord>(faces[i][k]);
      std::strcpy(m->faceL[i].material, material);
    }
    lib3ds_file_insert_mesh(file_, m);
    return m;
  }

  // An object node at the end of the top-level list; lib3ds builds the tree
  // from the ids when the file is read back.
  Lib3dsNode* node(const char* name, int id, int parent = LIB3DS_NO_PARENT) {
    Lib3dsNode* n = lib3ds_node_new_object();
    std::strcpy(n->name, name);
    n->node_id = static_cast<Lib3dsWord>(id);
    n->parent_id = static_cast<Lib3dsWord>(parent);
    Lib3dsNode** tail = &file_->nodes;
    while (*tail) tail = &(*tail)->next;
    *tail = n;
    return n;
  }

  static void positionKey(Lib3dsNode* n, int frame, Point value) {
    Lib3dsLin3Key* key = lib3ds_lin3_key_new();
    key->tcb.frame = frame;
    for (int k = 0; k < 3; ++k) key->value[k] = value[k];
    lib3ds_lin3_track_insert(&n->data.object.pos_track, key);
  }

  Lib3dsMaterial* material(const char* name, float shininess) {
    Lib3dsMaterial* m = lib3ds_material_new();
    std::strcpy(m->name, name);
    m->shininess = shininess;
    const float diffuse[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    const float specular[4] = {1.0f, 0.0f, 0.5f, 1.0f};
    std::memcpy(m->diffuse, diffuse, sizeof diffuse);
    std::memcpy(m->specular, specular, sizeof specular);
    lib3ds_file_insert_material(file_, m);
    return m;
  }

  std::string save(const std::string& name = "model.3ds") {
    const std::string path = test::scratchDir() + "/" + name;
    EXPECT_TRUE(lib3ds_file_save(file_, path.c_str()));
    return path;
  }

  Lib3dsFile* file_;
};

// A triangle in the file's x-z plane; after the model's -90 degree turn it
// lies in the Scene's x-y plane with corners (x, y), (x + 4, y), (x, y + 4).
std::vector<Point> triangleAt(float x, float y) {
  return {Point{x, 0.0f, y}, Point{x + 4.0f, 0.0f, y}, Point{x, 0.0f, y + 4.0f}};
}

// One node and mesh named "tri", the triangle at (x, y).
std::string oneTriangleFile(float x = 0.0f, float y = 0.0f) {
  ModelFile f;
  f.mesh("tri", triangleAt(x, y), {{0, 1, 2}});
  f.node("tri", 0);
  return f.save();
}

Lib3dsNode* findNode(Lib3dsNode* list, const char* name) {
  for (Lib3dsNode* n = list; n; n = n->next) {
    if (std::strcmp(n->name, name) == 0) return n;
    if (Lib3dsNode* c = findNode(n->childs, name)) return c;
  }
  return nullptr;
}

// Offset of the first chunk with this id in a lib3ds-written file, searching
// the containers that hold meshes, material groups and node tracks; npos if none.
size_t findChunk(const std::string& b, uint16_t id, size_t from = 0, size_t end = std::string::npos) {
  if (end == std::string::npos) end = b.size();
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); };
  auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | (uint32_t(u16(at + 2)) << 16)); };
  for (size_t pos = from; pos + 6 <= end;) {
    const uint16_t chunk = u16(pos);
    const uint32_t size = u32(pos + 2);
    if (size < 6 || pos + size > end) return std::string::npos;
    if (chunk == id) return pos;
    size_t inner = std::string::npos;
    switch (chunk) {
      case 0x4D4D: case 0x3D3D: case 0xB000: case 0xB002: case 0x4100:
        inner = pos + 6;
        break;
      case 0x4000:  // named object: name first
        inner = b.find('\0', pos + 6) + 1;
        break;
      case 0x4120:  // face array: count and faces first
        inner = pos + 8 + 8 * size_t{u16(pos + 6)};
        break;
    }
    if (inner != std::string::npos) {
      const size_t found = findChunk(b, id, inner, pos + size);
      if (found != std::string::npos) return found;
    }
    pos += size;
  }
  return std::string::npos;
}

void putU16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

TEST(ModelFrame, FollowsEntryTimeAndClampsToTheFile) {
  struct Row {
    const char* name;
    float start, length, t;
    float frame;
  };
  const Row rows[] = {
      {"halfway", 0.0f, 10.0f, 5.0f, 50.0f},
      {"after the end holds the last frame", 0.0f, 10.0f, 15.0f, 100.0f},
      {"before the start holds frame 0", 0.0f, 10.0f, -1.0f, 0.0f},
      {"late start", 2.0f, 10.0f, 7.0f, 50.0f},
      {"negative length holds frame 0", 0.0f, -300.0f, 5.0f, 0.0f},
      {"negative length, long after", 0.0f, -300.0f, 170.0f, 0.0f},
      {"zero length holds the last frame", 0.0f, 0.0f, 5.0f, 100.0f},
      {"zero length before the start", 0.0f, 0.0f, -1.0f, 0.0f},
      {"zero length at the start", 0.0f, 0.0f, 0.0f, 0.0f},
      {"length 1", 0.0f, 1.0f, 0.25f, 25.0f},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(modelFrameAt(r.t, r.start, r.length, 100), r.frame) << r.name;
  }
  // Float arithmetic throughout: the product is rounded to float before the clamp.
  EXPECT_EQ(modelFrameAt(1.0f / 3.0f, 0.0f, 1.0f, 30),
            static_cast<float>((1.0f / 3.0f) / 1.0f * static_cast<float>(30)));
}

TEST(Model3ds, UpdateEvaluatesTheFileAtTheFrame) {
  ModelFile f;
  f.mesh("mover", triangleAt(0.0f, 0.0f), {{0, 1, 2}});
  Lib3dsNode* n = f.node("mover", 0);
  ModelFile::positionKey(n, 0, {0.0f, 0.0f, 0.0f});
  ModelFile::positionKey(n, 100, {10.0f, 0.0f, 0.0f});
  const std::string path = f.save();

  struct Row {
    float length, t;
    float frame, x;
  };
  const Row rows[] = {
      {10.0f, 5.0f, 50.0f, 5.0f},   {10.0f, 15.0f, 100.0f, 10.0f}, {10.0f, -1.0f, 0.0f, 0.0f},
      {-300.0f, 5.0f, 0.0f, 0.0f}, {0.0f, 5.0f, 100.0f, 10.0f},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE("length " + std::to_string(r.length) + " t " + std::to_string(r.t));
    Model3ds model(path, 0.0f, r.length);
    ASSERT_NE(model.file, nullptr);
    EXPECT_EQ(model.file->frames, 100);
    model.update(r.t);
    EXPECT_EQ(model.frame, r.frame);
    EXPECT_EQ(model.currentTime, r.t);
    Lib3dsNode* evaluated = findNode(model.file->nodes, "mover");
    ASSERT_NE(evaluated, nullptr);
    EXPECT_NEAR(evaluated->matrix[3][0], r.x, 1e-4f);
  }
}

TEST(Model3ds, AMissingFileLoadsNothingAndUpdatesSafely) {
  Model3ds model(test::scratchDir() + "/absent.3ds", 0.0f, 10.0f);
  EXPECT_EQ(model.file, nullptr);
  model.update(5.0f);
  EXPECT_EQ(model.frame, 0.0f);
}

using test::lit;
using test::pixelX;
using test::pixelY;

class Model3dsDraw : public test::OrthoViewTest {
 protected:

  // Loads, evaluates at frame 0 and draws once.
  static void draw(Model3ds& model) {
    model.update(0.0f);
    model.render();
  }
};

TEST_F(Model3dsDraw, DrawsTheTriangleWhereTheNodeTransformAndTheTurnPutIt) {
  const std::string path = oneTriangleFile();
  Model3ds model(path, 0.0f, 10.0f);
  ASSERT_NE(model.file, nullptr);
  const test::StackDepths before = test::stackDepths();
  draw(model);
  EXPECT_EQ(test::stackDepths(), before);
  EXPECT_TRUE(lit(1.0f, 1.0f));
  EXPECT_FALSE(lit(-1.0f, -1.0f));
  EXPECT_FALSE(lit(1.0f, -1.0f)) << "the file's +z must become the Scene's +y";

  glClear(GL_COLOR_BUFFER_BIT);
  model.setPosition(-6.0f, -5.0f, 0.0f);
  model.setScale(0.5f, 0.5f, 0.5f);
  draw(model);
  EXPECT_TRUE(lit(-5.5f, -4.5f));
  EXPECT_FALSE(lit(-3.5f, -4.5f)) << "scale not applied";
  EXPECT_FALSE(lit(1.0f, 1.0f));
}

TEST_F(Model3dsDraw, MeshMatrixPivotAndNodeKeysPlaceTheMesh) {
  // Each row draws the triangle stored at world (2, 2) and expects it at `at`.
  struct Row {
    const char* name;
    Point meshOffset;  // translation in the mesh matrix
    Point pivot;
    Point key;  // node position key at frame 0
    float atX, atY;
  };
  const Row rows[] = {
      {"as stored", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 2.0f, 2.0f},
      {"mesh matrix undone", {2, 0, 2}, {0, 0, 0}, {0, 0, 0}, 0.0f, 0.0f},
      {"pivot subtracted", {0, 0, 0}, {4, 0, 0}, {0, 0, 0}, -2.0f, 2.0f},
      {"node position key", {0, 0, 0}, {0, 0, 0}, {-6, 0, -7}, -4.0f, -5.0f},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    glClear(GL_COLOR_BUFFER_BIT);
    ModelFile f;
    Lib3dsMesh* mesh = f.mesh("tri", triangleAt(2.0f, 2.0f), {{0, 1, 2}});
    for (int k = 0; k < 3; ++k) mesh->matrix[3][k] = r.meshOffset[k];
    Lib3dsNode* n = f.node("tri", 0);
    for (int k = 0; k < 3; ++k) n->data.object.pivot[k] = r.pivot[k];
    ModelFile::positionKey(n, 0, r.key);
    Model3ds model(f.save(), 0.0f, 10.0f);
    draw(model);
    EXPECT_TRUE(lit(r.atX + 0.5f, r.atY + 0.5f));
    EXPECT_FALSE(lit(r.atX - 0.5f, r.atY - 0.5f));
    EXPECT_FALSE(lit(r.atX + 3.5f, r.atY + 3.5f));
  }
}

TEST_F(Model3dsDraw, OnlyNamedObjectNodesWithAMeshAreDrawnAndDummiesOnlyThroughTheirChildren) {
  ModelFile f;
  f.mesh("$$$DUMMY", triangleAt(-9.0f, -9.0f), {{0, 1, 2}});
  f.mesh("kid", triangleAt(-9.0f, 4.0f), {{0, 1, 2}});
  f.mesh("$$$DUMMYX", triangleAt(4.0f, 4.0f), {{0, 1, 2}});
  f.mesh("orphan", triangleAt(4.0f, -9.0f), {{0, 1, 2}});
  f.node("$$$DUMMY", 0);
  f.node("kid", 1, 0);
  f.node("$$$DUMMYX", 2);
  f.node("ghost", 3);
  Model3ds model(f.save(), 0.0f, 10.0f);
  ASSERT_NE(model.file, nullptr);
  Lib3dsNode* dummy = findNode(model.file->nodes, "$$$DUMMY");
  ASSERT_NE(dummy, nullptr);
  ASSERT_NE(dummy->childs, nullptr) << "the test file should hang kid under the dummy";

  draw(model);
  EXPECT_FALSE(lit(-8.0f, -8.0f)) << "$$$DUMMY drawn";
  EXPECT_TRUE(lit(-8.0f, 5.0f)) << "the dummy's child not drawn";
  EXPECT_TRUE(lit(5.0f, 5.0f)) << "a longer name starting with $$$DUMMY is an ordinary node";
  EXPECT_FALSE(lit(5.0f, -8.0f)) << "a mesh without a node drawn";
  EXPECT_EQ(dummy->user.d, 0u);
  EXPECT_EQ(findNode(model.file->nodes, "ghost")->user.d, 0u);
  EXPECT_NE(findNode(model.file->nodes, "kid")->user.d, 0u);
}

TEST_F(Model3dsDraw, ListsAreBuiltOnceAndReplayed) {
  Model3ds model(oneTriangleFile(), 0.0f, 10.0f);
  ASSERT_NE(model.file, nullptr);
  draw(model);
  const GLuint list = model.file->nodes->user.d;
  ASSERT_NE(list, 0u);
  EXPECT_TRUE(glIsList(list));
  EXPECT_TRUE(lit(1.0f, 1.0f)) << "the list must be replayed right after it is built";

  glClear(GL_COLOR_BUFFER_BIT);
  draw(model);
  draw(model);
  EXPECT_EQ(model.file->nodes->user.d, list);
  // Names are handed out upwards: a list built by the later draws would sit above.
  for (GLuint name = list + 1; name < list + 64; ++name) {
    EXPECT_FALSE(glIsList(name)) << "a second list was built: " << name;
  }
  EXPECT_TRUE(lit(1.0f, 1.0f));
}

TEST_F(Model3dsDraw, FaceMaterialsAreRecordedWithTheShininessRule) {
  struct Row {
    const char* name;
    const char* faceMaterial;
    float shininess;  // of the file's material "m"
    float glShininess;
    bool known;
  };
  const Row rows[] = {
      {"half", "m", 0.5f, 32.0f, true},
      {"0.3", "m", 0.3f, 8.0f, true},
      {"0.8 is capped", "m", 0.8f, 128.0f, true},
      {"1.0 is capped", "m", 1.0f, 128.0f, true},
      {"unknown name", "other", 0.5f, 7.0f, false},
      {"no name", "", 0.5f, 7.0f, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ModelFile f;
    f.material("m", r.shininess);
    f.mesh("tri", triangleAt(0.0f, 0.0f), {{0, 1, 2}}, r.faceMaterial);
    f.node("tri", 0);
    Model3ds model(f.save(), 0.0f, 10.0f);
    glMaterialf(GL_FRONT, GL_SHININESS, 7.0f);
    draw(model);

    GLfloat shininess = 0.0f;
    GLfloat ambient[4], diffuse[4], specular[4];
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(shininess, r.glShininess);
    // Colours are compared with what lib3ds read back (the file stores bytes).
    Lib3dsMaterial* m = lib3ds_file_material_by_name(model.file, "m");
    ASSERT_NE(m, nullptr);
    const GLfloat grey[3] = {0.2f, 0.2f, 0.2f};
    const GLfloat lightGrey[3] = {0.8f, 0.8f, 0.8f};
    const GLfloat black[3] = {0.0f, 0.0f, 0.0f};
    const GLfloat* expectAmbient = r.known ? black : grey;
    const GLfloat* expectDiffuse = r.known ? m->diffuse : lightGrey;
    const GLfloat* expectSpecular = r.known ? m->specular : black;
    for (int k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(ambient[k], expectAmbient[k]) << k;
      EXPECT_FLOAT_EQ(diffuse[k], expectDiffuse[k]) << k;
      EXPECT_FLOAT_EQ(specular[k], expectSpecular[k]) << k;
    }
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
    if (r.known) {
      EXPECT_NEAR(m->diffuse[2], 0.75f, 0.01f);
    }
  }
}

TEST_F(Model3dsDraw, TexelsAreSentWithVNegatedOnlyForPointsThatHaveOne) {
  ModelFile f;
  // Corner order 2, 0, 1: the last corner has a texel, the first has none.
  Lib3dsMesh* mesh = f.mesh("tri", triangleAt(0.0f, 0.0f), {{2, 0, 1}});
  lib3ds_mesh_new_texel_list(mesh, 2);
  mesh->texelL[0][0] = 0.25f;
  mesh->texelL[0][1] = 0.5f;
  mesh->texelL[1][0] = 0.75f;
  mesh->texelL[1][1] = 0.125f;
  f.node("tri", 0);
  Model3ds model(f.save(), 0.0f, 10.0f);
  ASSERT_NE(model.file, nullptr);
  ASSERT_EQ(model.file->meshes->texels, 2u);

  GLfloat texCoord[4];
  glTexCoord2f(9.0f, 9.0f);
  draw(model);
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
  EXPECT_FLOAT_EQ(texCoord[0], 0.75f);
  EXPECT_FLOAT_EQ(texCoord[1], -0.125f);

  // One face whose only corner with a texel comes first: the later corners
  // (points 2 and 2) leave the coordinate from point 0.
  ModelFile g;
  Lib3dsMesh* second = g.mesh("tri", triangleAt(0.0f, 0.0f), {{0, 2, 2}});
  lib3ds_mesh_new_texel_list(second, 1);
  second->texelL[0][0] = 0.5f;
  second->texelL[0][1] = 0.25f;
  g.node("tri", 0);
  Model3ds other(g.save("other.3ds"), 0.0f, 10.0f);
  glTexCoord2f(9.0f, 9.0f);
  draw(other);
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
  EXPECT_FLOAT_EQ(texCoord[0], 0.5f);
  EXPECT_FLOAT_EQ(texCoord[1], -0.25f);
}

TEST_F(Model3dsDraw, CornersCarryTheComputedNormals) {
  ModelFile f;
  f.mesh("tri", triangleAt(0.0f, 0.0f), {{0, 1, 2}});
  f.node("tri", 0);
  Model3ds model(f.save(), 0.0f, 10.0f);
  glNormal3f(0.0f, 0.0f, 0.0f);
  draw(model);
  GLfloat normal[3];
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  // (p1 - p0) x (p2 - p0) for the triangle in the x-z plane.
  EXPECT_FLOAT_EQ(normal[0], 0.0f);
  EXPECT_FLOAT_EQ(normal[1], -1.0f);
  EXPECT_FLOAT_EQ(normal[2], 0.0f);
}

TEST_F(Model3dsDraw, AppliesTheMaterialEvenWithoutAFileAndDrawsNothing) {
  Material material;
  material.setColour(1.0f, 1.0f, 1.0f, 1.0f);
  material.setFlag(AlphaBlend, 1);
  Model3ds model(test::scratchDir() + "/absent.3ds", 0.0f, 10.0f);
  model.setMaterial(&material);
  const test::StackDepths before = test::stackDepths();
  draw(model);
  EXPECT_EQ(test::stackDepths(), before);
  EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "the Material was not applied";
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  EXPECT_FALSE(lit(1.0f, 1.0f));
}

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

TEST_F(Model3dsDraw, AFileWhoseNodesLoopIsRefused) {
  ModelFile f;
  f.mesh("a", triangleAt(0.0f, 0.0f), {{0, 1, 2}});
  f.node("a", 0, 1);
  f.node("b", 1, 0);
  const std::string looping = f.save("loop.3ds");
  Model3ds model(looping, 0.0f, 10.0f);
  EXPECT_EQ(model.file, nullptr);
  draw(model);

  ModelFile g;
  g.node("self", 4, 4);
  Model3ds self(g.save("self.3ds"), 0.0f, 10.0f);
  EXPECT_EQ(self.file, nullptr);
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
