// The live show: Engine, cursor, music, then one frame per pass on the demo
// clock until the time passes 176 s or Escape is reported. The command line
// adds a window, a later start, looping and the offline modes.
#include "app/program.h"

#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>

#include "app/main_loop.h"
#include "app/offline.h"
#include "app/options.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "res/music_player.h"

namespace vorn {

namespace {

// Runs the timed loop from `start` seconds; returns when the show has passed
// its end (unless looping) or Escape was reported.
void playLive(Engine& engine, MusicPlayer& player, float start, bool loop) {
  if (start > 0.0f && player.stream) sound::seekStream(player.stream, start);
  player.play();
  uint32_t tickReference = SDL_GetTicks();

  float demoTime = start;
  if (escapeRequested()) return;
  for (;;) {
    const float elapsed = elapsedSeconds(tickReference, SDL_GetTicks());
    tickReference = SDL_GetTicks();
    demoTime = advanceDemoTime(demoTime, elapsed);
    engine.clearFrame();
    engine.drawTimeline(demoTime);
    engine.swapFrame();
    if (demoFinished(demoTime)) {
      if (!loop) break;
      player.stop();
      if (player.stream) sound::seekStream(player.stream, 0.0);
      player.play();
      tickReference = SDL_GetTicks();
      demoTime = 0.0f;
    }
    if (escapeRequested()) break;
  }
}

}  // namespace

int SDL_main(int argc, char** argv, ProductionScript script) {
  const ParsedOptions parsed = parseOptions(argc, argv);
  if (!parsed.ok) {
    std::fprintf(stderr, "vorndemo: %s\n%s", parsed.error.c_str(), usageText());
    return 2;
  }
  const Options& o = parsed.options;
  if (o.mode == RunMode::Help) {
    std::fputs(usageText(), stdout);
    return 0;
  }
  if (o.mode == RunMode::Version) {
    std::printf("vorndemo %s\n", VORN_VERSION);
    return 0;
  }

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
  // Offline modes take the music from the file frame by frame; no device plays.
  sound::setManualMode(offline);

  const auto begin = std::chrono::steady_clock::now();
  Engine engine(display, script);
  if (!engine.ok()) return 1;
  const double startup = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

  SDL_ShowCursor(SDL_DISABLE);
  auto* player = new MusicPlayer(kMixRate);
  musicPlayer = player;
  player->open("vorndemo.ogg");

  int status = 0;
  switch (o.mode) {
    case RunMode::Capture:
      player->play();
      status = runCapture(engine, o);
      break;
    case RunMode::Shot:
      player->play();
      status = runShot(engine, o);
      break;
    case RunMode::Benchmark:
      player->play();
      status = runBenchmark(engine, o, startup);
      break;
    default: playLive(engine, *player, o.start, o.loop); break;
  }

  player->stop();
  delete player;
  return status;
}

}  // namespace vorn
