// The program's own entry point: builds the production, starts the music and
// runs the timed loop (or one of the offline modes the command line asks for).
#pragma once

namespace vorn {

// Returns the process exit status: 0 after a show, 1 when the display or the
// GL could not be had, 2 for a bad command line.
int SDL_main(int argc, char** argv);

}  // namespace vorn
