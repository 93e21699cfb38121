// The live show: Engine, cursor, music, then one frame per pass on the demo
// clock until the time passes 176 s or Escape is reported.
#include "app/program.h"

#include <SDL/SDL.h>

#include <cstdio>

#include "app/engine.h"
#include "app/main_loop.h"
#include "content/production.h"
#include "platform/keyboard.h"
#include "res/music_player.h"

namespace vorn {

int SDL_main(int /*argc*/, char** /*argv*/) {
  DisplayOptions display;
  Engine engine(display, &buildProduction);
  if (!engine.ok()) return 1;

  SDL_ShowCursor(SDL_DISABLE);
  auto* player = new MusicPlayer(44100);
  musicPlayer = player;
  player->open("vorndemo.ogg");
  player->play();
  uint32_t tickReference = SDL_GetTicks();

  float demoTime = 0.0f;
  if (!escapeRequested()) {
    for (;;) {
      const float elapsed = elapsedSeconds(tickReference, SDL_GetTicks());
      tickReference = SDL_GetTicks();
      demoTime = advanceDemoTime(demoTime, elapsed);
      engine.clearFrame();
      engine.drawTimeline(demoTime);
      engine.swapFrame();
      if (demoFinished(demoTime)) break;
      if (escapeRequested()) break;
    }
  }

  player->stop();
  delete player;
  return 0;
}

}  // namespace vorn
