// Offline rendering at a fixed frame step: capture to video or PNG frames,
// one shot, and the benchmark. The music advances in the sound library's
// manual mode, so the spectrum at every frame is that of exactly the music
// up to the frame's time, and two runs over the same range give the same frames.
#pragma once

#include "app/engine.h"
#include "app/options.h"

namespace vorn {

constexpr int kMixRate = 44100;

// Demo time shown by frame n at fps frames per second.
float frameTime(long n, int fps);
// First and last frame whose times lie inside [from, to].
long firstFrameAtOrAfter(float from, int fps);
long lastFrameAtOrBefore(float to, int fps);
// Frame a capture shows at time t: the last frame that starts at or before t.
long frameShownAt(float t, int fps);
// Earliest start among entries active at t (t itself when none is): replaying
// from there rebuilds every state that depends on earlier frames.
float replayStart(const Engine& engine, float t);

// Each returns the process exit status and prints its own messages.
int runCapture(Engine& engine, const Options& options);
int runShot(Engine& engine, const Options& options);
int runBenchmark(Engine& engine, const Options& options, double startupSeconds);

}  // namespace vorn
