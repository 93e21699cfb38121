// What holds for the whole process beyond malloc's policy (platform/loading_heap.h):
// the broken-pipe signal and SDL's environment defaults. The program's entry
// sets each once, before any other thread starts; nothing else calls these.
// One file per system; CMake picks it.
#pragma once

namespace vorn {

// Writes into a pipe whose reader has gone fail with EPIPE instead of ending
// the process, so that an encoder that dies shows as a write error.
void ignoreBrokenPipes();

// SDL's video driver and sdl12-compat's scaling, set unless the user set
// them; must precede SDL's video initialisation.
void setVideoDefaults();

}  // namespace vorn
