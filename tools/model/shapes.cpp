// Geometry primitives for the show's models; see shapes.h. Everything
// is plain float arithmetic in a fixed order, so the same source always gives
// the same points.
#include "tools/model/shapes.h"

#include <algorithm>
#include <cmath>

namespace vorn::assets {

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float length(Vec3 a) { return std::sqrt(dot(a, a)); }
Vec3 normalize(Vec3 a) {
  const float len = length(a);
  return len > 0.0f ? a * (1.0f / len) : a;
}

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kDegToRad = 0.017453292f;
constexpr float kSamePointSq = 1e-12f;  // squared distance under which two points count as one

bool samePoint(Vec3 a, Vec3 b) {
  const Vec3 d = a - b;
  return dot(d, d) <= kSamePointSq;
}

std::uint16_t addPoint(MeshData& mesh, Vec3 p, Vec2 uv) {
  mesh.points.push_back(p);
  mesh.texels.push_back(uv);
  return static_cast<std::uint16_t>(mesh.points.size() - 1);
}

// Appends the triangle unless two corners coincide (collapsed rings at poles
// and cap centres), which would give the normal calculation a zero-area face.
void addFace(MeshData& mesh, std::uint16_t a, std::uint16_t b, std::uint16_t c, bool flip) {
  const Vec3 pa = mesh.points[a], pb = mesh.points[b], pc = mesh.points[c];
  if (samePoint(pa, pb) || samePoint(pb, pc) || samePoint(pa, pc)) return;
  Triangle t;
  t.a = a;
  t.b = flip ? c : b;
  t.c = flip ? b : c;
  t.material = mesh.material;
  mesh.faces.push_back(t);
}

struct Section {
  Vec3 centre, normal, binormal;
  float rx, ry;
};

// Rings of segments + 1 points (the last repeats the first with u = uRepeat)
// joined by quads; caps as fans to the end centres.
void sweepSections(MeshData& mesh, const std::vector<Section>& sections, const TubeOptions& opt) {
  const int count = static_cast<int>(sections.size());
  const int seg = std::max(3, opt.segments);
  const int rings = opt.closedPath ? count + 1 : count;
  const std::uint16_t first = static_cast<std::uint16_t>(mesh.points.size());
  for (int i = 0; i < rings; ++i) {
    const Section& s = sections[i % count];
    const float v = opt.vRepeat * static_cast<float>(i) / static_cast<float>(rings - 1);
    for (int j = 0; j <= seg; ++j) {
      const float a = kTwoPi * static_cast<float>(j % seg) / static_cast<float>(seg);
      const Vec3 p = s.centre + s.normal * (s.rx * std::cos(a)) + s.binormal * (s.ry * std::sin(a));
      addPoint(mesh, p, {opt.uRepeat * static_cast<float>(j) / static_cast<float>(seg), v});
    }
  }
  auto ring = [&](int i, int j) { return static_cast<std::uint16_t>(first + i * (seg + 1) + j); };
  for (int i = 0; i + 1 < rings; ++i) {
    for (int j = 0; j < seg; ++j) {
      addFace(mesh, ring(i, j), ring(i, j + 1), ring(i + 1, j + 1), opt.inward);
      addFace(mesh, ring(i, j), ring(i + 1, j + 1), ring(i + 1, j), opt.inward);
    }
  }
  if (opt.closedPath) return;
  if (opt.capStart) {
    const std::uint16_t c = addPoint(mesh, sections.front().centre, {0.5f * opt.uRepeat, 0.0f});
    for (int j = 0; j < seg; ++j) addFace(mesh, c, ring(0, j + 1), ring(0, j), opt.inward);
  }
  if (opt.capEnd) {
    const std::uint16_t c = addPoint(mesh, sections.back().centre, {0.5f * opt.uRepeat, opt.vRepeat});
    for (int j = 0; j < seg; ++j) addFace(mesh, c, ring(rings - 1, j), ring(rings - 1, j + 1), opt.inward);
  }
}

Vec3 perpendicularTo(Vec3 t, Vec3 hint) {
  Vec3 n = hint - t * dot(hint, t);
  if (length(n) < 1e-4f) {
    const Vec3 other = std::fabs(t.x) < 0.9f ? Vec3{1.0f, 0.0f, 0.0f} : Vec3{0.0f, 1.0f, 0.0f};
    n = other - t * dot(other, t);
  }
  return normalize(n);
}

}  // namespace

