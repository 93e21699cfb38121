// Material colour animation and apply(): puts the Material's render state into
// the GL in a fixed order and restores nothing; callers that need the previous
// state back bracket their drawing with the attribute stack.
#include "scene/material.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/gl_procs.h"
#include "res/texture.h"

namespace vorn {

namespace {

// Texture environment mode per TextureMode row (0 .. 3) and unit: only unit 0
// varies; the upper units always modulate what lies below them.
GLint envMode(int textureMode, int unit) {
  if (unit != 0) return GL_MODULATE;
  return textureMode == 0 ? GL_REPLACE : GL_BLEND;
}

void setSphereMap(bool on) {
  if (on) {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
  } else {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
  }
}

}  // namespace

void Material::evaluateColour(float t) {
  float out[3];
  if (colourTrack.evaluate(t, out) != 1) return;
  colour.r = out[0];
  colour.g = out[1];
  colour.b = out[2];
}

void Material::apply() const {
  const bool textured = flags[Textured] != 0;
  for (int unit = 0; unit < kTextureUnits; ++unit) {
    gl::activeTextureARB(GL_TEXTURE0_ARB + unit);
    const Texture* texture = textured ? textures[unit] : nullptr;
    if (!texture) {
      // An empty slot leaves the unit's coordinate generation as it was.
      glDisable(GL_TEXTURE_2D);
      continue;
    }
    texture->bind();
    glEnable(GL_TEXTURE_2D);
    setSphereMap(flags[SphereMap] != 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode(flags[TextureMode], unit));
  }

  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  glColorMaterial(GL_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  // Drawing code after apply() issues plain texture calls for unit 0.
  gl::activeTextureARB(GL_TEXTURE0_ARB);

  if (flags[FlatShade]) glShadeModel(GL_FLAT);
  if (flags[SmoothShade]) glShadeModel(GL_SMOOTH);  // after flat, so smooth wins when both are on

  if (flags[AlphaBlend]) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
  } else {
    glDisable(GL_BLEND);
  }
  if (flags[AdditiveBlend]) {  // after alpha blending, so additive wins when both are on
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
  }

  // Set last: the depth write mask follows DepthTest alone, whatever the blend flags said.
  if (flags[DepthTest]) {
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
  } else {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
  }

  glColor4f(colour.r, colour.g, colour.b, colour.a);
}

}  // namespace vorn
