// The still scenery models: the sky sphere, the scatter of stars and the
// credits ball; and the list of all nine designs.
#include <cmath>
#include <cstdint>

#include "tools/model/designs.h"

namespace vorn::assets {

namespace {

// A small xorshift generator of our own, so the star field is the same on
// every machine and library version.
class Scatter {
 public:
  explicit Scatter(std::uint32_t seed) : state_(seed) {}
  float next() {  // uniform in [0, 1)
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ >> 8) * (1.0f / 16777216.0f);
  }

 private:
  std::uint32_t state_;
};

constexpr int kStarCount = 180;
constexpr float kStarInnerRadius = 8.0f;  // keeps stars off the axis the camera looks along
constexpr float kStarOuterRadius = 60.0f;
constexpr float kStarDepth = 40.0f;  // stars spread over file y -40 .. 40
constexpr float kBallRadius = 40.0f;

ModelPart singlePart(const char* name, MeshData mesh) {
  ModelPart p;
  p.name = name;
  p.mesh = std::move(mesh);
  return p;
}

}  // namespace

ModelDesign skyDesign() {
  ModelDesign d;
  d.fileName = "avaruus.3ds";
  d.frames = kStillFrames;
  d.materials = {{"Taivas", 0.6f, 0.6f, 0.8f}};
  MeshData mesh;
  // Faces point inward: the sphere is only ever seen from inside. The star
  // picture repeats four times around and twice from pole to pole so that it
  // is not stretched.
  addEllipsoid(mesh, Placement{}, {kSkyRadius, kSkyRadius, kSkyRadius}, kSkySlices, kSkyStacks, true, 4.0f, 2.0f);
  d.parts.push_back(singlePart("Avaruus", std::move(mesh)));
  return d;
}

ModelDesign starsDesign() {
  ModelDesign d;
  d.fileName = "tahdettahdet.3ds";
  d.frames = kStillFrames;
  d.textured = false;
  d.materials = {{"Tahti", 1.0f, 0.95f, 0.6f}};
  // Flat five-pointed stars in the file xz plane, facing -y; the show turns
  // file -y into scene +z and stretches that axis thirtyfold, so the file's
  // y spread becomes a deep tunnel of stars facing the camera.
  Placement facing;
  facing.ax = {1.0f, 0.0f, 0.0f};
  facing.ay = {0.0f, 0.0f, 1.0f};
  facing.az = {0.0f, -1.0f, 0.0f};
  Scatter rnd(0x5eed7a11u);
  MeshData mesh;
  for (int i = 0; i < kStarCount; ++i) {
    const float angle = 6.2831853f * rnd.next();
    const float radius = kStarInnerRadius + (kStarOuterRadius - kStarInnerRadius) * std::sqrt(rnd.next());
    const float depth = kStarDepth * (2.0f * rnd.next() - 1.0f);
    const float size = 2.5f + 2.5f * rnd.next();
    const float spin = 1.2566371f * rnd.next();
    Placement at = facing;
    at.origin = {radius * std::cos(angle), depth, radius * std::sin(angle)};
    std::vector<Vec2> outline;
    for (int k = 0; k < 10; ++k) {
      const float a = spin + 0.62831853f * static_cast<float>(k);
      const float r = (k % 2 == 0) ? size : 0.42f * size;
      outline.push_back({r * std::cos(a), r * std::sin(a)});
    }
    addPrism(mesh, at, outline, {0.0f, 0.0f}, 0.0f, 0.1f);
  }
  d.parts.push_back(singlePart("Tahdet", std::move(mesh)));
  return d;
}

ModelDesign ballDesign() {
  ModelDesign d;
  d.fileName = "zolviapallo.3ds";
  d.frames = kStillFrames;
  d.materials = {{"Pallo", 0.9f, 0.7f, 0.3f}};
  MeshData mesh;
  addEllipsoid(mesh, Placement{}, {kBallRadius, kBallRadius, kBallRadius}, 32, 16, false, 2.0f, 1.0f);
  d.parts.push_back(singlePart("Pallo", std::move(mesh)));
  return d;
}

std::vector<ModelDesign> showModelDesigns() {
  std::vector<ModelDesign> all;
  all.push_back(forkDesign());
  all.push_back(shuttleDesign());
  all.push_back(skyDesign());
  all.push_back(bearDesign());
  all.push_back(mothershipDesign());
  all.push_back(pigDesign());
  all.push_back(starsDesign());
  all.push_back(ballDesign());
  all.push_back(horseDesign());
  return all;
}

}  // namespace vorn::assets
