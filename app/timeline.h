// Timeline records and the per-frame value arithmetic of render modes and
// transitions, kept pure so it can be checked without a GL context.
#pragma once

#include "fx/screen_effects.h"

namespace vorn {

class Scene;

constexpr int kMaxTimelineEntries = 256;

// How an entry draws its Scene. The schedule may hold any value; one outside
// these draws nothing of its own (its fades and layers still draw).
enum RenderMode : int {
  RenderPlain = 0,
  RenderFeedback = 1,
  RenderGlow = 2,
  RenderRadial = 3,
  RenderPixelateInOut = 4,
  RenderGlowOut = 5,
  RenderGlowInOut = 6,
  RenderRadialGlowPulse = 7,
  RenderTileWavePulse = 8,
  RenderLensPulse = 9,
  RenderPixelateGlowFade = 10,
};

// The transition at an entry's start or end. 0 or less and 4 or more make none.
enum FadeKind : int {
  FadeNone = 0,
  FadeTileWave = 1,
  FadePixelate = 2,
  FadeBarWipe = 3,
};

struct TimelineEntry {
  float start = 0.0f;  // seconds of demo time, included
  float end = 0.0f;    // seconds of demo time, included
  FadeKind fadeInKind = FadeNone;
  float fadeInLength = 0.0f;
  FadeKind fadeOutKind = FadeNone;
  float fadeOutLength = 0.0f;
  RenderMode mode = RenderPlain;
  Scene* scene = nullptr;  // not owned, never empty
};

bool entryActive(const TimelineEntry& e, float t);
// The 0 -> 1 -> 0 ramp: falls over the first quarter (bothEnds only), rises over the last.
float rampValue(float local, float duration, bool bothEnds);
float pulseValue(float local);
// Fade fractions; negative when no fade pass is due.
float fadeInFraction(const TimelineEntry& e, float local);
float fadeOutFraction(const TimelineEntry& e, float local);
// The effect a fade kind draws, or EffectNone when it draws nothing in that direction.
EffectType fadeInEffect(FadeKind kind);
EffectType fadeOutEffect(FadeKind kind);

}  // namespace vorn
