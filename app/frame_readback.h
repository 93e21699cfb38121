// Reading a drawn frame back from the GL: the desktop program's one place
// that calls glReadPixels for captures and shots (the browser page reads its
// still in web/main.cpp, RGBA only). It reads whatever framebuffer is bound
// for reading when read() is called (the window's back buffer when that is
// the default framebuffer), in the pixel layout the renderer hands out with a
// plain copy, and leaves the rows bottom row first, as the GL stores them.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorn {

// Byte order of one 4-byte pixel in memory.
enum class PixelLayout { Bgra, Rgba };

// One frame of 4-byte pixels, rows bottom row first with no padding.
struct FramePixels {
  int width = 0;
  int height = 0;
  PixelLayout layout = PixelLayout::Bgra;
  std::vector<uint8_t> bytes;  // width * height * 4

  size_t rowBytes() const { return static_cast<size_t>(width) * 4; }
  // Row y counted from the top of the picture.
  const uint8_t* topRow(int y) const { return bytes.data() + static_cast<size_t>(height - 1 - y) * rowBytes(); }
};

// The picture as 8-bit RGB rows, top row first (what the PNG writer takes).
void toRgbTopDown(const FramePixels& frame, std::vector<uint8_t>& rgb);

class FrameReadback {
 public:
  // layout: the byte order to ask the GL for. Under Mesa's llvmpipe both
  // 4-byte orders come back in about 0.4 to 0.6 ms a frame (RGBA a little
  // faster), either way a small part of a frame; ffmpeg takes both as they are.
  explicit FrameReadback(PixelLayout layout = PixelLayout::Rgba) : layout_(layout) {}

  // Reads the width x height corner of the current read framebuffer into
  // frame (resizing its bytes). Waits for the drawing to finish.
  void read(int width, int height, FramePixels& frame) const;

 private:
  PixelLayout layout_;
};

}  // namespace vorn
