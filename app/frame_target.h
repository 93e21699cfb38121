// The off-screen frame every pass draws into (a framebuffer object with a
// colour texture and a depth buffer as precise as the window's), and its
// presentation: scaled into the window's centred rectangle of the frame's
// aspect, black around it. Needs the entry points of gl::loadFramebufferObject.
#pragma once

#include <GL/gl.h>

#include <memory>
#include <string>

namespace vorn {

// A rectangle in GL window coordinates: pixels, origin at the bottom left.
struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PictureRect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

// The largest rectangle of the frame's aspect that fits the window, centred;
// sides rounded to the nearest pixel, odd leftovers go to the right and top.
PictureRect fitPicture(int windowWidth, int windowHeight, int frameWidth, int frameHeight);

class FrameTarget {
 public:
  // Creates the frame on the current context while the window's framebuffer
  // is bound, copying its colour and depth precision. Returns null with the
  // reason in `why` when the GL cannot make a complete frame of that kind.
  static std::unique_ptr<FrameTarget> create(int width, int height, std::string& why);
  ~FrameTarget();  // deletes the GL objects; the context must still exist
  FrameTarget(const FrameTarget&) = delete;
  FrameTarget& operator=(const FrameTarget&) = delete;

  // Directs drawing, clears, copies to textures and reads to the frame.
  void bind() const;
  // Draws the frame into the window's back buffer at fitPicture's rectangle
  // with linear filtering and black around it. Every GL state it touches is
  // put back; the window's framebuffer stays bound on return.
  void present(int windowWidth, int windowHeight) const;
  // True while the frame's GL objects still exist in the current context.
  bool alive() const;
  GLint depthBits() const { return depthBits_; }

 private:
  FrameTarget() = default;
  int width_ = 0, height_ = 0;
  GLuint framebuffer_ = 0, colour_ = 0, depth_ = 0;
  GLint depthBits_ = 0;
};

}  // namespace vorn
