// Writes 8-bit RGBA pictures as PNG files through libpng. Deterministic: no
// time stamp or other varying chunk is written, so equal pixels give equal bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// rgba holds width * height * 4 bytes, rows top first, each pixel R, G, B, A.
// Returns false after printing one line on stderr naming path when the
// arguments do not describe a picture or the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

}  // namespace vorn
