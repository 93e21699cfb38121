// Geometry primitives for the show's models: tubes swept along a path (lathes,
// ellipsoids, limbs, rings), prisms extruded from an outline, and boxes. Each
// primitive appends points with texture coordinates and triangles to a mesh;
// writing the mesh to a 3DS file is writer.h's job.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn::assets {

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct Vec2 {
  float u = 0.0f;
  float v = 0.0f;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
float dot(Vec3 a, Vec3 b);
Vec3 cross(Vec3 a, Vec3 b);
float length(Vec3 a);
Vec3 normalize(Vec3 a);  // a zero vector stays zero

// Where a primitive's local space sits in model space: p -> origin + p.x ax + p.y ay + p.z az.
struct Placement {
  Vec3 origin;
  Vec3 ax{1.0f, 0.0f, 0.0f};
  Vec3 ay{0.0f, 1.0f, 0.0f};
  Vec3 az{0.0f, 0.0f, 1.0f};

  Vec3 apply(Vec3 p) const;
  static Placement at(Vec3 origin);
  // The same placement with its local axes turned by degrees about the local x, y or z axis.
  Placement turnedX(float degrees) const;
  Placement turnedY(float degrees) const;
  Placement turnedZ(float degrees) const;
};

// The xz plane as a placement at origin, seen from the front:
// local x = file x, local y = file z, local z = file -y.
Placement facingFront(Vec3 origin);

struct Triangle {
  std::uint16_t a = 0;
  std::uint16_t b = 0;
  std::uint16_t c = 0;
  int material = 0;  // index into the model's material list
};

// One 3DS object's geometry in model space, with exactly one texel per point.
// Triangles wind counter-clockwise seen from outside unless a primitive is
// asked to face inward.
struct MeshData {
  std::vector<Vec3> points;
  std::vector<Vec2> texels;
  std::vector<Triangle> faces;
  int material = 0;  // given to the triangles added next
};

// One cross-section of a tube: an ellipse around centre with radii rx along
// the section's normal and ry along its binormal.
struct TubeSample {
  Vec3 centre;
  float rx = 0.0f;
  float ry = 0.0f;
};

struct TubeOptions {
  int segments = 16;
  bool capStart = false;  // close the first section with a fan to its centre
  bool capEnd = false;
  bool closedPath = false;    // the last section joins the first (rings)
  bool inward = false;        // triangles face the tube's axis (a sky seen from inside)
  Vec3 up{0.0f, 0.0f, 1.0f};  // picks the first section's normal; must not be parallel to the path
  float uRepeat = 1.0f;       // texture turns around the tube
  float vRepeat = 1.0f;       // texture repeats along the path
};

// Sweeps an elliptical cross-section along the samples (at least two). The
// section frame follows the path by parallel transport, so helices and bent
// limbs do not twist. u runs around the section, v along the samples.
void addTube(MeshData& mesh, const std::vector<TubeSample>& samples, const TubeOptions& options);

// Lathe around the placement's local z axis: profile holds (radius, height)
// pairs from bottom to top; the section is scaled by sx along local x and sy
// along local y. A radius of 0 at either end closes the surface there.
void addLathe(MeshData& mesh, const Placement& place, const std::vector<Vec2>& profile, int segments, float sx = 1.0f,
              float sy = 1.0f, bool inward = false, float uRepeat = 1.0f, float vRepeat = 1.0f);

// Ellipsoid with radii along the placement's local axes; texels follow
// longitude (u) and latitude (v), a spherical mapping.
void addEllipsoid(MeshData& mesh, const Placement& place, Vec3 radii, int slices, int stacks, bool inward = false,
                  float uRepeat = 1.0f, float vRepeat = 1.0f);

// Extrudes an outline in the placement's local xy plane symmetrically along
// local z by thickness. The outline runs counter-clockwise and every edge must
// be visible from centre (a star-shaped polygon), since the caps are fans from
// it. Thickness 0 gives one flat fan. Texels: planar (x, y) * uvScale on caps,
// perimeter length along the sides.
void addPrism(MeshData& mesh, const Placement& place, const std::vector<Vec2>& outline, Vec2 centre, float thickness,
              float uvScale);

// Axis-aligned box between lo and hi with a planar mapping per side.
void addBox(MeshData& mesh, Vec3 lo, Vec3 hi, float uvScale);

// Ring lying in the placement's local xy plane around its origin.
void addTorus(MeshData& mesh, const Placement& place, float radius, float tubeRadius, int segments, int sides,
              float uRepeat = 1.0f);

struct Bounds {
  Vec3 lo;
  Vec3 hi;
};
Bounds boundsOf(const std::vector<Vec3>& points);  // zero bounds for no points

}  // namespace vorn::assets
