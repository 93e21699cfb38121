// Vertex storage growth and the quad and box generators. Drawing the stored
// arrays is left to GeneratedMesh.
#include "scene/geometry.h"

#include <climits>
#include <cstring>
#include <new>

namespace vorn {

namespace {

constexpr int kPositionFloats = 3;
constexpr int kNormalFloats = 3;
constexpr int kTexCoordFloats = 2;

// Offsets of the parts of one TriangleRecord vertex (s, t, nx, ny, nz, x, y, z).
constexpr int kRecordTexCoord = 0;
constexpr int kRecordNormal = 2;
constexpr int kRecordPosition = 5;

bool keepsTexCoords(int format) { return format == GL_T2F_V3F || format == GL_T2F_N3F_V3F; }
bool keepsNormals(int format) { return format == GL_T2F_N3F_V3F; }
bool knownFormat(int format) { return format == GL_V3F || format == GL_T2F_V3F || format == GL_T2F_N3F_V3F; }

// A copy of the first oldVertices vertices of old in a new array of
// newVertices vertices; null when the memory cannot be had.
float* grownCopy(const float* old, int oldVertices, int newVertices, int floatsPerVertex) {
  float* grown = new (std::nothrow) float[static_cast<size_t>(newVertices) * floatsPerVertex];
  if (!grown) return nullptr;
  if (old && oldVertices > 0) {
    std::memcpy(grown, old, static_cast<size_t>(oldVertices) * floatsPerVertex * sizeof(float));
  }
  return grown;
}

// One box face: its normal and four corners as signs of (a, b, c).
struct BoxFace {
  float normal[3];
  float corners[4][3];
};

// Each face becomes the triangles (C1, C2, C3) and (C1, C3, C4).
constexpr BoxFace kBoxFaces[6] = {
    {{0.0f, 0.0f, 1.0f}, {{-1, 1, 1}, {1, 1, 1}, {1, -1, 1}, {-1, -1, 1}}},
    {{0.0f, 0.0f, -1.0f}, {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}}},
    {{1.0f, 0.0f, 0.0f}, {{1, -1, 1}, {1, 1, 1}, {1, 1, -1}, {1, -1, -1}}},
    {{-1.0f, 0.0f, 0.0f}, {{-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}}},
    {{0.0f, 1.0f, 0.0f}, {{-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}}},
    {{0.0f, -1.0f, 0.0f}, {{-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1}}},
};

void setVertex(float* v, float s, float t, const float normal[3], float x, float y, float z) {
  v[0] = s;
  v[1] = t;
  v[2] = normal[0];
  v[3] = normal[1];
  v[4] = normal[2];
  v[5] = x;
  v[6] = y;
  v[7] = z;
}

}  // namespace

VertexStorage::~VertexStorage() {
  delete[] positions;
  delete[] normals;
  delete[] texCoords;
}

void VertexStorage::addTriangle(const TriangleRecord& record) {
  if (!knownFormat(vertexFormat)) return;
  const bool withNormals = keepsNormals(vertexFormat);
  const bool withTexCoords = keepsTexCoords(vertexFormat);

  if (capacity - vertexCount < 3) {
    if (capacity > INT_MAX - kVertexGrowth) return;
    const int grownCapacity = capacity + kVertexGrowth;
    // Every new array is obtained before any old one is released, so a failed
    // allocation leaves the storage exactly as it was and drops the triangle.
    float* newPositions = grownCopy(positions, capacity, grownCapacity, kPositionFloats);
    float* newNormals = withNormals ? grownCopy(normals, capacity, grownCapacity, kNormalFloats) : nullptr;
    float* newTexCoords = withTexCoords ? grownCopy(texCoords, capacity, grownCapacity, kTexCoordFloats) : nullptr;
    if (!newPositions || (withNormals && !newNormals) || (withTexCoords && !newTexCoords)) {
      delete[] newPositions;
      delete[] newNormals;
      delete[] newTexCoords;
      return;
    }
    delete[] positions;
    positions = newPositions;
    if (withNormals) {
      delete[] normals;
      normals = newNormals;
    }
    if (withTexCoords) {
      delete[] texCoords;
      texCoords = newTexCoords;
    }
    capacity = grownCapacity;
  }

  for (int corner = 0; corner < 3; ++corner) {
    const float* in = record.v[corner];
    const int index = vertexCount + corner;
    if (withTexCoords) {
      std::memcpy(texCoords + index * kTexCoordFloats, in + kRecordTexCoord, kTexCoordFloats * sizeof(float));
    }
    if (withNormals) {
      std::memcpy(normals + index * kNormalFloats, in + kRecordNormal, kNormalFloats * sizeof(float));
    }
    std::memcpy(positions + index * kPositionFloats, in + kRecordPosition, kPositionFloats * sizeof(float));
  }
  vertexCount += 3;
}

void GeometryGenerator::addQuad(VertexStorage& target, float halfWidth, float halfHeight) const {
  static constexpr float kQuadNormal[3] = {0.0f, 0.0f, -1.0f};
  // Corners as (sign x, sign y, s, t); the picture's first row (t = 0) lies along +y.
  static constexpr float kQuadCorners[2][3][4] = {
      {{-1, -1, 0, 1}, {1, -1, 1, 1}, {1, 1, 1, 0}},
      {{-1, -1, 0, 1}, {1, 1, 1, 0}, {-1, 1, 0, 0}},
  };
  const float x = centre[0];
  const float y = centre[1];
  const float z = centre[2];
  for (const auto& triangle : kQuadCorners) {
    TriangleRecord record;
    for (int i = 0; i < 3; ++i) {
      const float* c = triangle[i];
      setVertex(record.v[i], c[2], c[3], kQuadNormal, x + c[0] * halfWidth, y + c[1] * halfHeight, z);
    }
    target.addTriangle(record);
  }
}

void GeometryGenerator::addBox(VertexStorage& target, float halfX, float halfY, float halfZ) const {
  static constexpr int kFaceTriangles[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (const BoxFace& face : kBoxFaces) {
    for (const auto& triangle : kFaceTriangles) {
      TriangleRecord record;
      for (int i = 0; i < 3; ++i) {
        const float* sign = face.corners[triangle[i]];
        // Boxes are drawn untextured; every corner gets texture coordinate (0, 0).
        setVertex(record.v[i], 0.0f, 0.0f, face.normal, centre[0] + sign[0] * halfX, centre[1] + sign[1] * halfY,
                  centre[2] + sign[2] * halfZ);
      }
      target.addTriangle(record);
    }
  }
}

}  // namespace vorn
