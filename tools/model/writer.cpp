// Stores model designs as 3DS files through lib3ds: one mesh per part (points,
// texels, faces, identity mesh matrix) and one object node of the same name in
// the keyframer with its pivot and position, rotation and scale tracks.
#include "tools/model/writer.h"

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/tracks.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/assets.h"
#include "tools/model/designs.h"

namespace vorn::assets {

namespace {

constexpr float kDegToRad = 0.017453292f;
constexpr std::size_t kMaxIndex = 65535;  // 3DS point and face counts are 16-bit
// Rotation keys are stored as relative turns and lib3ds interpolates them the
// short way round, so neighbouring keys must stay under half a turn apart.
constexpr float kMaxKeyStepDegrees = 170.0f;
constexpr Lib3dsWord kAllEdgesVisible = LIB3DS_FACE_FLAG_VIS_AB | LIB3DS_FACE_FLAG_VIS_BC | LIB3DS_FACE_FLAG_VIS_AC;
constexpr Lib3dsDword kSmoothGroup = 1;

void copyName(char* dest, std::size_t size, const std::string& name) {
  std::strncpy(dest, name.c_str(), size - 1);
  dest[size - 1] = '\0';
}

void setVector(Lib3dsVector v, Vec3 p) {
  v[0] = p.x;
  v[1] = p.y;
  v[2] = p.z;
}

std::string checkDesign(const ModelDesign& d) {
  if (d.frames < 0) return "negative frame count";
  for (std::size_t i = 0; i < d.parts.size(); ++i) {
    const ModelPart& p = d.parts[i];
    if (p.name.empty() || p.name.size() > kMaxPartName) return "part name '" + p.name + "' is empty or too long";
    if (p.parent >= static_cast<int>(i)) return "part " + p.name + " names a parent that is not earlier";
    if (p.mesh.points.size() > kMaxIndex || p.mesh.faces.size() > kMaxIndex) return "part " + p.name + " is too big";
    if (p.mesh.texels.size() != p.mesh.points.size()) return "part " + p.name + " lacks texels";
    for (const Triangle& t : p.mesh.faces) {
      if (t.material < 0 || t.material >= static_cast<int>(d.materials.size()))
        return "part " + p.name + " uses an unknown material";
    }
    for (std::size_t k = 0; k < p.turn.size(); ++k) {
      if (p.turn[k].frame < 0 || p.turn[k].frame > d.frames) return "part " + p.name + " has a key outside the frames";
      if (k == 0) continue;
      if (p.turn[k].frame <= p.turn[k - 1].frame) return "part " + p.name + " has keys out of order";
      if (std::fabs(p.turn[k].degrees - p.turn[k - 1].degrees) > kMaxKeyStepDegrees)
        return "part " + p.name + " turns too far between keys";
    }
  }
  return {};
}

void addMaterials(Lib3dsFile* file, const ModelDesign& d) {
  for (const ModelMaterial& m : d.materials) {
    Lib3dsMaterial* mat = lib3ds_material_new();
    copyName(mat->name, sizeof mat->name, m.name);
    const float rgb[3] = {m.r, m.g, m.b};
    for (int c = 0; c < 3; ++c) {
      mat->ambient[c] = 0.2f * rgb[c];
      mat->diffuse[c] = rgb[c];
      mat->specular[c] = 0.3f;
    }
    mat->ambient[3] = mat->diffuse[3] = mat->specular[3] = 1.0f;
    mat->shininess = 0.25f;
    mat->shading = LIB3DS_GOURAUD;
    lib3ds_file_insert_material(file, mat);
  }
}

void addMesh(Lib3dsFile* file, const ModelDesign& d, const ModelPart& p) {
  Lib3dsMesh* mesh = lib3ds_mesh_new(p.name.c_str());
  lib3ds_matrix_identity(mesh->matrix);
  const MeshData& m = p.mesh;
  lib3ds_mesh_new_point_list(mesh, static_cast<Lib3dsDword>(m.points.size()));
  for (std::size_t i = 0; i < m.points.size(); ++i) setVector(mesh->pointL[i].pos, m.points[i]);
  if (d.textured) {
    lib3ds_mesh_new_texel_list(mesh, static_cast<Lib3dsDword>(m.texels.size()));
    for (std::size_t i = 0; i < m.texels.size(); ++i) {
      mesh->texelL[i][0] = m.texels[i].u;
      mesh->texelL[i][1] = m.texels[i].v;
    }
  }
  lib3ds_mesh_new_face_list(mesh, static_cast<Lib3dsDword>(m.faces.size()));
  for (std::size_t i = 0; i < m.faces.size(); ++i) {
    Lib3dsFace& f = mesh->faceL[i];
    f.points[0] = m.faces[i].a;
    f.points[1] = m.faces[i].b;
    f.points[2] = m.faces[i].c;
    f.flags = kAllEdgesVisible;
    f.smoothing = kSmoothGroup;
    copyName(f.material, sizeof f.material, d.materials[m.faces[i].material].name);
  }
  lib3ds_file_insert_mesh(file, mesh);
}

void addPositionKey(Lib3dsLin3Track* track, Vec3 value) {
  Lib3dsLin3Key* key = lib3ds_lin3_key_new();
  key->tcb.frame = 0;
  setVector(key->value, value);
  lib3ds_lin3_track_insert(track, key);
}

// 3DS rotation keys hold each turn relative to the previous key, and lib3ds
// reads a positive key angle as a clockwise turn; the stored angle is
// therefore the negated difference of the absolute angles.
void addTurnKeys(Lib3dsQuatTrack* track, const ModelPart& p) {
  if (p.turn.empty()) {
    Lib3dsQuatKey* key = lib3ds_quat_key_new();
    key->tcb.frame = 0;
    key->axis[2] = 1.0f;
    lib3ds_quat_track_insert(track, key);
    return;
  }
  float previous = 0.0f;
  for (const AngleKey& k : p.turn) {
    Lib3dsQuatKey* key = lib3ds_quat_key_new();
    key->tcb.frame = k.frame;
    setVector(key->axis, p.axis);
    key->angle = -(k.degrees - previous) * kDegToRad;
    previous = k.degrees;
    lib3ds_quat_track_insert(track, key);
  }
}

void addNode(Lib3dsFile* file, const ModelDesign& d, std::size_t index) {
  const ModelPart& p = d.parts[index];
  Lib3dsNode* node = lib3ds_node_new_object();
  copyName(node->name, sizeof node->name, p.name);
  node->node_id = static_cast<Lib3dsWord>(index);
  node->parent_id = p.parent < 0 ? LIB3DS_NO_PARENT : static_cast<Lib3dsWord>(p.parent);
  Lib3dsObjectData& obj = node->data.object;
  setVector(obj.pivot, p.pivot);
  const Bounds b = boundsOf(p.mesh.points);
  setVector(obj.bbox_min, b.lo);
  setVector(obj.bbox_max, b.hi);
  // The node turns about its pivot: it sits at the pivot, measured in the
  // parent's frame, which the parent's own pivot offset has moved.
  const Vec3 parentPivot = p.parent < 0 ? Vec3{} : d.parts[p.parent].pivot;
  addPositionKey(&obj.pos_track, p.pivot - parentPivot);
  addTurnKeys(&obj.rot_track, p);
  addPositionKey(&obj.scl_track, {1.0f, 1.0f, 1.0f});
  lib3ds_file_insert_node(file, node);
}

}  // namespace

std::vector<AngleKey> swingKeys(int frames, int step, float amplitude, float period) {
  std::vector<AngleKey> keys;
  for (int f = 0;; f += step) {
    const int frame = f < frames ? f : frames;
    keys.push_back({frame, amplitude * std::sin(6.2831853f * static_cast<float>(frame) / period)});
    if (frame == frames) break;
  }
  return keys;
}

std::vector<AngleKey> spinKeys(int frames, int step, float totalDegrees) {
  std::vector<AngleKey> keys;
  for (int f = 0;; f += step) {
    const int frame = f < frames ? f : frames;
    keys.push_back({frame, totalDegrees * static_cast<float>(frame) / static_cast<float>(frames)});
    if (frame == frames) break;
  }
  return keys;
}

Lib3dsFile* buildModelFile(const ModelDesign& design, std::string* error) {
  const std::string problem = checkDesign(design);
  if (!problem.empty()) {
    if (error) *error = problem;
    return nullptr;
  }
  Lib3dsFile* file = lib3ds_file_new();
  file->frames = design.frames;
  file->segment_from = 0;
  file->segment_to = design.frames;
  file->current_frame = 0;
  addMaterials(file, design);
  for (const ModelPart& p : design.parts) addMesh(file, design, p);
  for (std::size_t i = 0; i < design.parts.size(); ++i) addNode(file, design, i);
  return file;
}

bool saveModel(const ModelDesign& design, const std::string& path) {
  std::string problem;
  Lib3dsFile* file = buildModelFile(design, &problem);
  if (!file) {
    std::fprintf(stderr, "vorn-assets: cannot write %s: %s\n", path.c_str(), problem.c_str());
    return false;
  }
  const bool saved = lib3ds_file_save(file, path.c_str()) != 0;
  lib3ds_file_free(file);
  if (!saved) std::fprintf(stderr, "vorn-assets: cannot write %s\n", path.c_str());
  return saved;
}

void scaleDesign(ModelDesign& design, float factor) {
  for (ModelPart& part : design.parts) {
    for (Vec3& p : part.mesh.points) p = {p.x * factor, p.y * factor, p.z * factor};
    part.pivot = {part.pivot.x * factor, part.pivot.y * factor, part.pivot.z * factor};
  }
}

bool writeModels(const std::string& dir) {
  const std::string scenes = dir + "/scenes";
  std::error_code ec;
  std::filesystem::create_directories(scenes, ec);
  for (const ModelDesign& design : showModelDesigns()) {
    if (!saveModel(design, scenes + "/" + design.fileName)) return false;
  }
  return true;
}

}  // namespace vorn::assets
