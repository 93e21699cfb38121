// Vertex storage growth and the quad and box generators, without a GL context.
#include "scene/geometry.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <set>
#include <string>
#include <tuple>
#include <vector>

// Nothrow array allocations fail once this many more have succeeded (-1: never).
// Only the vertex storage allocates through the nothrow form in this binary.
static int nothrowAllocationsBeforeFailure = -1;

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (nothrowAllocationsBeforeFailure == 0) return nullptr;
  if (nothrowAllocationsBeforeFailure > 0) --nothrowAllocationsBeforeFailure;
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

namespace vorn {
namespace {

// A triangle whose every float encodes (triangle, corner, slot) so copies can be traced.
TriangleRecord tracedTriangle(int triangle) {
  TriangleRecord r;
  for (int corner = 0; corner < 3; ++corner) {
    for (int slot = 0; slot < 8; ++slot) {
      r.v[corner][slot] = static_cast<float>(triangle * 100 + corner * 10 + slot);
    }
  }
  return r;
}

float traced(int vertex, int slot) { return static_cast<float>((vertex / 3) * 100 + (vertex % 3) * 10 + slot); }

struct FormatRow {
  const char* name;
  int format;
  bool texCoords;
  bool normals;
};

class StorageByFormat : public ::testing::TestWithParam<FormatRow> {};

TEST_P(StorageByFormat, FirstTriangleAllocatesOnlyTheKeptArraysAndWritesInRecordOrder) {
  const FormatRow row = GetParam();
  VertexStorage s;
  s.setFormat(row.format);
  EXPECT_EQ(s.getFormat(), row.format);
  s.addTriangle(tracedTriangle(0));

  EXPECT_EQ(s.vertexCount, 3);
  EXPECT_EQ(s.capacity, kVertexGrowth);
  ASSERT_NE(s.positions, nullptr);
  EXPECT_EQ(s.texCoords != nullptr, row.texCoords);
  EXPECT_EQ(s.normals != nullptr, row.normals);
  for (int v = 0; v < 3; ++v) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.positions[3 * v + i], traced(v, 5 + i));
    if (row.normals) {
      for (int i = 0; i < 3; ++i) EXPECT_EQ(s.normals[3 * v + i], traced(v, 2 + i));
    }
    if (row.texCoords) {
      for (int i = 0; i < 2; ++i) EXPECT_EQ(s.texCoords[2 * v + i], traced(v, i));
    }
  }
}

