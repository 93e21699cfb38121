// The program: Engine, cursor, music, then the live show (one frame per pass
// on the demo clock until the time passes the show's length or Escape is
// reported). The command line adds a window, a later start, looping and the
// offline modes.
#include "app/program.h"

#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>

#include "app/frame_loop.h"
#include "app/offline.h"
#include "app/options.h"
#include "app/show_folder.h"
#include "platform/executable_path.h"
#include "res/music_player.h"

namespace vorn {

int SDL_main(int argc, char** argv, ProductionScript script) {
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

  const auto begin = std::chrono::steady_clock::now();
  Engine engine(display, script);
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
