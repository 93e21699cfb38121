// GL window and input file for the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <SDL/SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/gl_procs.h"

namespace vorn::fuzz {

void openGlWindow() {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "fuzz: no display (%s); run under scripts/with-display.sh\n", SDL_GetError());
    std::exit(1);
  }
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  if (!SDL_SetVideoMode(64, 64, 32, SDL_OPENGL) || !gl::loadMultitexture()) {
    std::fprintf(stderr, "fuzz: no OpenGL context with ARB multitexture: %s\n", SDL_GetError());
    std::exit(1);
  }
}

std::string writeInput(const uint8_t* data, size_t size, const char* suffix) {
  static const std::string path = [suffix] {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/vorn-fuzz-" + std::to_string(getpid()) + suffix;
  }();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) {
    std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
    std::abort();
  }
  return path;
}

}  // namespace vorn::fuzz
