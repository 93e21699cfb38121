// Timeline arithmetic: which entries are active and the values their modes
// and transitions pass to the effects.
#include "app/timeline.h"

#include <cmath>

namespace vorn {

bool entryActive(const TimelineEntry& e, float t) { return e.start <= t && t <= e.end; }

float rampValue(float local, float duration, bool bothEnds) {
  const float q = 0.25f * duration;
  const float m = 0.75f * duration;
  float ramp = 0.0f;
  if (bothEnds && local < q) ramp = 1.0f - local / q;
  if (local > m) ramp = (local - m) / q;
  return ramp;
}

float pulseValue(float local) { return static_cast<float>((std::sin(static_cast<double>(local)) + 1.0) * 0.5); }

float fadeInFraction(const TimelineEntry& e, float local) {
  if (e.fadeInKind <= FadeNone || !(local < e.fadeInLength)) return -1.0f;
  return (e.fadeInLength - local) / e.fadeInLength;
}

float fadeOutFraction(const TimelineEntry& e, float local) {
  const float duration = e.end - e.start;
  const float from = duration - e.fadeOutLength;
  if (e.fadeOutKind <= FadeNone || !(local > from)) return -1.0f;
  return (local - from) / e.fadeOutLength;
}

EffectType fadeInEffect(FadeKind kind) {
  switch (kind) {
    case FadeTileWave: return EffectTileWave;
    case FadePixelate: return EffectPixelate;
    default: return EffectNone;
  }
}

EffectType fadeOutEffect(FadeKind kind) {
  switch (kind) {
    case FadeTileWave: return EffectTileWave;
    case FadePixelate: return EffectPixelate;
    case FadeBarWipe: return EffectBarWipe;
    default: return EffectNone;
  }
}

}  // namespace vorn
