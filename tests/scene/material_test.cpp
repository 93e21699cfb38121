// Material: colour animation, the GL state apply() leaves for each flag
// combination (read back with glGet), and what reaches the screen.
#include "scene/material.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gl_procs.h"
#include "res/texture.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

void addColourKey(Material& m, float time, float r, float g, float b) {
  auto key = std::make_unique<Key>();
  key->x = r;
  key->y = g;
  key->z = b;
  key->time = time;
  m.colourTrack.addKey(std::move(key));
}

TEST(MaterialColour, FollowsTheTrackOnlyWhileItInterpolatesAndNeverAlpha) {
  struct Row {
    const char* name;
    float t;
    float r, g, b;
  };
  const float s = std::sin(5.0f * (1.0f / 10.0f) * 1.5707963f);
  const Row rows[] = {
      {"before the first key", -1.0f, 0.1f, 0.2f, 0.3f},
      {"exactly at the first key", 0.0f, 0.1f, 0.2f, 0.3f},
      {"half-way, eased", 5.0f, 1.0f - s, s, 0.0f},
      {"after the last key", 12.0f, 0.1f, 0.2f, 0.3f},
  };
  for (const auto& row : rows) {
    Material m;
    m.setColour(0.1f, 0.2f, 0.3f, 0.4f);
    addColourKey(m, 0.0f, 1.0f, 0.0f, 0.0f);
    addColourKey(m, 10.0f, 0.0f, 1.0f, 0.0f);
    m.evaluateColour(row.t);
    EXPECT_NEAR(m.colour.r, row.r, 1e-6f) << row.name;
    EXPECT_NEAR(m.colour.g, row.g, 1e-6f) << row.name;
    EXPECT_NEAR(m.colour.b, row.b, 1e-6f) << row.name;
    EXPECT_EQ(m.colour.a, 0.4f) << row.name;
  }
}

TEST(MaterialColour, WithoutKeysKeepsTheSetColour) {
  Material m;
  m.setColour(0.5f, 0.25f, 0.125f, 1.0f);
  m.evaluateColour(3.0f);
  EXPECT_EQ(m.colour.r, 0.5f);
  EXPECT_EQ(m.colour.g, 0.25f);
  EXPECT_EQ(m.colour.b, 0.125f);
}

class MaterialApply : public test::GlTest {
 protected:
  void SetUp() override {
    test::GlTest::SetUp();
    if (HasFatalFailure()) return;
    for (auto& t : textures_) {
      t = std::make_unique<Texture>(2, 2);
      t->upload();
    }
    glGenTextures(1, &stale_);
    glBindTexture(GL_TEXTURE_2D, stale_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  }
  void TearDown() override {
    glDeleteTextures(1, &stale_);
    test::GlTest::TearDown();
  }

  // State that apply() must overwrite or, where it says so, leave alone: every
  // unit textured with a stale texture in decal mode and object-linear texgen
  // on, unit 2 active, blending, depth test and culling on, colour material off.
  void dirtyState(GLint shadeModel) {
    for (int unit = 0; unit < kTextureUnits; ++unit) {
      gl::activeTextureARB(GL_TEXTURE0_ARB + unit);
      glBindTexture(GL_TEXTURE_2D, stale_);
      glEnable(GL_TEXTURE_2D);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
      glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
      glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
      glEnable(GL_TEXTURE_GEN_S);
      glEnable(GL_TEXTURE_GEN_T);
    }
    gl::activeTextureARB(GL_TEXTURE2_ARB);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glDisable(GL_COLOR_MATERIAL);
    glShadeModel(shadeModel);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }

  // Leaves the GL as the fixture found it for the next test.
  void cleanUnits() {
    for (int unit = kTextureUnits - 1; unit >= 0; --unit) {
      gl::activeTextureARB(GL_TEXTURE0_ARB + unit);
      glDisable(GL_TEXTURE_GEN_S);
      glDisable(GL_TEXTURE_GEN_T);
      glDisable(GL_TEXTURE_2D);
    }
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_CULL_FACE);
  }

  std::unique_ptr<Texture> textures_[kTextureUnits];
  GLuint stale_ = 0;
};

struct ApplyRow {
  const char* name;
  std::vector<std::pair<int, int>> flags;
  unsigned slots;  // bit i: textures[i] filled
  GLint priorShade;
  // Expected afterwards.
  bool blend;
  GLint blendSrc, blendDst;  // checked when blend is on
  bool depthTest;
  bool depthMask;
  bool cull;
  GLint shade;
  unsigned texturedUnits;  // bit i: unit i textured with textures[i]; others disabled and still bound to the stale one
  GLint env0;              // env mode of unit 0 when textured; textured units 1 to 3 always modulate
  bool sphereMap;          // texgen on textured units; untextured units keep their (enabled) texgen
};

constexpr GLint A = GL_SRC_ALPHA, OMSA = GL_ONE_MINUS_SRC_ALPHA, ONE = GL_ONE;

