// Model3ds: frame arithmetic, keyframe playback, drawing of object nodes from
// display lists and per-face material state. Every 3DS file is written by the
// test itself with lib3ds; damaged files are model3ds_check_test.cpp's.
#include "scene/model3ds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "res/load_queue.h"
#include "scene/material.h"
#include "tests/scene/model_file.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

using test::findNode;
using test::lit;
using test::Model3dsDraw;
using test::ModelFile;
using test::oneTriangleFile;
using test::pixelX;
using test::pixelY;
using test::Point;
using test::triangleAt;

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

// A saved file of one triangle, "mover", keyed from x = fromX at frame 0 to
// x = 10 at frame 100.
std::string moverFile(float fromX) {
  ModelFile f;
  f.mesh("mover", triangleAt(0.0f, 0.0f), {{0, 1, 2}});
  Lib3dsNode* n = f.node("mover", 0);
  ModelFile::positionKey(n, 0, {fromX, 0.0f, 0.0f});
  ModelFile::positionKey(n, 100, {10.0f, 0.0f, 0.0f});
  return f.save();
}

TEST(Model3ds, UpdateEvaluatesTheFileAtTheFrame) {
  const std::string path = moverFile(0.0f);

  struct Row {
    float length, t;
    float frame, x;
  };
  const Row rows[] = {
      {10.0f, 5.0f, 50.0f, 5.0f},  {10.0f, 15.0f, 100.0f, 10.0f}, {10.0f, -1.0f, 0.0f, 0.0f},
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

// Models made while a LoadQueue is active get their own files, evaluated at
// frame 0, at its finish(), and a file that cannot be read is named then.
TEST(Model3ds, ThroughALoadQueueTheFileArrivesAtFinish) {
  const std::string absent = test::scratchDir() + "/absent-queued.3ds";
  const std::string path = moverFile(2.0f);

  std::vector<std::unique_ptr<Model3ds>> models;
  testing::internal::CaptureStderr();
  {
    LoadQueue queue;
    for (int i = 0; i < 3; ++i) models.push_back(std::make_unique<Model3ds>(path, 0.0f, 10.0f));
    models.push_back(std::make_unique<Model3ds>(absent, 0.0f, 10.0f));
    for (const auto& m : models) EXPECT_EQ(m->file, nullptr) << "before finish()";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "nothing is named before finish()";
    testing::internal::CaptureStderr();
    queue.finish();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(absent), std::string::npos) << err;
  EXPECT_EQ(err.find(path), std::string::npos) << err;
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(models[i]->file, nullptr);
    if (i > 0) {
      EXPECT_NE(models[i]->file, models[0]->file) << "each model has its own file";
    }
    Lib3dsNode* mover = findNode(models[i]->file->nodes, "mover");
    ASSERT_NE(mover, nullptr);
    EXPECT_NEAR(mover->matrix[3][0], 2.0f, 1e-5f) << "evaluated at frame 0";
  }
  EXPECT_EQ(models[3]->file, nullptr);
}

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

}  // namespace
}  // namespace vorn
