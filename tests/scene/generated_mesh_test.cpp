// GeneratedMesh drawing on the real GL context: state restored after render,
// children inside and siblings outside the transform, arrays fed per format.
#include "scene/generated_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "scene/material.h"
#include "tests/scene/ortho_view.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

using test::readPixel;
using test::Rgba;

using test::lit;
using test::pixelX;
using test::pixelY;

class GeneratedMeshTest : public test::OrthoViewTest {
 protected:
  // A new mesh holding one 2 x 2 quad, posed at (x, y, 0).
  static std::unique_ptr<GeneratedMesh> quadAt(float x, float y, int format = GL_T2F_N3F_V3F) {
    auto mesh = std::make_unique<GeneratedMesh>();
    mesh->setFormat(format);
    GeometryGenerator().addQuad(*mesh, 1.0f, 1.0f);
    mesh->setPosition(x, y, 0.0f);
    return mesh;
  }
};

TEST_F(GeneratedMeshTest, DrawsItsQuadAtThePosition) {
  auto mesh = quadAt(4.0f, -3.0f);
  mesh->render();
  EXPECT_TRUE(lit(4.0f, -3.0f));
  EXPECT_TRUE(lit(4.8f, -2.2f));
  EXPECT_FALSE(lit(0.0f, 0.0f));
  EXPECT_FALSE(lit(5.5f, -3.0f));
}

TEST_F(GeneratedMeshTest, RotationAndScaleFollowTheNodeTransformOrder) {
  // Scaled to 4 x 1 then turned 90 degrees about z: a 2 x 8 bar standing upright.
  auto mesh = quadAt(-5.0f, 0.0f);
  mesh->setScale(4.0f, 1.0f, 1.0f);
  mesh->setRotation(0.0f, 0.0f, 90.0f);
  mesh->render();
  EXPECT_TRUE(lit(-5.0f, 3.5f));
  EXPECT_TRUE(lit(-5.0f, -3.5f));
  EXPECT_FALSE(lit(-8.5f, 0.0f));
  EXPECT_FALSE(lit(-1.5f, 0.0f));
}

TEST_F(GeneratedMeshTest, ChildrenAreDrawnInsideTheTransformAndTheSiblingOutside) {
  auto parent = quadAt(5.0f, 0.0f);
  parent->setScale(0.5f, 0.5f, 1.0f);
  // Two children, both in the parent's space: (0, 10) and (0, -10) land at
  // (5, 5) and (5, -5) after the parent's translate and half scale.
  GeneratedMesh* above = quadAt(0.0f, 10.0f).release();
  GeneratedMesh* below = quadAt(0.0f, -10.0f).release();
  above->attachTo(*parent);
  below->attachTo(*parent);
  // The sibling's (-5, 0) is world space.
  parent->nextSibling = quadAt(-5.0f, 0.0f).release();

  parent->render();
  EXPECT_TRUE(lit(5.0f, 5.0f));
  EXPECT_TRUE(lit(5.0f, -5.0f));
  EXPECT_FALSE(lit(0.0f, 10.0f - 0.5f));
  EXPECT_TRUE(lit(-5.0f, 0.0f));
  EXPECT_FALSE(lit(0.0f, 0.0f)) << "sibling drawn inside the parent's transform";
  EXPECT_FALSE(lit(-2.5f + 5.0f, 0.0f)) << "sibling drawn inside the parent's transform";
}

