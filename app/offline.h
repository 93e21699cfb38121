// Offline rendering at a fixed frame step: capture to video or PNG frames, one
// shot, and the benchmark. The player has pulled output, so the spectrum at
// every frame is that of exactly the music up to the frame's time, and two
// runs over the same range give the same frames.
#pragma once

#include "app/engine.h"
#include "app/options.h"
#include "res/music_player.h"

namespace vorn {

// Each returns the process exit status and prints its own messages.
int runCapture(Engine& engine, MusicPlayer& player, const Options& options);
int runShot(Engine& engine, MusicPlayer& player, const Options& options);
int runBenchmark(Engine& engine, MusicPlayer& player, const Options& options, double startupSeconds);

}  // namespace vorn
