// glReadPixels of a whole frame, and the conversion to top-down RGB.
#include "app/frame_readback.h"

#include <GL/glext.h>

namespace vorn {

void toRgbTopDown(const FramePixels& frame, std::vector<uint8_t>& rgb) {
  rgb.resize(static_cast<size_t>(frame.width) * frame.height * 3);
  const int r = frame.layout == PixelLayout::Bgra ? 2 : 0;
  const int b = 2 - r;
  uint8_t* out = rgb.data();
  for (int y = 0; y < frame.height; ++y) {
    const uint8_t* p = frame.topRow(y);
    for (int x = 0; x < frame.width; ++x, p += 4, out += 3) {
      out[0] = p[r];
      out[1] = p[1];
      out[2] = p[b];
    }
  }
}

void FrameReadback::read(int width, int height, FramePixels& frame) const {
  frame.width = width;
  frame.height = height;
  frame.layout = layout_;
  frame.bytes.resize(static_cast<size_t>(width) * height * 4);
  // The window's framebuffer reads its back buffer, where the frame was drawn
  // before the swap; a framebuffer object keeps the read buffer its owner set.
  GLint readFramebuffer = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
  if (readFramebuffer == 0) glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);  // 4-byte pixels: rows are never padded
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  // Byte order B, G, R, A or R, G, B, A in memory on every host.
  const GLenum format = layout_ == PixelLayout::Bgra ? GL_BGRA : GL_RGBA;
  glReadPixels(0, 0, width, height, format, GL_UNSIGNED_BYTE, frame.bytes.data());
}

}  // namespace vorn