TEST_F(MaterialApply, LeavesTheStateOfItsFlags) {
  const ApplyRow rows[] = {
      {"colour only", {}, 0, GL_SMOOTH, false, 0, 0, false, false, false, GL_SMOOTH, 0, 0, false},
      {"neither shade flag keeps flat", {}, 0, GL_FLAT, false, 0, 0, false, false, false, GL_FLAT, 0, 0, false},
      {"flat", {{FlatShade, 1}}, 0, GL_SMOOTH, false, 0, 0, false, false, false, GL_FLAT, 0, 0, false},
      {"smooth", {{SmoothShade, 1}}, 0, GL_FLAT, false, 0, 0, false, false, false, GL_SMOOTH, 0, 0, false},
      {"flat and smooth: smooth wins",
       {{FlatShade, 1}, {SmoothShade, 1}},
       0,
       GL_FLAT,
       false,
       0,
       0,
       false,
       false,
       false,
       GL_SMOOTH,
       0,
       0,
       false},
      {"flag values other than 1 count as on",
       {{FlatShade, 7}, {AlphaBlend, -1}},
       0,
       GL_SMOOTH,
       true,
       A,
       OMSA,
       false,
       false,
       false,
       GL_FLAT,
       0,
       0,
       false},
      {"alpha blend", {{AlphaBlend, 1}}, 0, GL_SMOOTH, true, A, OMSA, false, false, false, GL_SMOOTH, 0, 0, false},
      {"additive blend", {{AdditiveBlend, 1}}, 0, GL_SMOOTH, true, A, ONE, false, false, false, GL_SMOOTH, 0, 0, false},
      {"alpha and additive: additive wins",
       {{AlphaBlend, 1}, {AdditiveBlend, 1}},
       0,
       GL_SMOOTH,
       true,
       A,
       ONE,
       false,
       false,
       false,
       GL_SMOOTH,
       0,
       0,
       false},
      {"alpha blend with depth test writes depth",
       {{AlphaBlend, 1}, {DepthTest, 1}},
       0,
       GL_SMOOTH,
       true,
       A,
       OMSA,
       true,
       true,
       true,
       GL_SMOOTH,
       0,
       0,
       false},
      {"depth test leaves culling alone",
       {{DepthTest, 1}},
       0,
       GL_SMOOTH,
       false,
       0,
       0,
       true,
       true,
       true,
       GL_SMOOTH,
       0,
       0,
       false},
      {"textured, slot 0 only",
       {{Textured, 1}},
       0x1,
       GL_SMOOTH,
       false,
       0,
       0,
       false,
       false,
       false,
       GL_SMOOTH,
       0x1,
       GL_REPLACE,
       false},
      {"textured off with every slot filled",
       {},
       0xF,
       GL_SMOOTH,
       false,
       0,
       0,
       false,
       false,
       false,
       GL_SMOOTH,
       0,
       0,
       false},
      {"textured, every slot, mode 0",
       {{Textured, 1}},
       0xF,
       GL_SMOOTH,
       false,
       0,
       0,
       false,
       false,
       false,
       GL_SMOOTH,
       0xF,
       GL_REPLACE,
       false},
      {"mode 1 with sphere map, every slot",
       {{Textured, 1}, {TextureMode, 1}, {SphereMap, 1}},
       0xF,
       GL_SMOOTH,
       false,
       0,
       0,
       false,
       false,
       false,
       GL_SMOOTH,
       0xF,
       GL_BLEND,
       true},
      {"mode 2, slots 1 and 3",
       {{Textured, 1}, {TextureMode, 2}},
       0xA,
       GL_SMOOTH,
       false,
       0,
       0,
       false,
       false,
       false,
       GL_SMOOTH,
       0xA,
       GL_BLEND,
       false},
      {"mode 3, slot 0",
       {{Textured, 1}, {TextureMode, 3}},
       0x1,
       GL_SMOOTH,
       false,
       0,
       0,
       false,
       false,
       false,
       GL_SMOOTH,
       0x1,
       GL_BLEND,
       false},
      {"engine effect material",
       {{AdditiveBlend, 1}, {DepthTest, 0}, {FlatShade, 1}, {Textured, 1}, {SphereMap, 0}, {TextureMode, 0}},
       0x1,
       GL_SMOOTH,
       true,
       A,
       ONE,
       false,
       false,
       false,
       GL_FLAT,
       0x1,
       GL_REPLACE,
       false},
      {"picture layer",
       {{AlphaBlend, 1}, {Textured, 1}},
       0x1,
       GL_SMOOTH,
       true,
       A,
       OMSA,
       false,
       false,
       false,
       GL_SMOOTH,
       0x1,
       GL_REPLACE,
       false},
      {"additive with depth test",
       {{AdditiveBlend, 1}, {Textured, 1}, {DepthTest, 1}},
       0x1,
       GL_SMOOTH,
       true,
       A,
       ONE,
       true,
       true,
       true,
       GL_SMOOTH,
       0x1,
       GL_REPLACE,
       false},
      {"additive sphere map in blend mode",
       {{AdditiveBlend, 1}, {Textured, 1}, {SphereMap, 1}, {TextureMode, 1}},
       0x1,
       GL_SMOOTH,
       true,
       A,
       ONE,
       false,
       false,
       false,
       GL_SMOOTH,
       0x1,
       GL_BLEND,
       true},
  };

  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Material m;
    m.setColour(0.25f, 0.5f, 0.75f, 0.125f);
    for (const auto& [flag, value] : row.flags) m.setFlag(flag, value);
    for (int slot = 0; slot < kTextureUnits; ++slot)
      if (row.slots & (1u << slot)) m.setTexture(slot, textures_[slot].get());

    dirtyState(row.priorShade);
    m.apply();

    EXPECT_EQ(test::getInteger(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    EXPECT_EQ(glIsEnabled(GL_BLEND) == GL_TRUE, row.blend);
    if (row.blend) {
      EXPECT_EQ(test::getInteger(GL_BLEND_SRC), row.blendSrc);
      EXPECT_EQ(test::getInteger(GL_BLEND_DST), row.blendDst);
    }
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, row.depthTest);
    EXPECT_EQ(test::getInteger(GL_DEPTH_WRITEMASK) == GL_TRUE, row.depthMask);
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE) == GL_TRUE, row.cull);
    EXPECT_EQ(test::getInteger(GL_SHADE_MODEL), row.shade);
    EXPECT_EQ(glIsEnabled(GL_COLOR_MATERIAL), GL_TRUE);
    // Two glColorMaterial calls, front then back: the later one's face is what GL reports.
    EXPECT_EQ(test::getInteger(GL_COLOR_MATERIAL_FACE), GL_BACK);
    EXPECT_EQ(test::getInteger(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.25f);
    EXPECT_EQ(colour[1], 0.5f);
    EXPECT_EQ(colour[2], 0.75f);
    EXPECT_EQ(colour[3], 0.125f);

    for (int unit = 0; unit < kTextureUnits; ++unit) {
      SCOPED_TRACE("unit " + std::to_string(unit));
      gl::activeTextureARB(GL_TEXTURE0_ARB + unit);
      const bool textured = (row.texturedUnits & (1u << unit)) != 0;
      EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, textured);
      const bool genOn = textured ? row.sphereMap : true;
      EXPECT_EQ(glIsEnabled(GL_TEXTURE_GEN_S) == GL_TRUE, genOn);
      EXPECT_EQ(glIsEnabled(GL_TEXTURE_GEN_T) == GL_TRUE, genOn);
      GLint genMode = 0;
      glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &genMode);
      EXPECT_EQ(genMode, textured && row.sphereMap ? GL_SPHERE_MAP : GL_OBJECT_LINEAR);
      GLint env = 0;
      glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
      if (textured) {
        EXPECT_EQ(static_cast<GLuint>(test::getInteger(GL_TEXTURE_BINDING_2D)), textures_[unit]->glName());
        EXPECT_EQ(env, unit == 0 ? row.env0 : GL_MODULATE);
      } else {
        EXPECT_EQ(static_cast<GLuint>(test::getInteger(GL_TEXTURE_BINDING_2D)), stale_);
        EXPECT_EQ(env, GL_DECAL);
      }
    }
    cleanUnits();
  }
}

