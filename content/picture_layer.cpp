// Builds picture layers: Texture, Material, quad mesh and slide keys.
#include "content/picture_layer.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "app/scene.h"
#include "content/shared_geometry.h"
#include "res/texture.h"
#include "scene/generated_mesh.h"
#include "scene/material.h"

namespace vorn {

namespace {

// The first key sits just before 0 so that the rest off-screen up to inTime - 1
// is an interpolation between two equal keys, not a hold of the setter's value.
constexpr float kFirstSlideKeyTime = -0.1f;
// A slide in takes the last second before inTime.
constexpr float kSlideInSeconds = 1.0f;

}  // namespace

std::vector<KeyRow> layerKeyRows(int x, int y, int width, int height, SlideKind kind, float inTime, float holdTime,
                                 float outTime) {
  const int hw = width / 2;
  const int hh = height / 2;
  const Vec3 home{static_cast<float>(x + hw), static_cast<float>(y + hh), 0.0f};
  const Vec3 still{0.0f, 0.0f, 0.0f};
  // The negative y scale turns the quad upright in the y-down screen space;
  // the zero z scale flattens it.
  const Vec3 size{static_cast<float>(hw), static_cast<float>(-hh), 0.0f};

  Vec3 off;
  switch (kind) {
    case SlideStatic: return {{0.0f, home, still, size}};
    case SlideFromLeft: off = {static_cast<float>(-hw), static_cast<float>(y + hh), 0.0f}; break;
    case SlideFromRight: off = {static_cast<float>(width + hw), static_cast<float>(y + hh), 0.0f}; break;
    case SlideFromTop: off = {static_cast<float>(x + hw), static_cast<float>(-hh), 0.0f}; break;
    default: return {};
  }
  return {
      {kFirstSlideKeyTime, off, still, size},
      {inTime - kSlideInSeconds, off, still, size},
      {inTime, home, still, size},
      {holdTime, home, still, size},
      {outTime, off, still, size},
  };
}

GeneratedMesh* addLayer(Scene& scene, const char* path, int x, int y, int width, int height, SlideKind kind,
                        float inTime, float holdTime, float outTime) {
  if (scene.layerCount >= kMaxLayers) return nullptr;
  GeometryGenerator* geometry = sharedGeometry();
  if (!geometry) {
    std::fprintf(stderr, "vorndemo: addLayer(\"%s\") before createSharedGeometry(); create the shared geometry first\n",
                 path);
    std::abort();
  }

  // The Texture, Material and mesh live for the whole run and are never destroyed.
  auto* texture = new Texture(path);
  auto* material = new Material();
  material->setFlag(AlphaBlend, 1);
  material->setFlag(Textured, 1);
  material->setTexture(0, texture);

  auto* layer = new GeneratedMesh();
  layer->setMaterial(material);
  layer->setFormat(GL_T2F_N3F_V3F);
  geometry->addQuad(*layer, 1.0f, 1.0f);
  storeKeyRows(*layer, layerKeyRows(x, y, width, height, kind, inTime, holdTime, outTime));

  scene.appendLayer(layer);
  return layer;
}

}  // namespace vorn
