// Writes pictures as PNG files through libpng: the one PNG writer of the asset
// generator, the offline frames and the tests. Deterministic: no time stamp or
// other varying chunk is written, so equal samples give equal bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// PNG's sample layouts; each pixel's samples in the order PNG stores them.
enum class PngColour { Grey, GreyAlpha, Rgb, Rgba, Palette };

struct PngPaletteEntry {
  std::uint8_t r, g, b, a;
};

struct PngFormat {
  PngColour colour = PngColour::Rgba;
  int bitDepth = 8;             // 8, or 16 with big-endian samples (not with Palette)
  bool bottomRowFirst = false;  // rows in the order glReadPixels returns them
  int compressionLevel = -1;    // zlib level 1-9, lower is faster; -1 keeps libpng's default
  // Palette only: one byte per pixel indexes these entries (at most 256). A
  // transparency chunk is written when any entry is not opaque.
  std::vector<PngPaletteEntry> palette;
};

// samples: height packed rows of width pixels. Returns false with one line
// naming path in error when the arguments do not describe a picture or the
// file cannot be written; a partly written file is removed.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& samples,
              std::string& error, const PngFormat& format = {});

}  // namespace vorn