Vec3 Placement::apply(Vec3 p) const { return origin + ax * p.x + ay * p.y + az * p.z; }

Placement Placement::at(Vec3 o) {
  Placement p;
  p.origin = o;
  return p;
}

Placement facingFront(Vec3 origin) {
  Placement p;
  p.origin = origin;
  p.ax = {1.0f, 0.0f, 0.0f};
  p.ay = {0.0f, 0.0f, 1.0f};
  p.az = {0.0f, -1.0f, 0.0f};
  return p;
}

Placement Placement::turnedX(float degrees) const {
  const float c = std::cos(degrees * kDegToRad), s = std::sin(degrees * kDegToRad);
  Placement p = *this;
  p.ay = ay * c + az * s;
  p.az = az * c - ay * s;
  return p;
}

Placement Placement::turnedY(float degrees) const {
  const float c = std::cos(degrees * kDegToRad), s = std::sin(degrees * kDegToRad);
  Placement p = *this;
  p.ax = ax * c - az * s;
  p.az = az * c + ax * s;
  return p;
}

Placement Placement::turnedZ(float degrees) const {
  const float c = std::cos(degrees * kDegToRad), s = std::sin(degrees * kDegToRad);
  Placement p = *this;
  p.ax = ax * c + ay * s;
  p.ay = ay * c - ax * s;
  return p;
}

void addTube(MeshData& mesh, const std::vector<TubeSample>& samples, const TubeOptions& options) {
  const int count = static_cast<int>(samples.size());
  if (count < 2) return;
  std::vector<Section> sections(count);
  Vec3 previousTangent{0.0f, 0.0f, 1.0f};
  Vec3 previousNormal{};
  for (int i = 0; i < count; ++i) {
    int lo = i - 1, hi = i + 1;
    if (options.closedPath) {
      lo = (lo + count) % count;
      hi = hi % count;
    } else {
      lo = std::max(lo, 0);
      hi = std::min(hi, count - 1);
    }
    Vec3 t = normalize(samples[hi].centre - samples[lo].centre);
    if (length(t) == 0.0f) t = previousTangent;
    const Vec3 n = perpendicularTo(t, i == 0 ? options.up : previousNormal);
    sections[i] = {samples[i].centre, n, cross(t, n), samples[i].rx, samples[i].ry};
    previousTangent = t;
    previousNormal = n;
  }
  sweepSections(mesh, sections, options);
}

void addLathe(MeshData& mesh, const Placement& place, const std::vector<Vec2>& profile, int segments, float sx,
              float sy, bool inward, float uRepeat, float vRepeat) {
  if (profile.size() < 2) return;
  std::vector<Section> sections;
  for (const Vec2& rh : profile) {
    sections.push_back({place.apply({0.0f, 0.0f, rh.v}), place.ax, place.ay, rh.u * sx, rh.u * sy});
  }
  TubeOptions opt;
  opt.segments = segments;
  opt.inward = inward;
  opt.uRepeat = uRepeat;
  opt.vRepeat = vRepeat;
  sweepSections(mesh, sections, opt);
}

