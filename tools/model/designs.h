// The show's nine models as designs of our own primitives. Sizes are in file
// units (z up, the front facing -y); the show draws each file turned z-up to
// y-up and scaled by its script, and the sizes below are chosen for that.
#pragma once

#include <vector>

#include "tools/model/writer.h"

namespace vorn::assets {

// The sky sphere: drawn at scale 2 around every camera of the scenes that
// show it, so 2 * radius must enclose the farthest eye (about 950 units from
// the centre) and leave the far side within the far plane at 2000.
constexpr float kSkyRadius = 500.0f;
constexpr int kSkySlices = 48;
constexpr int kSkyStacks = 24;

// Frame counts of the animated models; the show stretches them over its
// animLength (fork 32 s, ship and mothership 10 s, bear 100 s).
constexpr int kForkFrames = 320;
constexpr int kShuttleFrames = 100;
constexpr int kMothershipFrames = 100;
constexpr int kBearFrames = 1000;
constexpr int kStillFrames = 1;  // models the show never animates

// The big fork is modelled at hand size and enlarged so that, 20 units from
// the eye, its handle, head and tines each fill the view as the opening's
// keys swing the eye past them. The small fork of the launch is the same file
// at scale 0.3.
constexpr float kForkEnlargement = 8.0f;

// The ship is drawn at scale 0.3: enlarged, it is about a quarter of the view
// wide 450 units away in the launch. Its first flight holds the node's origin
// below the view until it passes the eye, so the hull sits kShuttleLift above
// the origin (file +z, the ship's own up): the flight then shows it low in
// the view, climbing and passing overhead, and in the launch, where the ship
// pitches nose down, the lift brings it up and towards the camera.
constexpr float kShuttleEnlargement = 2.0f;
constexpr float kShuttleLift = 700.0f;

// The pig and the horse are modelled at a handy size and enlarged for the
// distances from which the show looks at them.
constexpr float kPigEnlargement = 3.0f;
constexpr float kHorseEnlargement = 3.0f;

ModelDesign skyDesign();         // avaruus.3ds
ModelDesign starsDesign();       // tahdettahdet.3ds
ModelDesign ballDesign();        // zolviapallo.3ds
ModelDesign forkDesign();        // haarukka.3ds
ModelDesign shuttleDesign();     // avaruusalus01.3ds
ModelDesign mothershipDesign();  // mothership.3ds
ModelDesign bearDesign();        // karhu.3ds
ModelDesign pigDesign();         // sika.3ds
ModelDesign horseDesign();       // kyklohepo.3ds

// All nine, in the order the show first uses them.
std::vector<ModelDesign> showModelDesigns();

}  // namespace vorn::assets
