// A 3DS file written with lib3ds for Model3ds to load, the byte helpers that
// damage such a file, and the orthographic fixture the drawing tests share.
#pragma once

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/tracks.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/model3ds.h"
#include "tests/scene/ortho_view.h"
#include "tests/support/test_files.h"

namespace vorn::test {

using Point = std::array<float, 3>;
using Face = std::array<int, 3>;

// A 3DS scene under construction; save() writes it where Model3ds can load it.
class ModelFile {
 public:
  ModelFile() : file_(lib3ds_file_new()) { file_->frames = 100; }
  ~ModelFile() { lib3ds_file_free(file_); }
  ModelFile(const ModelFile&) = delete;
  ModelFile& operator=(const ModelFile&) = delete;

  Lib3dsMesh* mesh(const char* name, const std::vector<Point>& points, const std::vector<Face>& faces,
                   const char* material = "") {
    Lib3dsMesh* m = lib3ds_mesh_new(name);
    if (!points.empty()) lib3ds_mesh_new_point_list(m, static_cast<Lib3dsDword>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) {
      for (int k = 0; k < 3; ++k) m->pointL[i].pos[k] = points[i][k];
    }
    lib3ds_mesh_new_face_list(m, static_cast<Lib3dsDword>(faces.size()));
    for (size_t i = 0; i < faces.size(); ++i) {
      for (int k = 0; k < 3; ++k) m->faceL[i].points[k] = static_cast<Lib3dsWord>(faces[i][k]);
      std::strcpy(m->faceL[i].material, material);
    }
    lib3ds_file_insert_mesh(file_, m);
    return m;
  }

  // An object node at the end of the top-level list; lib3ds builds the tree
  // from the ids when the file is read back.
  Lib3dsNode* node(const char* name, int id, int parent = LIB3DS_NO_PARENT) {
    Lib3dsNode* n = lib3ds_node_new_object();
    std::strcpy(n->name, name);
    n->node_id = static_cast<Lib3dsWord>(id);
    n->parent_id = static_cast<Lib3dsWord>(parent);
    Lib3dsNode** tail = &file_->nodes;
    while (*tail) tail = &(*tail)->next;
    *tail = n;
    return n;
  }

  static void positionKey(Lib3dsNode* n, int frame, Point value) {
    Lib3dsLin3Key* key = lib3ds_lin3_key_new();
    key->tcb.frame = frame;
    for (int k = 0; k < 3; ++k) key->value[k] = value[k];
    lib3ds_lin3_track_insert(&n->data.object.pos_track, key);
  }

  Lib3dsMaterial* material(const char* name, float shininess) {
    Lib3dsMaterial* m = lib3ds_material_new();
    std::strcpy(m->name, name);
    m->shininess = shininess;
    const float diffuse[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    const float specular[4] = {1.0f, 0.0f, 0.5f, 1.0f};
    std::memcpy(m->diffuse, diffuse, sizeof diffuse);
    std::memcpy(m->specular, specular, sizeof specular);
    lib3ds_file_insert_material(file_, m);
    return m;
  }

  std::string save(const std::string& name = "model.3ds") {
    const std::string path = scratchDir() + "/" + name;
    EXPECT_TRUE(lib3ds_file_save(file_, path.c_str()));
    return path;
  }

  Lib3dsFile* file_;
};

// A triangle in the file's x-z plane; after the model's -90 degree turn it
// lies in the Scene's x-y plane with corners (x, y), (x + 4, y), (x, y + 4).
inline std::vector<Point> triangleAt(float x, float y) {
  return {Point{x, 0.0f, y}, Point{x + 4.0f, 0.0f, y}, Point{x, 0.0f, y + 4.0f}};
}

// One node and mesh named "tri", the triangle at (x, y).
inline std::string oneTriangleFile(float x = 0.0f, float y = 0.0f) {
  ModelFile f;
  f.mesh("tri", triangleAt(x, y), {{0, 1, 2}});
  f.node("tri", 0);
  return f.save();
}

inline Lib3dsNode* findNode(Lib3dsNode* list, const char* name) {
  for (Lib3dsNode* n = list; n; n = n->next) {
    if (std::strcmp(n->name, name) == 0) return n;
    if (Lib3dsNode* c = findNode(n->childs, name)) return c;
  }
  return nullptr;
}

// Offset of the first chunk with this id in a lib3ds-written file, searching
// the containers that hold meshes, material groups and node tracks; npos if none.
inline size_t findChunk(const std::string& b, uint16_t id, size_t from = 0, size_t end = std::string::npos) {
  if (end == std::string::npos) end = b.size();
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); };
  auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | (uint32_t(u16(at + 2)) << 16)); };
  for (size_t pos = from; pos + 6 <= end;) {
    const uint16_t chunk = u16(pos);
    const uint32_t size = u32(pos + 2);
    if (size < 6 || pos + size > end) return std::string::npos;
    if (chunk == id) return pos;
    size_t inner = std::string::npos;
    switch (chunk) {
      case 0x4D4D:
      case 0x3D3D:
      case 0xB000:
      case 0xB002:
      case 0x4100: inner = pos + 6; break;
      case 0x4000:  // named object: name first
        inner = b.find('\0', pos + 6) + 1;
        break;
      case 0x4120:  // face array: count and faces first
        inner = pos + 8 + 8 * size_t{u16(pos + 6)};
        break;
    }
    if (inner != std::string::npos) {
      const size_t found = findChunk(b, id, inner, pos + size);
      if (found != std::string::npos) return found;
    }
    pos += size;
  }
  return std::string::npos;
}

inline void putU16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

class Model3dsDraw : public OrthoViewTest {
 protected:
  // Loads, evaluates at frame 0 and draws once.
  static void draw(Model3ds& model) {
    model.update(0.0f);
    model.render();
  }
};

}  // namespace vorn::test
