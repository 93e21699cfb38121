// Timeline records and the per-frame value arithmetic of render modes and
// transitions, kept pure so it can be checked without a GL context.
#pragma once

namespace vorn {

class Scene;

constexpr int kMaxTimelineEntries = 256;

enum RenderMode {
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

enum FadeKind {
  FadeNone = 0,
  FadeTileWave = 1,
  FadePixelate = 2,
  FadeBarWipe = 3,
};

struct TimelineEntry {
  float start = 0.0f;  // seconds of demo time, included
  float end = 0.0f;    // seconds of demo time, included
  int fadeInKind = FadeNone;
  float fadeInLength = 0.0f;
  int fadeOutKind = FadeNone;
  float fadeOutLength = 0.0f;
  int mode = RenderPlain;
  Scene* scene = nullptr;  // not owned, never empty
};

bool entryActive(const TimelineEntry& e, float t);
// The 0 -> 1 -> 0 ramp: falls over the first quarter (bothEnds only), rises over the last.
float rampValue(float local, float duration, bool bothEnds);
float pulseValue(float local);
// Fade fractions; negative when no fade pass is due.
float fadeInFraction(const TimelineEntry& e, float local);
float fadeOutFraction(const TimelineEntry& e, float local);
// EffectType for a fade kind, or 0 when the kind draws nothing in that direction.
int fadeInEffect(int kind);
int fadeOutEffect(int kind);

}  // namespace vorn