TEST_F(GeneratedMeshTest, RenderRestoresStacksClientArraysAndMaterialState) {
  Material material;
  material.setColour(1.0f, 0.0f, 0.0f, 0.5f);
  material.setFlag(AdditiveBlend, 1);
  material.setFlag(FlatShade, 1);
  material.setFlag(DepthTest, 1);

  struct Row {
    const char* name;
    int format;
    bool withTriangles;
    bool withMaterial;
  };
  const Row rows[] = {
      {"full format with material", GL_T2F_N3F_V3F, true, true},
      {"texture and position", GL_T2F_V3F, true, false},
      {"position only", GL_V3F, true, true},
      {"full format, no triangles", GL_T2F_N3F_V3F, false, true},
      {"unknown format", GL_C3F_V3F, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GeneratedMesh mesh;
    mesh.setFormat(row.format);
    if (row.withTriangles) GeometryGenerator().addBox(mesh, 1.0f, 1.0f, 1.0f);
    if (row.withMaterial) mesh.setMaterial(&material);
    mesh.setPosition(1.0f, 2.0f, 3.0f);
    // A drawing child and sibling, so nested pushes and pops are covered too.
    quadAt(0.0f, 0.0f, row.format).release()->attachTo(mesh);
    mesh.nextSibling = quadAt(0.0f, 0.0f, row.format).release();
    static_cast<GeneratedMesh*>(mesh.nextSibling)->setMaterial(&material);

    const test::StackDepths before = test::stackDepths();
    const auto modelview = test::getMatrix(GL_MODELVIEW_MATRIX);
    mesh.render();
    EXPECT_EQ(test::stackDepths(), before);
    EXPECT_EQ(test::getMatrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(test::getInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

TEST_F(GeneratedMeshTest, ArraysTheCallerEnabledStayEnabled) {
  // The quad's six vertices also read this colour array: all green.
  GLfloat colours[6][4];
  for (auto& c : colours) c[0] = 0.0f, c[1] = 1.0f, c[2] = 0.0f, c[3] = 1.0f;
  glColorPointer(4, GL_FLOAT, 0, colours);
  glEnableClientState(GL_COLOR_ARRAY);
  auto mesh = quadAt(0.0f, 0.0f);
  mesh->render();
  EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
  glDisableClientState(GL_COLOR_ARRAY);
  EXPECT_EQ(readPixel(pixelX(0.0f), pixelY(0.0f)).g, 255);
}

TEST_F(GeneratedMeshTest, EmptyAndUnknownFormatMeshesDrawNothingButStillDrawTheirChildren) {
  for (int format : {GL_T2F_N3F_V3F, 0}) {
    SCOPED_TRACE(format);
    glClear(GL_COLOR_BUFFER_BIT);
    GeneratedMesh mesh;
    mesh.setFormat(format);
    if (format == 0) GeometryGenerator().addQuad(mesh, 1.0f, 1.0f);
    quadAt(-6.0f, 0.0f).release()->attachTo(mesh);
    mesh.render();
    EXPECT_FALSE(lit(0.0f, 0.0f));
    EXPECT_TRUE(lit(-6.0f, 0.0f));
  }
}

TEST_F(GeneratedMeshTest, MaterialColourIsEvaluatedAtTheLastUpdateTime) {
  Material material;
  material.setColour(0.0f, 0.0f, 0.0f, 1.0f);
  material.setFlag(DepthTest, 0);
  auto keyAt = [&](float time, float r, float b) {
    auto key = std::make_unique<Key>();
    key->x = r;
    key->y = 0.0f;
    key->z = b;
    key->time = time;
    key->w = 1.0f;
    material.colourTrack.addKey(std::move(key));
  };
  keyAt(0.0f, 1.0f, 0.0f);
  keyAt(10.0f, 0.0f, 1.0f);

  auto mesh = quadAt(0.0f, 0.0f);
  mesh->setMaterial(&material);
  mesh->update(5.0f);
  mesh->render();
  // sin(pi/4) of the way from red to blue.
  const float s = std::sin(0.5f * 1.5707963f);
  const Rgba p = readPixel(pixelX(0.0f), pixelY(0.0f));
  EXPECT_NEAR(p.r, (1.0f - s) * 255.0f, 2.0f);
  EXPECT_EQ(p.g, 0);
  EXPECT_NEAR(p.b, s * 255.0f, 2.0f);
}

TEST_F(GeneratedMeshTest, SetMaterialReplacesTheEarlierMaterial) {
  Material red;
  red.setColour(1.0f, 0.0f, 0.0f, 1.0f);
  Material green;
  green.setColour(0.0f, 1.0f, 0.0f, 1.0f);
  auto mesh = quadAt(0.0f, 0.0f);
  mesh->setMaterial(&red);
  mesh->setMaterial(&green);
  mesh->render();
  const Rgba p = readPixel(pixelX(0.0f), pixelY(0.0f));
  EXPECT_EQ(p.r, 0);
  EXPECT_EQ(p.g, 255);
}

TEST_F(GeneratedMeshTest, TextureCoordinatesReachUnitZero) {
  // A 2 x 2 texture: its first row (t = 0) red and blue, its second row green and white.
  const GLubyte texels[] = {255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 255, 255};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

  for (int format : {GL_T2F_V3F, GL_T2F_N3F_V3F}) {
    SCOPED_TRACE(format);
    auto mesh = std::make_unique<GeneratedMesh>();
    mesh->setFormat(format);
    GeometryGenerator().addQuad(*mesh, 4.0f, 4.0f);
    mesh->render();
    // The picture's first row lies along the top edge (+y), its first column along -x.
    const Rgba topLeft = readPixel(pixelX(-2.0f), pixelY(2.0f));
    const Rgba topRight = readPixel(pixelX(2.0f), pixelY(2.0f));
    const Rgba bottomLeft = readPixel(pixelX(-2.0f), pixelY(-2.0f));
    EXPECT_EQ(topLeft.r, 255);
    EXPECT_EQ(topLeft.b, 0);
    EXPECT_EQ(topRight.b, 255);
    EXPECT_EQ(topRight.r, 0);
    EXPECT_EQ(bottomLeft.g, 255);
    EXPECT_EQ(bottomLeft.r, 0);
  }
  glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &name);
}

}  // namespace
}  // namespace vorn