void addEllipsoid(MeshData& mesh, const Placement& place, Vec3 radii, int slices, int stacks, bool inward,
                  float uRepeat, float vRepeat) {
  std::vector<Vec2> profile;
  for (int k = 0; k <= stacks; ++k) {
    const float phi = 3.1415927f * static_cast<float>(k) / static_cast<float>(stacks);
    profile.push_back({std::sin(phi), -std::cos(phi) * radii.z});
  }
  // The sine at the poles is not exactly 0 in float; pin it so the rings collapse.
  profile.front().u = 0.0f;
  profile.back().u = 0.0f;
  addLathe(mesh, place, profile, slices, radii.x, radii.y, inward, uRepeat, vRepeat);
}

void addPrism(MeshData& mesh, const Placement& place, const std::vector<Vec2>& outline, Vec2 centre, float thickness,
              float uvScale) {
  const int n = static_cast<int>(outline.size());
  if (n < 3) return;
  const float half = 0.5f * thickness;
  auto local = [&](Vec2 p, float z) { return place.apply({p.u, p.v, z}); };
  auto planar = [&](Vec2 p) { return Vec2{p.u * uvScale, p.v * uvScale}; };
  const int caps = thickness > 0.0f ? 2 : 1;
  for (int cap = 0; cap < caps; ++cap) {
    const float z = cap == 0 ? half : -half;
    const std::uint16_t c = addPoint(mesh, local(centre, z), planar(centre));
    const std::uint16_t rim = static_cast<std::uint16_t>(mesh.points.size());
    for (const Vec2& p : outline) addPoint(mesh, local(p, z), planar(p));
    for (int i = 0; i < n; ++i) {
      const auto a = static_cast<std::uint16_t>(rim + i);
      const auto b = static_cast<std::uint16_t>(rim + (i + 1) % n);
      addFace(mesh, c, a, b, cap == 1);
    }
  }
  if (caps == 1) return;
  float run = 0.0f;
  for (int i = 0; i < n; ++i) {
    const Vec2 p = outline[i], q = outline[(i + 1) % n];
    const float edge = std::hypot(q.u - p.u, q.v - p.v);
    const float u0 = run * uvScale, u1 = (run + edge) * uvScale, vt = thickness * uvScale;
    const std::uint16_t b0 = addPoint(mesh, local(p, -half), {u0, 0.0f});
    const std::uint16_t b1 = addPoint(mesh, local(q, -half), {u1, 0.0f});
    const std::uint16_t t1 = addPoint(mesh, local(q, half), {u1, vt});
    const std::uint16_t t0 = addPoint(mesh, local(p, half), {u0, vt});
    addFace(mesh, b0, b1, t1, false);
    addFace(mesh, b0, t1, t0, false);
    run += edge;
  }
}

void addBox(MeshData& mesh, Vec3 lo, Vec3 hi, float uvScale) {
  const std::vector<Vec2> rect{{lo.x, lo.y}, {hi.x, lo.y}, {hi.x, hi.y}, {lo.x, hi.y}};
  const Vec2 mid{0.5f * (lo.x + hi.x), 0.5f * (lo.y + hi.y)};
  addPrism(mesh, Placement::at({0.0f, 0.0f, 0.5f * (lo.z + hi.z)}), rect, mid, hi.z - lo.z, uvScale);
}

void addTorus(MeshData& mesh, const Placement& place, float radius, float tubeRadius, int segments, int sides,
              float uRepeat) {
  std::vector<TubeSample> ring;
  for (int i = 0; i < segments; ++i) {
    const float a = kTwoPi * static_cast<float>(i) / static_cast<float>(segments);
    ring.push_back({place.apply({radius * std::cos(a), radius * std::sin(a), 0.0f}), tubeRadius, tubeRadius});
  }
  TubeOptions opt;
  opt.segments = sides;
  opt.closedPath = true;
  opt.up = place.az;
  opt.vRepeat = uRepeat;
  addTube(mesh, ring, opt);
}

Bounds boundsOf(const std::vector<Vec3>& points) {
  if (points.empty()) return {};
  Bounds b{points.front(), points.front()};
  for (const Vec3& p : points) {
    b.lo = {std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z)};
    b.hi = {std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z)};
  }
  return b;
}

}  // namespace vorn::assets