// A 1 x 1 texture holding one colour, for seeing which colour reaches the screen.
std::unique_ptr<Texture> solidTexture(const unsigned char (&rgba)[4]) {
  auto t = std::make_unique<Texture>(1, 1);
  t->upload();
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return t;
}

void drawQuad() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
}

TEST_F(MaterialApply, WhatReachesTheScreen) {
  struct Row {
    const char* name;
    std::vector<std::pair<int, int>> flags;
    bool withTexture;
    Colour colour;
    test::Rgba expected;  // over a background of (0, 0, 255)
  };
  const unsigned char texel[4] = {255, 0, 0, 128};
  const Row rows[] = {
      {"picture layer: texture replaces the colour, alpha blended",
       {{AlphaBlend, 1}, {Textured, 1}},
       true,
       {0.0f, 1.0f, 0.0f, 1.0f},
       {128, 0, 127, 0}},
      {"effect material: texture added with its own alpha",
       {{AdditiveBlend, 1}, {FlatShade, 1}, {Textured, 1}, {TextureMode, 0}},
       true,
       {1.0f, 1.0f, 1.0f, 0.2f},
       {128, 0, 255, 0}},
      {"texturing off, slot filled: the Material's colour",
       {{FlatShade, 1}},
       true,
       {1.0f, 0.5f, 0.0f, 1.0f},
       {255, 128, 0, 0}},
  };
  auto texture = solidTexture(texel);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Material m;
    m.setColour(row.colour.r, row.colour.g, row.colour.b, row.colour.a);
    for (const auto& [flag, value] : row.flags) m.setFlag(flag, value);
    if (row.withTexture) m.setTexture(0, texture.get());
    m.apply();
    drawQuad();
    const test::Rgba p = test::readPixel(400, 300);
    EXPECT_NEAR(p.r, row.expected.r, 2);
    EXPECT_NEAR(p.g, row.expected.g, 2);
    EXPECT_NEAR(p.b, row.expected.b, 2);
    cleanUnits();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
  }
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

}  // namespace
}  // namespace vorn
