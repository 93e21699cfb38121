// The music of a capture as a WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// stereo: 16-bit samples, left and right interleaved, at rate Hz. False with
// a one-line reason in error.
bool writeWav(const std::string& path, const std::vector<int16_t>& stereo, int rate, std::string& error);

}  // namespace vorn
