// Process entry: initialises SDL with no subsystem (no parachute), registers
// SDL_Quit at exit and hands over to the program's own entry point with the
// production script.
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>

#include "app/program.h"
#include "content/production.h"

int main(int argc, char** argv) {
  if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) {
    std::fprintf(stderr, "%s: %s\n", "vorndemo: SDL could not be initialised", SDL_GetError());
    return 1;
  }
  std::atexit(SDL_Quit);
  return vorn::SDL_main(argc, argv, &vorn::buildProduction);
}
