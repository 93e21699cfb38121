// Latch of the last window resize.
#include "platform/window_events.h"

#include <SDL/SDL.h>

namespace vorn {

namespace {

struct {
  bool pending = false;
  int width = 0, height = 0;
} latched;

}  // namespace

void noteWindowResize(int width, int height) {
  latched.pending = true;
  latched.width = width;
  latched.height = height;
}

bool takeWindowResize(int& width, int& height) {
  SDL_PumpEvents();
  SDL_Event event;
  // Only resize events leave the queue; Escape and quit stay for their query.
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_VIDEORESIZEMASK) > 0)
    noteWindowResize(event.resize.w, event.resize.h);
  if (!latched.pending) return false;
  latched.pending = false;
  width = latched.width;
  height = latched.height;
  return true;
}

}  // namespace vorn
