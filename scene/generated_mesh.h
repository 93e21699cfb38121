// GeneratedMesh: a Node that keeps a vertex storage and draws it from client
// arrays, one array element at a time, with its Material, under the node transform.
#pragma once

#include "scene/geometry.h"
#include "scene/node.h"

namespace vorn {

class Material;

class GeneratedMesh : public Node, public VertexStorage {
 public:
  // Draws inside a full attribute push and a model-view push; firstChild is
  // drawn inside this transform, nextSibling outside it.
  void render() override;

  void setMaterial(Material* m) { material = m; }

  Material* material = nullptr;  // not owned; may be shared by many meshes
};

}  // namespace vorn
