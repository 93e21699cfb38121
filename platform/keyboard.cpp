// Escape query: SDL keeps the held state; presses between queries are latched
// from the event queue so a tap shorter than a frame is never lost; window
// resizes met on the way are handed to the display.
#include "platform/keyboard.h"

#include <SDL/SDL.h>

#include "platform/window_events.h"

namespace vorn {

bool escapeRequested() {
  bool pressed = false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) pressed = true;
    if (event.type == SDL_VIDEORESIZE) noteWindowResize(event.resize.w, event.resize.h);
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) pressed = true;
  }
  int count = 0;
  const Uint8* keys = SDL_GetKeyState(&count);
  if (keys && SDLK_ESCAPE < count && keys[SDLK_ESCAPE]) pressed = true;
  return pressed;
}

}  // namespace vorn
