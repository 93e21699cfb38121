// Command-line parsing: options in any order, every value checked, and one
// line naming the first problem.
#include "app/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/demo_clock.h"

namespace vorn {

namespace {

bool parseSeconds(const char* text, float& out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text, &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
  if (v < 0.0 || v > static_cast<double>(kShowLength)) return false;
  out = static_cast<float>(v);
  return true;
}

bool parseFps(const char* text, int& out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || v < 1 || v > kMaxFps) return false;
  out = static_cast<int>(v);
  return true;
}

// "WxH" with both sides from 1 to kMaxWindowSide pixels.
bool parseSize(const char* text, int& width, int& height) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const long w = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || (*end != 'x' && *end != 'X')) return false;
  const char* second = end + 1;
  const long h = std::strtol(second, &end, 10);
  if (errno != 0 || end == second || *end != '\0') return false;
  if (w < 1 || h < 1 || w > kMaxWindowSide || h > kMaxWindowSide) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool endsWithPng(const std::string& path) { return path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0; }

// The show's length as the messages write it: "176".
const std::string kLengthText = std::to_string(static_cast<int>(kShowLength));

std::string needsSeconds(const char* flag) {
  return std::string(flag) + " needs a time in seconds between 0 and " + kLengthText;
}

ParsedOptions fail(std::string message) {
  ParsedOptions r;
  r.error = std::move(message);
  return r;
}

}  // namespace

const char* usageText() {
  static const std::string text =
      std::string(
          "usage: vorndemo [--window] [--size WxH] [--no-vsync] [--start SECONDS] [--loop]\n"
          "       vorndemo --capture PATH [--fps N] [--from S] [--to S]\n"
          "       vorndemo --shot SECONDS PATH.png [--fps N]\n"
          "       vorndemo --benchmark [--fps N]\n"
          "       vorndemo --help | --version\n"
          "\n"
          "  (no options)      the show: full screen at the desktop's resolution, the 800 x 600 picture\n"
          "                    scaled to the largest 4:3 area, music, real time; Escape ends it\n"
          "  --window          the show in a window the user can resize (800 x 600 at first)\n"
          "  --size WxH        the window's first size, e.g. 1280x960 (implies --window)\n"
          "  --no-vsync        do not wait for the display's refresh at each frame\n"
          "  --start SECONDS   begin at that demo time, the music from the same position\n"
          "  --loop            start over after ") +
      kLengthText +
      " s until Escape\n"
      "  --capture PATH    render offline at a fixed step; PATH ending in .mp4 or .mkv becomes a\n"
      "                    video with the music (ffmpeg), any other PATH a directory of PNG frames\n"
      "                    plus music.wav\n"
      "  --fps N           frames per second of offline rendering (capture and shot 60, benchmark 30)\n"
      "  --from S, --to S  the capture's range of demo time (default 0 .. " +
      kLengthText +
      ")\n"
      "  --shot SECONDS PATH.png\n"
      "                    write the one frame a capture would show at that time\n"
      "  --benchmark       render every frame offline and print frame times per timeline entry\n"
      "  --data DIR        with any mode: read scenes/ and vorndemo.ogg from DIR when the working\n"
      "                    directory does not hold them; the executable's folder, its run/ and\n"
      "                    ../share/vorndemo are tried after it\n"
      "\n"
      "Capture and shot paths are relative to the working directory the program was started in.\n";
  return text.c_str();
}

ParsedOptions parseOptions(int argc, const char* const* argv) {
  Options o;
  bool modeSet = false, fpsSet = false, fromSet = false, toSet = false, startSet = false, sizeSet = false;
  auto setMode = [&](RunMode m, const char* flag) -> std::string {
    if (modeSet && o.mode != m) return std::string(flag) + " cannot be combined with another mode";
    if (modeSet) return std::string(flag) + " given twice";
    o.mode = m;
    modeSet = true;
    return {};
  };

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    std::string problem;
    if (arg == "--help" || arg == "-h") {
      problem = setMode(RunMode::Help, "--help");
    } else if (arg == "--version") {
      problem = setMode(RunMode::Version, "--version");
    } else if (arg == "--window") {
      o.window = true;
    } else if (arg == "--size") {
      if (!parseSize(next, o.windowWidth, o.windowHeight)) return fail("--size needs WIDTHxHEIGHT, e.g. 1280x960");
      o.window = true;
      sizeSet = true;
      ++i;
    } else if (arg == "--no-vsync") {
      o.vsync = false;
    } else if (arg == "--loop") {
      o.loop = true;
    } else if (arg == "--start") {
      if (!parseSeconds(next, o.start)) return fail(needsSeconds("--start"));
      startSet = true;
      ++i;
    } else if (arg == "--capture") {
      if (!next || !*next) return fail("--capture needs a PATH");
      problem = setMode(RunMode::Capture, "--capture");
      o.path = next;
      ++i;
    } else if (arg == "--shot") {
      if (!parseSeconds(next, o.shotTime)) return fail(needsSeconds("--shot"));
      if (i + 2 >= argc || !endsWithPng(argv[i + 2])) return fail("--shot needs a PATH ending in .png after the time");
      problem = setMode(RunMode::Shot, "--shot");
      o.path = argv[i + 2];
      i += 2;
    } else if (arg == "--data") {
      if (!next || !*next) return fail("--data needs a DIR");
      o.dataDir = next;
      ++i;
    } else if (arg == "--benchmark") {
      problem = setMode(RunMode::Benchmark, "--benchmark");
    } else if (arg == "--fps") {
      if (!parseFps(next, o.fps)) return fail("--fps needs a whole number of frames per second from 1 to 1000");
      fpsSet = true;
      ++i;
    } else if (arg == "--from") {
      if (!parseSeconds(next, o.from)) return fail(needsSeconds("--from"));
      fromSet = true;
      ++i;
    } else if (arg == "--to") {
      if (!parseSeconds(next, o.to)) return fail(needsSeconds("--to"));
      toSet = true;
      ++i;
    } else {
      return fail("unknown option '" + arg + "'");
    }
    if (!problem.empty()) return fail(problem);
  }

  const bool offline = o.mode == RunMode::Capture || o.mode == RunMode::Shot || o.mode == RunMode::Benchmark;
  if (fpsSet && !offline) return fail("--fps applies only to --capture, --shot and --benchmark");
  if ((fromSet || toSet) && o.mode != RunMode::Capture) return fail("--from and --to apply only to --capture");
  if ((startSet || o.loop) && offline) return fail("--start and --loop apply only to the live show");
  if ((sizeSet || !o.vsync) && offline) return fail("--size and --no-vsync apply only to the live show");
  if (o.from > o.to) return fail("--from must not be after --to");
  if (!fpsSet) o.fps = o.mode == RunMode::Benchmark ? kDefaultBenchmarkFps : kDefaultCaptureFps;

  ParsedOptions r;
  r.ok = true;
  r.options = o;
  return r;
}

}  // namespace vorn
