// Shared set-up of the libFuzzer targets: a small hidden-size GL window (the
// loaders upload and compile display lists, so they need a context) and the
// one scratch file each input is written to, since the loaders take paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorn::fuzz {

// Opens an SDL/OpenGL window once and fetches the multitexture entry points.
// Ends the process with a message when no display or GL is available: a
// target without its context would fuzz less than it claims.
void openGlWindow();

// Writes the input to a per-process file in /dev/shm (or the temp folder)
// whose name ends in suffix; returns its path.
std::string writeInput(const uint8_t* data, size_t size, const char* suffix);

}  // namespace vorn::fuzz
