// Vertex storage of generated meshes (separate tightly packed arrays that grow
// by 768 vertices) and the GeometryGenerator that appends quads and boxes.
#pragma once

#include <GL/gl.h>

namespace vorn {

constexpr int kVertexGrowth = 768;

// Three vertices of eight floats each: s, t, nx, ny, nz, x, y, z.
struct TriangleRecord {
  float v[3][8];
};

class VertexStorage {
 public:
  VertexStorage() = default;
  ~VertexStorage();
  VertexStorage(const VertexStorage&) = delete;
  VertexStorage& operator=(const VertexStorage&) = delete;

  void setFormat(int format) { vertexFormat = format; }  // GL_V3F, GL_T2F_V3F or GL_T2F_N3F_V3F
  int getFormat() const { return vertexFormat; }
  // Appends one triangle in the storage's format; unknown formats ignore it.
  // If memory cannot be had the storage stays as it was.
  void addTriangle(const TriangleRecord& record);

  float* normals = nullptr;    // owned; 3 floats per vertex
  float* texCoords = nullptr;  // owned; 2 floats per vertex
  float* positions = nullptr;  // owned; 3 floats per vertex
  int vertexFormat = 0;
  int vertexCount = 0;
  int capacity = 0;
};

class GeometryGenerator {
 public:
  GeometryGenerator() = default;
  virtual ~GeometryGenerator() = default;

  // Two triangles: a 2a x 2b square in the plane z = centre.z, normal (0, 0, -1).
  void addQuad(VertexStorage& target, float halfWidth, float halfHeight) const;
  // Twelve triangles: six faces with their normals; texture coordinates (0, 0).
  void addBox(VertexStorage& target, float halfX, float halfY, float halfZ) const;

  float centre[3] = {0.0f, 0.0f, 0.0f};
};

}  // namespace vorn
