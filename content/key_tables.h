// The production's poses and keyframes, one table per node or Camera, in
// entry-local seconds. A row is one storeKeys call; kDash: not stored then.
#pragma once

#include <vector>

#include "content/key_rows.h"

namespace vorn::keys {

// Offsets (a, b, c) of the karhu V of formationScene and mothershipScene; the
// middle entry is the tip.
inline const Vec3 kFormationOffsets[5] = {
    {-2, 0, 2}, {-1, 0, 1}, {0, 0, 0}, {1, 0, 1}, {2, 0, 2},
};

inline const std::vector<KeyRow> kBigHaarukka = {
    {0, Vec3{-60, 0, 0}, Vec3{0, 0, 0}, Vec3{1, 1, 1}},
    {27, Vec3{100, 0, 0}, Vec3{270, 90, 0}, kDash},
};

inline const std::vector<KeyRow> kFirstShip = {
    {0, Vec3{0, -650, -450}, Vec3{0, 90, -50}, Vec3{0.3f, 0.3f, 0.3f}},
    {10, Vec3{0, -650, -450}, Vec3{0, 90, -52}, Vec3{0.3f, 0.3f, 0.3f}},
    {26, Vec3{0, 280, 250}, kDash, kDash},
};

// The sky's position is set to the origin beforehand and never keyed.
inline const Vec3 kSkyPosition{0, 0, 0};
inline const std::vector<KeyRow> kSky = {
    {0, kDash, Vec3{0, 0, 0}, Vec3{2, 2, 2}},
    {1000, kDash, Vec3{0, 1200, 0}, kDash},
};

inline const std::vector<KeyRow> kSmallHaarukka = {
    {0, Vec3{40, 0, -25}, Vec3{0, 0, 0}, Vec3{0.3f, 0.3f, 0.3f}},
    {12, Vec3{-70, 0, 0}, Vec3{270, 90, 0}, kDash},
};

inline const std::vector<KeyRow> kSecondShip = {
    {0, Vec3{0, 0, -450}, Vec3{0, 90, 50}, Vec3{0.3f, 0.3f, 0.3f}},
    {10, Vec3{0, 0, -450}, Vec3{0, 90, 95}, Vec3{0.3f, 0.3f, 0.3f}},
    {26, Vec3{0, 280, 250}, kDash, kDash},
};

// Karhu i = 0 .. 4 of launchScene: they leave one after another, a second apart.
inline std::vector<KeyRow> launchKarhu(float i) {
  return {
      {0, Vec3{0, 0, -500}, Vec3{0, 0, 0}, Vec3{0.1f, 0.1f, 0.1f}},
      {i + 2, Vec3{100, -100, -470}, Vec3{75, 0, 90}, kDash},
      {i + 11, Vec3{50, 15 * i - 30, 40 * i + 200}, Vec3{180, 0, 180}, Vec3{0.2f, 0.2f, 0.2f}},
  };
}

// The picture planes rest at the origin, facing the set-up Camera.
inline const std::vector<KeyRow> kPicturePlane = {
    {0, Vec3{0, 0, 0}, Vec3{0, 0, 0}, Vec3{1, 1, 1}},
};

// formationScene: the V flies 800 units along -z in 16 seconds.
inline std::vector<KeyRow> formationKarhu(Vec3 o) {
  return {
      {0, Vec3{40 * o.x, 10 * o.y, 50 * o.z + 400}, Vec3{0, 0, 0}, Vec3{0.2f, 0.2f, 0.2f}},
      {16, Vec3{40 * o.x, 10 * o.y, 50 * o.z - 400}, kDash, kDash},
  };
}

inline const std::vector<KeyRow> kFormationCamera = {
    {0, Vec3{60, -38, 0}, Vec3{0, 30, 180}, kDash},
    {10, Vec3{60, -38, -30}, Vec3{0, 30, 0}, kDash},
    {15, Vec3{60, -38, 300}, Vec3{0, 30, 0}, kDash},
};

inline const std::vector<KeyRow> kMothership = {
    {0, Vec3{0, 0, -400}, Vec3{0, 90, 0}, Vec3{1, 1, 1}},
    {24, Vec3{-100, 0, -400}, Vec3{0, 90, 0}, Vec3{1, 1, 1}},
};

// mothershipScene: the V closes in on the mothership and shrinks.
inline std::vector<KeyRow> mothershipKarhu(Vec3 o) {
  return {
      {0, Vec3{40 * o.x, 10 * o.y, 50 * o.z + 400}, Vec3{0, 0, 0}, Vec3{0.2f, 0.2f, 0.2f}},
      {16, kDash, kDash, Vec3{0.15f, 0.15f, 0.15f}},
      {24, Vec3{20 * o.x, 10 * o.y, -380}, kDash, Vec3{0.1f, 0.1f, 0.1f}},
  };
}

// Position and rotation differ: there is no position key at 8.
inline const std::vector<KeyRow> kMothershipCamera = {
    {0, Vec3{0, 0, 0}, Vec3{0, 180, 0}, kDash},          {7, Vec3{0, 0, 0}, Vec3{0, 180, 0}, kDash},
    {7.5f, Vec3{-30, -20, 0}, Vec3{0, 180, -30}, kDash}, {8, kDash, Vec3{20, 180, 0}, kDash},
    {16, Vec3{30, -20, 0}, Vec3{20, 0, 0}, kDash},       {24, Vec3{0, -100, 280}, Vec3{60, 0, 0}, kDash},
};

inline const std::vector<KeyRow> kSika = {
    {0, Vec3{0, 0, 0}, Vec3{0, 0, 0}, Vec3{3, 3, 3}},
};

inline const std::vector<KeyRow> kSmallMothership = {
    {0, Vec3{0, 75, 1000}, Vec3{0, 0, 0}, Vec3{0.1f, 0.1f, 0.1f}},
    {16, Vec3{0, 75, 400}, kDash, kDash},
};

inline const std::vector<KeyRow> kSikaModelCamera = {
    {0, Vec3{-500, -100, 800}, Vec3{0, -90, 0}, kDash},
    {8, Vec3{-200, -100, -800}, Vec3{0, -90, 0}, kDash},
    {10, Vec3{0, -90, -700}, Vec3{0, 0, 0}, kDash},
    {16, Vec3{0, -70, -450}, kDash, kDash},
};

// Star model i = 0, 1: stretched thirtyfold along z and spun 460 degrees about z.
inline std::vector<KeyRow> stars(float i) {
  return {
      {0, Vec3{0, 0, 25 * i - 50}, Vec3{0, 0, 0}, Vec3{0.2f, 0.2f, 0.2f}},
      {10, Vec3{0, 0, 0}, Vec3{0, 0, 460}, Vec3{1, 1, 30}},
  };
}

inline const std::vector<KeyRow> kBall = {
    {0, Vec3{-50, 50, -90}, Vec3{0, 0, 0}, Vec3{0.4f, 0.4f, 0.4f}},
    {100, kDash, Vec3{2600, 3600, 1700}, kDash},
};

// A flat, tilted field on which the spectrum stacks grow.
inline const std::vector<KeyRow> kSpectrumBlocks = {
    {0, Vec3{-3, 0, 0}, Vec3{45, 0, 0}, Vec3{0.4f, 0.1f, 0.4f}},
};

// Added to the set-up key at 0: the Camera rests until 15 s, then moves in 5 s.
inline const std::vector<KeyRow> kCreditsCamera = {
    {15, Vec3{0, 0, -20}, Vec3{0, 0, 0}, Vec3{1, 1, 1}},
    {20, Vec3{-10, -3, -5}, kDash, kDash},
};

// Ends at scale 0.
inline const std::vector<KeyRow> kKyklohepo = {
    {0, Vec3{-200, 30, 0}, Vec3{0, 0, 0}, Vec3{2, 2, 2}},
    {5, Vec3{100, 30, 0}, Vec3{-290, -170, 50}, Vec3{0.5f, 0.5f, 0.5f}},
    {16, Vec3{-500, 0, 0}, Vec3{-290, -170, 50}, Vec3{0, 0, 0}},
};

// One key: the Camera rests at (0, 0, -300).
inline const std::vector<KeyRow> kKyklohepoCamera = {
    {0, Vec3{0, 0, -300}, Vec3{0, 0, 0}, kDash},
};

// Crosses from right to left in 20 seconds.
inline const std::vector<KeyRow> kKyklohepoKarhu = {
    {0, Vec3{800, 0, 0}, Vec3{0, 90, 0}, Vec3{1, 1, 1}},
    {20, Vec3{-600, 0, 0}, kDash, kDash},
};

}  // namespace vorn::keys
