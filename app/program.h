// The program's own entry point: builds the production, starts the music and
// runs the timed loop, or one of the offline modes the command line asks for.
#pragma once

#include "app/engine.h"

namespace vorn {

// Returns the process exit status: 0 after a show, 1 when the display, the GL
// or an output could not be had, 2 for a bad command line. `script` builds
// the production once the display exists.
int SDL_main(int argc, char** argv, ProductionScript script);

}  // namespace vorn
