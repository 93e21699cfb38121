// Turns a model design (named parts with meshes, joints and keyed turns) into
// a lib3ds file and saves it. The show's nine designs live in designs.h.
#pragma once

#include <string>
#include <vector>

#include "tools/model/shapes.h"

struct Lib3dsFile;

namespace vorn::assets {

// Longest mesh and node name a part may have: the classic 3DS object name limit.
constexpr std::size_t kMaxPartName = 10;

struct AngleKey {
  int frame = 0;
  float degrees = 0.0f;  // absolute turn about the part's axis at this frame
};

// One 3DS object: a mesh and the object node of the same name that shows it.
// The mesh is modelled in place (mesh matrix identity); the node turns it
// about pivot, and a child turns along with its parent.
struct ModelPart {
  std::string name;
  int parent = -1;  // index of an earlier part, or -1 for a top-level node
  MeshData mesh;
  Vec3 pivot;                   // joint, in model space
  Vec3 axis{0.0f, 0.0f, 1.0f};  // unit axis of the keyed turn, right-handed
  std::vector<AngleKey> turn;   // ascending frames; empty: the part rests
};

struct ModelMaterial {
  std::string name;
  float r = 0.8f, g = 0.8f, b = 0.8f;
};

struct ModelDesign {
  std::string fileName;                  // e.g. "karhu.3ds"
  int frames = 1;                        // the file's frame count, the span of its keys
  bool textured = true;                  // the show's Material puts a texture on it: texels for every point
  std::vector<ModelMaterial> materials;  // Triangle::material indexes this list
  std::vector<ModelPart> parts;
};

// Keys of a swing: degrees = amplitude * sin(2 pi frame / period), one key
// every step frames from 0 through frames, so the part rests at frame 0.
std::vector<AngleKey> swingKeys(int frames, int step, float amplitude, float period);
// Keys of a steady spin: degrees grow linearly from 0 to totalDegrees over frames.
std::vector<AngleKey> spinKeys(int frames, int step, float totalDegrees);

// Scales every part's points and pivot about the model origin; keyed turns are
// unchanged. Lets a design be modelled at a convenient size and shown at another.
void scaleDesign(ModelDesign& design, float factor);

// Builds the lib3ds file (caller frees it with lib3ds_file_free), or returns
// null with a reason in error when the design cannot be stored (too many
// points, a name too long, a parent out of order).
Lib3dsFile* buildModelFile(const ModelDesign& design, std::string* error);

// Builds and saves to path; false with one line on stderr naming the file.
bool saveModel(const ModelDesign& design, const std::string& path);

}  // namespace vorn::assets
