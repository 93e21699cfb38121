// Model3ds: a Node that shows a 3DS file through lib3ds, playing the file's
// own keyframes in step with entry-local time; each mesh is compiled once into
// a display list kept in its lib3ds node's user word.
#pragma once

#include <string>

#include "scene/node.h"

struct Lib3dsFile;

namespace vorn {

class Material;

class Model3ds : public Node {
 public:
  // Loads the file (a file that cannot be loaded, or is refused as damaged,
  // leaves file null and draws nothing) and evaluates it at frame 0. While a
  // LoadQueue is active that happens on its workers, and file stays null
  // until the queue's finish(); the model must live until then.
  Model3ds(const std::string& path, float animStart, float animLength);
  ~Model3ds() override;  // frees the file; its display lists stay with the GL context

  void update(float t) override;
  void render() override;
  void setMaterial(Material* m) { material = m; }

  Lib3dsFile* file = nullptr;  // owned; models live for the whole run
  float frame = 0.0f;
  float animStart = 0.0f;
  float animLength = 0.0f;
  Material* material = nullptr;  // not owned
};

// The 3DS frame for entry-local time t: (t - start) / length * frames, clamped to 0 .. frames.
float modelFrameAt(float t, float animStart, float animLength, int frames);

}  // namespace vorn
