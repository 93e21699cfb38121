// Material: fixed-function render state (colour, 64 integer flags, four
// texture slots) that apply() puts into the GL just before drawing.
#pragma once

#include "scene/track.h"

namespace vorn {

class Texture;

enum MaterialFlag {
  FlatShade = 1,
  SmoothShade = 2,
  AdditiveBlend = 3,
  AlphaBlend = 4,
  Textured = 5,
  SphereMap = 6,
  DepthTest = 7,
  TextureMode = 8,  // 0 .. 3: row of the texture environment table
};

constexpr int kMaterialFlagCount = 64;
constexpr int kTextureUnits = 4;

struct Colour {
  float r = 1.0f;
  float g = 1.0f;
  float b = 1.0f;
  float a = 1.0f;
};

class Material {
 public:
  Material() = default;
  virtual ~Material() = default;

  void setColour(float r, float g, float b, float a) { colour = {r, g, b, a}; }
  void setFlag(int index, int value) { flags[index] = value; }               // index 0 .. 63, trusted
  void setTexture(int slot, Texture* texture) { textures[slot] = texture; }  // slot 0 .. 3, trusted
  // When colourTrack interpolates at t, r, g, b take its x, y, z; alpha never changes.
  void evaluateColour(float t);
  // Sets texturing per unit, colour material, shading, blending, depth and the
  // colour, in a fixed order; restores nothing. Unit 0 is active afterwards.
  void apply() const;

  Colour colour;
  Track colourTrack;
  int flags[kMaterialFlagCount] = {};
  Texture* textures[kTextureUnits] = {};  // not owned; may be shared by many Materials
};

}  // namespace vorn