TEST_P(StorageByFormat, TheTwoHundredFiftySeventhTriangleGrowsAndKeepsTheFirst768Vertices) {
  const FormatRow row = GetParam();
  VertexStorage s;
  s.setFormat(row.format);
  for (int t = 0; t < 256; ++t) s.addTriangle(tracedTriangle(t));
  EXPECT_EQ(s.vertexCount, 768);
  EXPECT_EQ(s.capacity, 768);
  const float* positionsBefore = s.positions;

  s.addTriangle(tracedTriangle(256));
  EXPECT_EQ(s.vertexCount, 771);
  EXPECT_EQ(s.capacity, 2 * kVertexGrowth);
  EXPECT_NE(s.positions, positionsBefore);
  EXPECT_EQ(s.texCoords != nullptr, row.texCoords);
  EXPECT_EQ(s.normals != nullptr, row.normals);
  for (int v = 0; v < 771; ++v) {
    ASSERT_EQ(s.positions[3 * v + 2], traced(v, 7)) << "vertex " << v;
    if (row.normals) {
      ASSERT_EQ(s.normals[3 * v], traced(v, 2)) << "vertex " << v;
    }
    if (row.texCoords) {
      ASSERT_EQ(s.texCoords[2 * v + 1], traced(v, 1)) << "vertex " << v;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, StorageByFormat,
                         ::testing::Values(FormatRow{"V3F", GL_V3F, false, false},
                                           FormatRow{"T2F_V3F", GL_T2F_V3F, true, false},
                                           FormatRow{"T2F_N3F_V3F", GL_T2F_N3F_V3F, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VertexStorage, UnknownFormatsIgnoreTriangles) {
  for (int format : {0, GL_C3F_V3F, GL_T2F_C4F_N3F_V3F, -1}) {
    VertexStorage s;
    s.setFormat(format);
    for (int t = 0; t < 5; ++t) s.addTriangle(tracedTriangle(t));
    EXPECT_EQ(s.vertexCount, 0) << format;
    EXPECT_EQ(s.capacity, 0) << format;
    EXPECT_EQ(s.positions, nullptr) << format;
    EXPECT_EQ(s.normals, nullptr) << format;
    EXPECT_EQ(s.texCoords, nullptr) << format;
  }
}

TEST(VertexStorage, FailedGrowthLeavesTheStorageAsItWas) {
  // Fail the first, second and third array of the growth in turn.
  for (int succeeding = 0; succeeding < 3; ++succeeding) {
    VertexStorage s;
    s.setFormat(GL_T2F_N3F_V3F);
    for (int t = 0; t < 256; ++t) s.addTriangle(tracedTriangle(t));
    const float* positions = s.positions;
    const float* normals = s.normals;
    const float* texCoords = s.texCoords;

    nothrowAllocationsBeforeFailure = succeeding;
    s.addTriangle(tracedTriangle(256));
    nothrowAllocationsBeforeFailure = -1;

    SCOPED_TRACE(succeeding);
    EXPECT_EQ(s.vertexCount, 768);
    EXPECT_EQ(s.capacity, 768);
    EXPECT_EQ(s.positions, positions);
    EXPECT_EQ(s.normals, normals);
    EXPECT_EQ(s.texCoords, texCoords);
    EXPECT_EQ(s.positions[3 * 767], traced(767, 5));

    s.addTriangle(tracedTriangle(256));
    EXPECT_EQ(s.vertexCount, 771);
    EXPECT_EQ(s.positions[3 * 770], traced(770, 5));
  }
}

// One expected vertex of a generated shape: texture coordinate, normal, position.
struct Vertex {
  float s, t, nx, ny, nz, x, y, z;
};

void expectVertices(const VertexStorage& mesh, const std::vector<Vertex>& expected, bool checkTexCoords) {
  ASSERT_EQ(mesh.vertexCount, static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    const Vertex& e = expected[i];
    SCOPED_TRACE("vertex " + std::to_string(i));
    if (checkTexCoords) {
      EXPECT_EQ(mesh.texCoords[2 * i], e.s);
      EXPECT_EQ(mesh.texCoords[2 * i + 1], e.t);
    }
    EXPECT_EQ(mesh.normals[3 * i], e.nx);
    EXPECT_EQ(mesh.normals[3 * i + 1], e.ny);
    EXPECT_EQ(mesh.normals[3 * i + 2], e.nz);
    EXPECT_EQ(mesh.positions[3 * i], e.x);
    EXPECT_EQ(mesh.positions[3 * i + 1], e.y);
    EXPECT_EQ(mesh.positions[3 * i + 2], e.z);
  }
}

TEST(GeometryGenerator, QuadAtTheOriginSpansBothHalfSizes) {
  VertexStorage mesh;
  mesh.setFormat(GL_T2F_N3F_V3F);
  GeometryGenerator().addQuad(mesh, 20.0f, 20.0f);
  expectVertices(mesh,
                 {{0, 1, 0, 0, -1, -20, -20, 0},
                  {1, 1, 0, 0, -1, 20, -20, 0},
                  {1, 0, 0, 0, -1, 20, 20, 0},
                  {0, 1, 0, 0, -1, -20, -20, 0},
                  {1, 0, 0, 0, -1, 20, 20, 0},
                  {0, 0, 0, 0, -1, -20, 20, 0}},
                 true);
}

TEST(GeometryGenerator, QuadIsPlacedAroundTheCentre) {
  VertexStorage mesh;
  mesh.setFormat(GL_T2F_N3F_V3F);
  GeometryGenerator generator;
  generator.centre[0] = 10.0f;
  generator.centre[1] = -4.0f;
  generator.centre[2] = 3.0f;
  generator.addQuad(mesh, 2.0f, 1.0f);
  expectVertices(mesh,
                 {{0, 1, 0, 0, -1, 8, -5, 3},
                  {1, 1, 0, 0, -1, 12, -5, 3},
                  {1, 0, 0, 0, -1, 12, -3, 3},
                  {0, 1, 0, 0, -1, 8, -5, 3},
                  {1, 0, 0, 0, -1, 12, -3, 3},
                  {0, 0, 0, 0, -1, 8, -3, 3}},
                 true);
}

TEST(GeometryGenerator, BoxHasSixFacesOfTwoTrianglesInTableOrder) {
  VertexStorage mesh;
  mesh.setFormat(GL_T2F_N3F_V3F);
  GeometryGenerator().addBox(mesh, 1.0f, 2.0f, 3.0f);
  // Face normal, then corners C1 .. C4 as sign triples; triangles (C1, C2, C3), (C1, C3, C4).
  const float faces[6][5][3] = {
      {{0, 0, 1}, {-1, 1, 1}, {1, 1, 1}, {1, -1, 1}, {-1, -1, 1}},
      {{0, 0, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}},
      {{1, 0, 0}, {1, -1, 1}, {1, 1, 1}, {1, 1, -1}, {1, -1, -1}},
      {{-1, 0, 0}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}},
      {{0, 1, 0}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}},
      {{0, -1, 0}, {-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1}},
  };
  std::vector<Vertex> expected;
  for (const auto& f : faces) {
    for (int corner : {1, 2, 3, 1, 3, 4}) {
      expected.push_back(
          {0, 0, f[0][0], f[0][1], f[0][2], f[corner][0] * 1.0f, f[corner][1] * 2.0f, f[corner][2] * 3.0f});
    }
  }
  expectVertices(mesh, expected, true);
}

TEST(GeometryGenerator, UnitBoxUsesOnlyTheEightCornersAndFitsTheFirstAllocation) {
  VertexStorage mesh;
  mesh.setFormat(GL_T2F_N3F_V3F);
  GeometryGenerator().addBox(mesh, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(mesh.vertexCount, 36);
  EXPECT_EQ(mesh.capacity, kVertexGrowth);
  std::set<std::tuple<float, float, float>> corners;
  for (int i = 0; i < 36; ++i) {
    const float* p = mesh.positions + 3 * i;
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(p[k] == 1.0f || p[k] == -1.0f);
    // Every corner of a face lies on the side its normal points to.
    const float* n = mesh.normals + 3 * i;
    EXPECT_EQ(n[0] * p[0] + n[1] * p[1] + n[2] * p[2], 1.0f) << "vertex " << i;
    corners.insert({p[0], p[1], p[2]});
  }
  EXPECT_EQ(corners.size(), 8u);
}

TEST(GeometryGenerator, BoxInAPositionOnlyMeshKeepsPositions) {
  VertexStorage mesh;
  mesh.setFormat(GL_V3F);
  GeometryGenerator().addBox(mesh, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(mesh.vertexCount, 36);
  EXPECT_EQ(mesh.normals, nullptr);
  EXPECT_EQ(mesh.texCoords, nullptr);
  EXPECT_EQ(mesh.positions[0], -1.0f);
  EXPECT_EQ(mesh.positions[1], 1.0f);
  EXPECT_EQ(mesh.positions[2], 1.0f);
}

}  // namespace
}  // namespace vorn
