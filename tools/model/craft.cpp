// The made things of the show: the fork with its waving tines, the space
// shuttle with moving elevons, body flap and engine bells, and the mothership
// with its spinning ring and a hangar slot that the flying bears head for.
#include <cmath>
#include <string>

#include "tools/model/designs.h"

namespace vorn::assets {

namespace {

// A tube section along the path: centre, half-size along the section normal
// (which starts from TubeOptions::up) and half-size along the binormal.
TubeSample at(float x, float y, float z, float rn, float rb) { return {{x, y, z}, rn, rb}; }

// Keys that open a part from rest to amplitude and back once per period:
// amplitude * (1 - cos) / 2, so frame 0 is the rest pose.
std::vector<AngleKey> openCloseKeys(int frames, int step, float amplitude, float period) {
  std::vector<AngleKey> keys;
  for (int f = 0;; f += step) {
    const int frame = f < frames ? f : frames;
    const float wave = 0.5f * (1.0f - std::cos(6.2831853f * static_cast<float>(frame) / period));
    keys.push_back({frame, amplitude * wave});
    if (frame == frames) break;
  }
  return keys;
}

// Moves every part of a design to where place puts it: points and pivots as
// positions, turn axes as directions. The design is built about the origin
// first and then set where the show's poses need it.
void placeDesign(ModelDesign& d, const Placement& place) {
  const Placement turnOnly{{}, place.ax, place.ay, place.az};
  for (ModelPart& part : d.parts) {
    for (Vec3& p : part.mesh.points) p = place.apply(p);
    part.pivot = place.apply(part.pivot);
    part.axis = turnOnly.apply(part.axis);
  }
}

// Where the enlarged fork lies in its file. The opening's keys carry the eye
// (in file units) from 60 units beyond the tine tips, looking along +y, round
// past the neck to 90 units out along +y, looking along +z. Stood up along
// +z, leaning 30 degrees towards +y, with the tines spread along -x and moved
// by kForkOffset, the fork lies across that path: the eye sees the handle's
// end swing in, flies past the head and looks back along the tines.
constexpr float kForkLeanDegrees = 30.0f;
constexpr Vec3 kForkOffset{-20.0f, 30.0f, -50.0f};

Placement forkPlacement() {
  const float lean = kForkLeanDegrees * 0.017453292f;
  Placement p;
  p.origin = kForkOffset;
  p.ax = {0.0f, std::sin(lean), std::cos(lean)};   // handle to tines
  p.ay = {0.0f, std::cos(lean), -std::sin(lean)};  // across the flat of the fork
  p.az = {-1.0f, 0.0f, 0.0f};                      // the row of tines
  return p;
}

constexpr float kTineRootX = 7.5f;
constexpr float kTineRootY = -1.0f;
constexpr float kTineSpacing = 1.9f;
constexpr float kTineFanDegrees = 10.0f;  // outer tines open this far; inner ones a third of it
constexpr float kForkWavePeriod = 20.0f;  // frames: two seconds at the show's 32 s for 320 frames

}  // namespace

ModelDesign forkDesign() {
  ModelDesign d;
  d.fileName = "haarukka.3ds";
  d.frames = kForkFrames;
  d.materials = {{"Teras", 0.75f, 0.75f, 0.8f}};

  // Handle, neck and head in one piece along x, flat in the xz plane, at hand
  // size; enlarged and laid in place at the end.
  ModelPart body;
  body.name = "Haarukka";
  TubeOptions flat;
  flat.segments = 16;
  flat.capStart = true;
  flat.capEnd = true;
  flat.vRepeat = 2.0f;
  addTube(body.mesh,
          {at(-22.0f, 0.0f, 0.0f, 0.9f, 0.35f), at(-21.3f, 0.0f, 0.0f, 1.7f, 0.5f), at(-19.0f, 0.0f, 0.0f, 2.0f, 0.55f),
           at(-14.0f, 0.0f, 0.0f, 1.8f, 0.5f), at(-9.0f, 0.0f, 0.0f, 1.3f, 0.45f), at(-4.0f, -0.3f, 0.0f, 0.75f, 0.45f),
           at(-1.0f, -0.8f, 0.0f, 0.8f, 0.4f), at(2.0f, -1.0f, 0.0f, 1.8f, 0.35f), at(5.0f, -1.0f, 0.0f, 3.0f, 0.32f),
           at(kTineRootX, kTineRootY, 0.0f, 3.8f, 0.3f)},
          flat);
  d.parts.push_back(std::move(body));

  // Four tines, each its own node turning about its root in the fork's plane:
  // they fan open and close like fingers.
  for (int k = 0; k < 4; ++k) {
    const float z = kTineSpacing * (static_cast<float>(k) - 1.5f);
    ModelPart tine;
    tine.name = "Piikki" + std::to_string(k + 1);
    tine.parent = 0;
    tine.pivot = {kTineRootX, kTineRootY, z};
    tine.axis = {0.0f, 1.0f, 0.0f};
    TubeOptions o;
    o.segments = 10;
    o.capEnd = true;
    addTube(tine.mesh,
            {at(7.0f, kTineRootY, z, 0.5f, 0.28f), at(10.0f, kTineRootY, z, 0.45f, 0.28f),
             at(17.0f, kTineRootY, z, 0.38f, 0.26f), at(20.3f, kTineRootY, z, 0.3f, 0.22f),
             at(21.0f, kTineRootY, z, 0.12f, 0.15f)},
            o);
    // A turn of -a about +y moves a tip at +x towards +z: tines above the
    // middle open upward, those below downward.
    const float fan = -kTineFanDegrees * z / (1.5f * kTineSpacing);
    tine.turn = openCloseKeys(d.frames, 5, fan, kForkWavePeriod);
    d.parts.push_back(std::move(tine));
  }
  scaleDesign(d, kForkEnlargement);
  placeDesign(d, forkPlacement());
  return d;
}

ModelDesign shuttleDesign() {
  ModelDesign d;
  d.fileName = "avaruusalus01.3ds";
  d.frames = kShuttleFrames;
  d.materials = {{"Valkoinen", 0.92f, 0.92f, 0.9f},
                 {"Musta", 0.15f, 0.15f, 0.17f},
                 {"Ikkuna", 0.1f, 0.12f, 0.25f},
                 {"Suutin", 0.45f, 0.42f, 0.4f}};
  constexpr int kWhite = 0, kBlack = 1, kWindow = 2, kNozzle = 3;
  constexpr float kWingZ = -21.0f;
  constexpr float kTailX = 125.0f;

  // The orbiter, 400 units from nose to engine bells: nose towards -x, belly
  // down, wings along y. The show's first flight (turned 90 about y, -50
  // about z) then points the nose along its climb towards the camera. Built
  // about the origin and then enlarged and lifted (see designs.h).
  ModelPart body;
  body.name = "Sukkula";
  TubeOptions hull;
  hull.segments = 20;
  hull.capStart = true;
  hull.capEnd = true;
  hull.vRepeat = 3.0f;
  body.mesh.material = kWhite;
  addTube(body.mesh,
          {at(-200.0f, 0.0f, -8.0f, 0.5f, 0.5f), at(-196.0f, 0.0f, -7.0f, 8.0f, 9.0f),
           at(-188.0f, 0.0f, -5.0f, 14.0f, 16.0f), at(-175.0f, 0.0f, -3.0f, 20.0f, 22.0f),
           at(-160.0f, 0.0f, -1.0f, 25.0f, 27.0f), at(-140.0f, 0.0f, 0.0f, 29.0f, 31.0f),
           at(-110.0f, 0.0f, 0.0f, 30.0f, 33.0f), at(100.0f, 0.0f, 0.0f, 30.0f, 33.0f),
           at(kTailX, 0.0f, 1.0f, 28.0f, 31.0f)},
          hull);
  body.mesh.material = kWindow;
  addEllipsoid(body.mesh, Placement::at({-156.0f, 0.0f, 17.0f}), {26.0f, 19.0f, 13.0f}, 16, 8);
  body.mesh.material = kBlack;
  addPrism(body.mesh, Placement::at({0.0f, 0.0f, kWingZ}),
           {{-150.0f, -22.0f},
            {-70.0f, -42.0f},
            {80.0f, -128.0f},
            {108.0f, -128.0f},
            {108.0f, 128.0f},
            {80.0f, 128.0f},
            {-70.0f, 42.0f},
            {-150.0f, 22.0f}},
           {20.0f, 0.0f}, 7.0f, 0.01f);
  body.mesh.material = kWhite;
  addPrism(body.mesh, facingFront({0.0f, 0.0f, 0.0f}),
           {{45.0f, 22.0f}, {125.0f, 22.0f}, {150.0f, 150.0f}, {128.0f, 150.0f}}, {110.0f, 60.0f}, 7.0f, 0.01f);
  for (float side : {-1.0f, 1.0f}) {
    addEllipsoid(body.mesh, Placement::at({88.0f, 24.0f * side, 25.0f}).turnedY(90.0f), {9.0f, 11.0f, 42.0f}, 12, 8);
  }
  d.parts.push_back(std::move(body));

  // Elevons on the trailing edges: hinged along y, they swing up and down.
  const float elevonY[2] = {1.0f, -1.0f};
  const char* elevonName[2] = {"LaippaV", "LaippaO"};
  for (int i = 0; i < 2; ++i) {
    const float s = elevonY[i];
    ModelPart flap;
    flap.name = elevonName[i];
    flap.parent = 0;
    flap.pivot = {108.0f, 81.0f * s, kWingZ};
    flap.axis = {0.0f, 1.0f, 0.0f};
    flap.mesh.material = kBlack;
    std::vector<Vec2> outline{{108.0f, 40.0f * s}, {128.0f, 42.0f * s}, {128.0f, 120.0f * s}, {108.0f, 122.0f * s}};
    if (s < 0.0f) outline = {{108.0f, -122.0f}, {128.0f, -120.0f}, {128.0f, -42.0f}, {108.0f, -40.0f}};
    addPrism(flap.mesh, Placement::at({0.0f, 0.0f, kWingZ}), outline, {118.0f, 81.0f * s}, 5.0f, 0.02f);
    flap.turn = swingKeys(d.frames, 5, 18.0f * s, 25.0f);
    d.parts.push_back(std::move(flap));
  }

  ModelPart bodyFlap;
  bodyFlap.name = "Peralaippa";
  bodyFlap.parent = 0;
  bodyFlap.pivot = {kTailX, 0.0f, -27.0f};
  bodyFlap.axis = {0.0f, 1.0f, 0.0f};
  bodyFlap.mesh.material = kBlack;
  addBox(bodyFlap.mesh, {kTailX, -26.0f, -30.0f}, {150.0f, 26.0f, -24.0f}, 0.02f);
  bodyFlap.turn = swingKeys(d.frames, 5, 12.0f, 50.0f);
  d.parts.push_back(std::move(bodyFlap));

  // Three engine bells gimballing: the top one sideways, the lower pair up and down.
  const Vec3 nozzleAt[3] = {{kTailX, 0.0f, 16.0f}, {kTailX, 13.0f, -6.0f}, {kTailX, -13.0f, -6.0f}};
  for (int i = 0; i < 3; ++i) {
    ModelPart bell;
    bell.name = "Moottori" + std::to_string(i + 1);
    bell.parent = 0;
    bell.pivot = nozzleAt[i];
    bell.axis = i == 0 ? Vec3{0.0f, 0.0f, 1.0f} : Vec3{0.0f, 1.0f, 0.0f};
    bell.mesh.material = kNozzle;
    addLathe(bell.mesh, Placement::at(nozzleAt[i]).turnedY(90.0f),
             {{5.5f, -4.0f}, {6.0f, 0.0f}, {8.0f, 6.0f}, {11.0f, 16.0f}, {14.0f, 30.0f}}, 16);
    bell.turn = swingKeys(d.frames, 5, i == 2 ? -5.0f : 5.0f, 40.0f);
    d.parts.push_back(std::move(bell));
  }
  scaleDesign(d, kShuttleEnlargement);
  placeDesign(d, Placement::at({0.0f, 0.0f, kShuttleLift}));
  return d;
}

ModelDesign mothershipDesign() {
  ModelDesign d;
  d.fileName = "mothership.3ds";
  d.frames = kMothershipFrames;
  d.materials = {{"Runko", 0.55f, 0.58f, 0.62f}, {"Valot", 1.0f, 0.8f, 0.3f}, {"Rengas", 0.7f, 0.3f, 0.2f}};
  constexpr int kHull = 0, kLights = 1, kRingMaterial = 2;

  // 400 units long with the nose at +y. Two stacked hulls leave a hangar
  // slot (file z -14 .. 12) open on the -x side, closed by a wall at the
  // back; the bears that close in on the ship fly into it.
  ModelPart hull;
  hull.name = "Emoalus";
  TubeOptions o;
  o.segments = 24;
  o.capStart = true;
  o.capEnd = true;
  o.uRepeat = 2.0f;
  o.vRepeat = 4.0f;
  hull.mesh.material = kHull;
  // Along +y with up = +z the section normal is +z and the binormal +x.
  addTube(hull.mesh,
          {at(0.0f, -190.0f, 40.0f, 20.0f, 52.0f), at(0.0f, -175.0f, 40.0f, 26.0f, 60.0f),
           at(0.0f, -120.0f, 40.0f, 28.0f, 68.0f), at(0.0f, 0.0f, 40.0f, 28.0f, 70.0f),
           at(0.0f, 80.0f, 40.0f, 26.0f, 62.0f), at(0.0f, 140.0f, 40.0f, 20.0f, 44.0f),
           at(0.0f, 180.0f, 38.0f, 12.0f, 22.0f), at(0.0f, 200.0f, 36.0f, 2.0f, 2.0f)},
          o);
  addTube(hull.mesh,
          {at(0.0f, -180.0f, -38.0f, 17.0f, 44.0f), at(0.0f, -165.0f, -38.0f, 22.0f, 51.0f),
           at(0.0f, -110.0f, -38.0f, 24.0f, 58.0f), at(0.0f, 0.0f, -38.0f, 24.0f, 60.0f),
           at(0.0f, 75.0f, -38.0f, 22.0f, 53.0f), at(0.0f, 130.0f, -38.0f, 17.0f, 37.0f),
           at(0.0f, 168.0f, -36.0f, 10.0f, 19.0f), at(0.0f, 185.0f, -34.0f, 2.0f, 2.0f)},
          o);
  addBox(hull.mesh, {18.0f, -160.0f, -16.0f}, {46.0f, 150.0f, 14.0f}, 0.02f);
  addBox(hull.mesh, {-15.0f, -150.0f, 62.0f}, {15.0f, -95.0f, 90.0f}, 0.02f);
  addEllipsoid(hull.mesh, Placement::at({0.0f, -122.0f, 90.0f}), {15.0f, 27.0f, 8.0f}, 16, 6);
  hull.mesh.material = kLights;
  const Vec3 engines[4] = {
      {-28.0f, -186.0f, 40.0f}, {28.0f, -186.0f, 40.0f}, {-24.0f, -176.0f, -38.0f}, {24.0f, -176.0f, -38.0f}};
  for (const Vec3& e : engines) {
    // Turned so that the lathe's axis points backwards (-y).
    addLathe(hull.mesh, Placement::at(e).turnedX(90.0f), {{13.0f, -4.0f}, {15.0f, 0.0f}, {18.0f, 24.0f}, {0.0f, 24.0f}},
             16);
  }
  d.parts.push_back(std::move(hull));

  // A ring with four pods around the fore hull, spinning once about the
  // ship's long axis over the animation.
  ModelPart ring;
  ring.name = "Rengas";
  ring.parent = 0;
  ring.pivot = {0.0f, 110.0f, 0.0f};
  ring.axis = {0.0f, 1.0f, 0.0f};
  ring.mesh.material = kRingMaterial;
  const Placement ringPlane = facingFront(ring.pivot);
  addTorus(ring.mesh, ringPlane, 92.0f, 5.0f, 40, 8, 6.0f);
  for (int k = 0; k < 4; ++k) {
    const float a = 0.78539816f + 1.5707963f * static_cast<float>(k);
    addEllipsoid(ring.mesh, Placement::at(ringPlane.apply({92.0f * std::cos(a), 92.0f * std::sin(a), 0.0f})),
                 {11.0f, 16.0f, 11.0f}, 12, 8);
  }
  ring.turn = spinKeys(d.frames, 10, 360.0f);
  d.parts.push_back(std::move(ring));
  return d;
}

}  // namespace vorn::assets
