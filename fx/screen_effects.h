// The screen effects drawn from the pyramid inside screen space, and the
// EffectType numbers through which the timeline asks for them.
#pragma once

namespace vorn {

// What effectPass draws from the captured picture. Any value outside 1 .. 8
// draws nothing; EffectNone names the "no effect" of a fade without one.
enum EffectType : int {
  EffectNone = 0,
  EffectGlow = 1,
  EffectRadial = 2,
  EffectPixelate = 3,
  EffectRadialGlow = 4,
  EffectTileWave = 5,
  EffectBarWipe = 6,
  EffectPixelateGlow = 7,
  EffectLens = 8,
};

void drawRadialFan(float t);
void drawLevelCrossfade(float x);
void drawLensWarp(float strength, float scale);
void drawTileWave(float t, float motion, float alpha);
void drawBarWipe(float x);

// Runs the passes of EffectType e with time t and value v; any other number draws nothing.
void drawEffect(EffectType e, float t, float v);

}  // namespace vorn
