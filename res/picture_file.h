// Reading a picture file before it becomes a texture: the checks that keep a
// damaged or oversized file away from the decoders, and the decoding of the
// common layouts. Safe on any thread; no GL, no SDL.
#pragma once

#include <memory>
#include <string>

namespace vorn {

// True when path can be opened for reading.
bool fileExists(const std::string& path);
// Byte-wise, case-sensitive suffix test; an empty suffix always matches.
bool endsWith(const std::string& path, const std::string& suffix);

struct PictureFile {
  std::string error;      // why the picture cannot be used; empty when it can
  bool tooLarge = false;  // refused only for a side beyond maxSide
  int width = 0;
  int height = 0;
  // RGBA rows, top row first, when the file is 8-bit RGB or RGBA without a
  // transparent colour; null for other layouts, which decodePicture decodes.
  std::unique_ptr<unsigned char[]> rgba;
};

// Reads path, a PNG whose sides are at most maxSide, checked to its last row.
PictureFile readPicture(const std::string& path, int maxSide);

}  // namespace vorn
