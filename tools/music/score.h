// The composition of the soundtrack: 88 bars of 4/4 at 120 beats per minute
// (a bar is exactly 2 s), written as calls to the instruments of synth.h.
#pragma once

#include "tools/music/synth.h"

namespace vorn::music {

constexpr int kBarCount = 88;
constexpr int kSecondsPerBar = 2;
constexpr int kSoundtrackSeconds = kBarCount * kSecondsPerBar;  // 176
constexpr int kSoundtrackFrames = kSoundtrackSeconds * kRate;

// Frame at which a position starts, given as a bar and sixteenth-note steps
// into it (16 steps a bar).
int frameAt(int bar, double step = 0.0);

// Plays the whole score into mix, which must hold kSoundtrackFrames frames.
void composeSoundtrack(Mix& mix);

}  // namespace vorn::music
