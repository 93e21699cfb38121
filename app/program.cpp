// The program: process-wide policy, Engine, cursor, music, then the live show
// (one frame per pass on the demo clock until the time passes the show's
// length or Escape is reported). The command line adds a window, a later
// start, looping and the offline modes.
#include "app/program.h"

#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/frame_loop.h"
#include "app/offline.h"
#include "app/options.h"
#include "app/show_folder.h"
#include "platform/executable_path.h"
#include "platform/loading_heap.h"
#include "platform/process_policy.h"
#include "res/music_player.h"

namespace vorn {

namespace {

// What the environment tells the program; read here and nowhere else.
struct Environment {
  std::string display;  // DISPLAY, "unset" when it is
  TestHooks test;
};

bool switchSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v && std::strcmp(v, "0") != 0;
}

// Everything that holds for the whole process, set once before any other
// thread exists: malloc's policy for loading (`heap`, which the caller ends
// once the Engine is built), the encoder pipe's signal and SDL's
// environment defaults. Returns what the environment says.
Environment setProcessPolicy(std::optional<LoadingHeap>& heap) {
  heap.emplace();
  ignoreBrokenPipes();
  setVideoDefaults();
  Environment env;
  const char* display = std::getenv("DISPLAY");
  env.display = display ? display : "unset";
  env.test.noFramebufferObjects = switchSet("VORN_TEST_NO_FBO");
  env.test.reportDisplay = switchSet("VORN_TEST_DISPLAY_REPORT");
  if (const char* still = std::getenv("VORN_TEST_STILL")) env.test.stillTime = static_cast<float>(std::atof(still));
  return env;
}

}  // namespace

int SDL_main(int argc, char** argv, ProductionScript script) {
  std::optional<LoadingHeap> loadingHeap;
  const Environment env = setProcessPolicy(loadingHeap);
  const ParsedOptions parsed = parseOptions(argc, argv);
  if (!parsed.ok) {
    std::fprintf(stderr, "vorndemo: %s\n%s", parsed.error.c_str(), usageText());
    return 2;
  }
  Options o = parsed.options;
  if (o.mode == RunMode::Help) {
    std::fputs(usageText(), stdout);
    return 0;
  }
  if (o.mode == RunMode::Version) {
    std::printf("vorndemo %s\n", VORN_VERSION);
    return 0;
  }
  if (!enterShowFolder(o, executablePath())) return 1;

  const bool offline = o.mode != RunMode::Show;
  DisplayOptions display;
  display.fullScreen = !(o.window || offline);
  // Offline modes draw straight into a fixed 800 x 600 window, as captures
  // always were, and never wait for the display.
  display.offScreen = !offline;
  display.resizable = o.window && !offline;
  display.windowWidth = offline ? 0 : o.windowWidth;
  display.windowHeight = offline ? 0 : o.windowHeight;
  display.vsync = o.vsync && !offline;
  display.displayVariable = env.display;
  display.test = env.test;

  const auto begin = std::chrono::steady_clock::now();
  // Loading ends with the Engine's construction: malloc takes its settings
  // for the show, and the memory loading freed goes back to the system.
  Engine engine(display, script);
  loadingHeap.reset();
  if (!engine.ok()) return 1;
  const double startup = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

  SDL_ShowCursor(SDL_DISABLE);
  // Offline modes take the music from the file frame by frame; no device plays.
  auto* player = new MusicPlayer(kMixRate, offline ? MusicOutput::Pulled : MusicOutput::Device);
  musicPlayer = player;
  player->open(kMusicFile);

  int status = 0;
  switch (o.mode) {
    case RunMode::Capture: status = runCapture(engine, *player, o); break;
    case RunMode::Shot: status = runShot(engine, *player, o); break;
    case RunMode::Benchmark: status = runBenchmark(engine, *player, o, startup); break;
    default: {
      LiveClock clock(*player, o.start, o.loop);
      FrameOutput window;  // the frames are only presented
      status = runFrames(engine, clock, window, nullptr);
      break;
    }
  }

  player->stop();
  delete player;
  return status;
}

}  // namespace vorn
