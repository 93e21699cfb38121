// Writes 8-bit RGBA pictures as PNG files through libpng. Deterministic: no
// time stamp or other varying chunk is written, so equal pixels give equal bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// rgba holds width * height * 4 bytes, rows top first, each pixel R, G, B, A.
// Returns false when the arguments do not describe a picture or the file
// cannot be written, after printing one line on stderr naming path, or, when
// failure is given, after putting that line (without its newline) there instead.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
              std::string* failure = nullptr);

}  // namespace vorn
