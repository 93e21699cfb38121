// The creatures of the show: the walking bear (arms and legs as child nodes),
// the pig, and the whimsical horse riding on one wheel.
#include <cmath>

#include "tools/model/designs.h"

namespace vorn::assets {

namespace {

TubeSample at(float x, float y, float z, float r) { return {{x, y, z}, r, r}; }

TubeOptions limbTube(int segments, Vec3 up) {
  TubeOptions o;
  o.segments = segments;
  o.capStart = true;
  o.capEnd = true;
  o.up = up;
  return o;
}

constexpr float kStrideFrames = 16.0f;  // one stride in 1.6 s at the show's 100 s for 1000 frames
constexpr int kStrideKeyStep = 2;
constexpr float kLegSwingDegrees = 25.0f;
constexpr float kArmSwingDegrees = 30.0f;

}  // namespace

ModelDesign bearDesign() {
  ModelDesign d;
  d.fileName = "karhu.3ds";
  d.frames = kBearFrames;
  d.materials = {{"Turkki", 0.45f, 0.28f, 0.15f}, {"Vatsa", 0.7f, 0.52f, 0.35f}, {"Musta", 0.08f, 0.06f, 0.05f}};
  constexpr int kFur = 0, kBelly = 1, kDark = 2;

  // An upright bear about 140 units tall, centred on its belly, facing +y
  // (the way the show flies and walks it).
  ModelPart body;
  body.name = "Karhu";
  body.mesh.material = kFur;
  addEllipsoid(body.mesh, Placement{}, {26.0f, 22.0f, 34.0f}, 20, 12);
  addEllipsoid(body.mesh, Placement::at({0.0f, 3.0f, 52.0f}), {20.0f, 18.0f, 18.0f}, 20, 12);
  for (float side : {-1.0f, 1.0f}) {
    addEllipsoid(body.mesh, Placement::at({14.0f * side, 1.0f, 67.0f}), {6.0f, 3.5f, 6.0f}, 10, 6);
  }
  body.mesh.material = kBelly;
  addEllipsoid(body.mesh, Placement::at({0.0f, 10.0f, -4.0f}), {18.0f, 13.0f, 24.0f}, 16, 10);
  addEllipsoid(body.mesh, Placement::at({0.0f, 18.0f, 47.0f}), {9.0f, 8.0f, 7.0f}, 12, 8);
  body.mesh.material = kDark;
  addEllipsoid(body.mesh, Placement::at({0.0f, 25.5f, 49.0f}), {4.0f, 2.5f, 3.0f}, 8, 6);
  for (float side : {-1.0f, 1.0f}) {
    addEllipsoid(body.mesh, Placement::at({7.0f * side, 17.0f, 57.0f}), {2.5f, 2.5f, 2.5f}, 8, 6);
  }
  d.parts.push_back(std::move(body));

  // Limbs swing about the x axis in a walk: each leg against the other, each
  // arm against the leg on its side.
  const Vec3 forward{0.0f, 1.0f, 0.0f};
  const float sides[2] = {-1.0f, 1.0f};
  const char* armNames[2] = {"KasiO", "KasiV"};
  const char* legNames[2] = {"JalkaO", "JalkaV"};
  for (int i = 0; i < 2; ++i) {
    const float s = sides[i];
    ModelPart arm;
    arm.name = armNames[i];
    arm.parent = 0;
    arm.pivot = {24.0f * s, 0.0f, 20.0f};
    arm.axis = {1.0f, 0.0f, 0.0f};
    arm.mesh.material = kFur;
    addTube(arm.mesh,
            {at(25.0f * s, 0.0f, 22.0f, 8.0f), at(28.0f * s, 1.5f, 5.0f, 7.8f), at(31.0f * s, 3.0f, -12.0f, 7.0f)},
            limbTube(12, forward));
    arm.mesh.material = kDark;
    addEllipsoid(arm.mesh, Placement::at({31.0f * s, 4.0f, -15.0f}), {8.0f, 8.0f, 7.0f}, 10, 6);
    arm.turn = swingKeys(d.frames, kStrideKeyStep, -kArmSwingDegrees * s, kStrideFrames);
    d.parts.push_back(std::move(arm));
  }
  for (int i = 0; i < 2; ++i) {
    const float s = sides[i];
    ModelPart leg;
    leg.name = legNames[i];
    leg.parent = 0;
    leg.pivot = {13.0f * s, 0.0f, -26.0f};
    leg.axis = {1.0f, 0.0f, 0.0f};
    leg.mesh.material = kFur;
    addTube(leg.mesh,
            {at(13.0f * s, 0.0f, -22.0f, 11.0f), at(13.5f * s, 0.0f, -40.0f, 10.0f), at(14.0f * s, 0.0f, -56.0f, 9.5f)},
            limbTube(12, forward));
    leg.mesh.material = kDark;
    addEllipsoid(leg.mesh, Placement::at({14.0f * s, 6.0f, -60.0f}), {9.0f, 14.0f, 6.0f}, 10, 6);
    leg.turn = swingKeys(d.frames, kStrideKeyStep, kLegSwingDegrees * s, kStrideFrames);
    d.parts.push_back(std::move(leg));
  }
  return d;
}

ModelDesign pigDesign() {
  ModelDesign d;
  d.fileName = "sika.3ds";
  d.frames = kStillFrames;
  d.materials = {{"Iho", 0.95f, 0.62f, 0.62f}, {"Musta", 0.1f, 0.05f, 0.05f}, {"Sorkka", 0.35f, 0.25f, 0.2f}};
  constexpr int kSkin = 0, kDark = 1, kHoof = 2;

  // Modelled about 32 units from tail to snout (enlarged at the end), head
  // towards +x, standing on z = -13.5.
  ModelPart pig;
  pig.name = "Sika";
  pig.mesh.material = kSkin;
  addEllipsoid(pig.mesh, Placement{}, {12.0f, 8.5f, 8.5f}, 24, 14);
  addEllipsoid(pig.mesh, Placement::at({11.5f, 0.0f, 2.5f}), {5.5f, 5.2f, 5.2f}, 18, 10);
  addLathe(pig.mesh, Placement::at({15.8f, 0.0f, 1.5f}).turnedY(90.0f), {{2.4f, 0.0f}, {2.4f, 2.2f}, {0.0f, 2.2f}}, 16);
  for (float side : {-1.0f, 1.0f}) {
    // Ears lean forward and splay out so that they show in the silhouette from the front.
    const Placement ear = Placement::at({12.0f, 3.6f * side, 8.2f}).turnedY(25.0f).turnedX(-20.0f * side);
    addEllipsoid(pig.mesh, ear, {2.8f, 0.9f, 3.0f}, 10, 6);
  }
  // Curly tail: a helix of two and a half turns going back along -x.
  std::vector<TubeSample> tail;
  constexpr int kTailSamples = 24;
  for (int k = 0; k <= kTailSamples; ++k) {
    const float s = static_cast<float>(k) / kTailSamples;
    const float a = 15.707963f * s;
    tail.push_back({{-11.7f - 2.3f * s, 1.0f * std::sin(a), 3.5f + 1.0f * (std::cos(a) - 1.0f)},
                    0.4f - 0.2f * s,
                    0.4f - 0.2f * s});
  }
  TubeOptions curl;
  curl.segments = 6;
  curl.capEnd = true;
  curl.up = {0.0f, 0.0f, 1.0f};
  addTube(pig.mesh, tail, curl);
  for (float fx : {-7.0f, 7.0f}) {
    for (float fy : {-4.5f, 4.5f}) {
      const Placement down = Placement::at({fx, fy, -5.0f}).turnedX(180.0f);
      pig.mesh.material = kSkin;
      addLathe(pig.mesh, down, {{2.0f, 0.0f}, {1.8f, 6.0f}, {1.9f, 7.2f}}, 12);
      pig.mesh.material = kHoof;
      addLathe(pig.mesh, down, {{1.9f, 7.2f}, {1.9f, 8.5f}, {0.0f, 8.5f}}, 12);
    }
  }
  pig.mesh.material = kDark;
  for (float side : {-1.0f, 1.0f}) {
    addEllipsoid(pig.mesh, Placement::at({15.5f, 2.6f * side, 4.8f}), {0.7f, 0.7f, 0.7f}, 8, 5);
    addEllipsoid(pig.mesh, Placement::at({18.05f, 0.9f * side, 1.5f}), {0.3f, 0.5f, 0.6f}, 8, 5);
  }
  d.parts.push_back(std::move(pig));
  // Its cameras stay 450 to 950 units away: at 96 units (about 290 after the
  // show's scale of 3) the pig fills a good share of the view.
  scaleDesign(d, kPigEnlargement);
  return d;
}

ModelDesign horseDesign() {
  ModelDesign d;
  d.fileName = "kyklohepo.3ds";
  d.frames = kStillFrames;
  d.materials = {{"Hepo", 0.9f, 0.85f, 0.75f},
                 {"Harja", 0.3f, 0.2f, 0.1f},
                 {"Pyora", 0.15f, 0.15f, 0.2f},
                 {"Satula", 0.8f, 0.1f, 0.1f}};
  constexpr int kCoat = 0, kMane = 1, kWheel = 2, kSaddle = 3;
  constexpr float kAxleZ = -22.0f;

  // Modelled as a horse about 50 units long (enlarged at the end) riding a
  // wheel of radius 13 that hangs from two struts under its belly; head
  // towards +x, seen from the side (-y).
  ModelPart horse;
  horse.name = "Kyklohepo";
  horse.mesh.material = kWheel;
  addTorus(horse.mesh, facingFront({0.0f, 0.0f, kAxleZ}), 13.0f, 2.2f, 32, 8, 4.0f);
  addLathe(horse.mesh, Placement::at({0.0f, -3.0f, kAxleZ}).turnedX(-90.0f),
           {{0.0f, 0.0f}, {2.5f, 0.0f}, {2.5f, 6.0f}, {0.0f, 6.0f}}, 12);
  for (int k = 0; k < 6; ++k) {
    const float a = 1.0471976f * static_cast<float>(k);
    const float c = std::cos(a), s = std::sin(a);
    addTube(horse.mesh, {at(2.0f * c, 0.0f, kAxleZ + 2.0f * s, 0.5f), at(12.0f * c, 0.0f, kAxleZ + 12.0f * s, 0.5f)},
            limbTube(6, {0.0f, 1.0f, 0.0f}));
  }
  for (float side : {-1.0f, 1.0f}) {
    addTube(horse.mesh, {at(0.0f, 3.5f * side, kAxleZ, 0.9f), at(0.0f, 3.0f * side, 5.0f, 0.9f)},
            limbTube(8, {1.0f, 0.0f, 0.0f}));
  }
  horse.mesh.material = kCoat;
  addEllipsoid(horse.mesh, Placement::at({0.0f, 0.0f, 10.0f}), {15.0f, 6.5f, 7.5f}, 20, 12);
  const Vec3 sideways{0.0f, 1.0f, 0.0f};
  addTube(horse.mesh, {at(10.0f, 0.0f, 13.0f, 4.0f), at(14.0f, 0.0f, 21.0f, 3.4f), at(17.0f, 0.0f, 27.0f, 3.0f)},
          limbTube(12, sideways));
  addTube(horse.mesh,
          {at(15.5f, 0.0f, 30.0f, 3.4f), at(19.0f, 0.0f, 28.5f, 3.3f), at(23.0f, 0.0f, 25.5f, 2.7f),
           at(25.5f, 0.0f, 24.0f, 2.1f)},
          limbTube(12, sideways));
  for (float side : {-1.0f, 1.0f}) {
    addLathe(horse.mesh, Placement::at({16.5f, 1.6f * side, 32.5f}), {{1.0f, 0.0f}, {0.0f, 3.2f}}, 8);
    // Legs splay out fore and aft like a rocking horse's, ending in hooves.
    for (float fx : {-1.0f, 1.0f}) {
      horse.mesh.material = kCoat;
      addTube(horse.mesh,
              {at(10.0f * fx, 3.5f * side, 6.0f, 1.8f), at(14.0f * fx, 3.8f * side, -1.0f, 1.5f),
               at(17.0f * fx, 4.0f * side, -8.0f, 1.3f)},
              limbTube(8, {0.0f, 1.0f, 0.0f}));
      horse.mesh.material = kMane;
      addEllipsoid(horse.mesh, Placement::at({17.3f * fx, 4.0f * side, -9.0f}), {1.8f, 1.6f, 1.2f}, 8, 5);
    }
    addEllipsoid(horse.mesh, Placement::at({19.5f, 2.9f * side, 29.0f}), {0.7f, 0.7f, 0.7f}, 8, 5);
  }
  horse.mesh.material = kMane;
  for (int k = 0; k < 6; ++k) {
    const float s = static_cast<float>(k) / 5.0f;
    addEllipsoid(horse.mesh, Placement::at({10.0f + 5.5f * s, 0.0f, 19.0f + 14.0f * s}).turnedY(-35.0f),
                 {2.0f, 1.0f, 3.0f}, 8, 5);
  }
  TubeOptions tailOpt = limbTube(8, sideways);
  tailOpt.capStart = false;
  addTube(horse.mesh,
          {at(-14.0f, 0.0f, 13.0f, 1.6f), at(-19.0f, 0.0f, 12.0f, 1.3f), at(-22.0f, 0.0f, 8.0f, 0.9f),
           at(-23.0f, 0.0f, 4.0f, 0.4f)},
          tailOpt);
  horse.mesh.material = kSaddle;
  addEllipsoid(horse.mesh, Placement::at({0.0f, 0.0f, 16.5f}), {5.0f, 6.8f, 2.0f}, 12, 6);
  d.parts.push_back(std::move(horse));
  // Seen from 300 units while the script shrinks it from scale 2 to 0.5: at
  // about 150 units long it still reads as a horse at the small end.
  scaleDesign(d, kHorseEnlargement);
  return d;
}

}  // namespace vorn::assets
