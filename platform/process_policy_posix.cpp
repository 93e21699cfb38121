// Linux and other POSIX systems.
#include "platform/process_policy.h"

#include <signal.h>

#include <cstdlib>

namespace vorn {

void ignoreBrokenPipes() { signal(SIGPIPE, SIG_IGN); }

void setVideoDefaults() {
  // Only SDL's X11 driver offers OpenGL; without this SDL would fall back to
  // text-mode drivers that scribble over the terminal before failing.
  setenv("SDL_VIDEODRIVER", "x11", 0);
  // sdl12-compat would otherwise give an OpenGL program a framebuffer of its
  // own at the size asked for and stretch that to the window at each swap,
  // rebinding it whenever the program binds framebuffer 0. The show scales
  // its own frame, so framebuffer 0 must be the real window.
  setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
}

}  // namespace vorn
