// Windows.
#include "platform/process_policy.h"

#include <cstdlib>

namespace vorn {

namespace {

void setUnlessSet(const char* name, const char* value) {
  if (!std::getenv(name)) _putenv_s(name, value);
}

}  // namespace

// Windows has no SIGPIPE: a write into a pipe whose reader has gone fails by itself.
void ignoreBrokenPipes() {}

void setVideoDefaults() {
  // SDL 1.2's GDI driver is the one with OpenGL.
  setUnlessSet("SDL_VIDEODRIVER", "windib");
  // As on Linux: sdl12-compat must not scale the frame the show scales itself.
  setUnlessSet("SDL12COMPAT_OPENGL_SCALING", "0");
}

}  // namespace vorn
