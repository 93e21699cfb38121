// The command line: the live show (as specified, or windowed, started later,
// looping) and the offline modes (capture to video or PNGs, one shot, benchmark).
#pragma once

#include <string>

#include "app/demo_clock.h"

namespace vorn {

enum class RunMode { Show, Capture, Shot, Benchmark, Help, Version };

constexpr int kDefaultCaptureFps = 60;
constexpr int kDefaultBenchmarkFps = 30;
constexpr int kMaxFps = 1000;
constexpr int kMaxWindowSide = 16384;  // pixels; larger than any display SDL 1.2 can open

struct Options {
  RunMode mode = RunMode::Show;
  bool window = false;
  int windowWidth = 0;  // --size: the window's first size, pixels; 0: the frame's size
  int windowHeight = 0;
  bool vsync = true;  // --no-vsync turns the wait for the display's refresh off
  bool loop = false;
  float start = 0.0f;  // live show: demo time of the first frame, seconds
  std::string path;    // capture target (.mp4/.mkv video, else a PNG directory) or shot PNG
  int fps = 0;         // offline frame rate; the mode's default when not given
  float from = 0.0f;   // capture range, seconds of demo time, both included
  float to = kShowLength;
  float shotTime = 0.0f;
  std::string dataDir;  // --data: where scenes/ and vorndemo.ogg lie when the working directory lacks them
};

struct ParsedOptions {
  bool ok = false;
  Options options;
  std::string error;  // one line saying what is wrong, when !ok
};

ParsedOptions parseOptions(int argc, const char* const* argv);
const char* usageText();

}  // namespace vorn
