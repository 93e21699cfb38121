// The capture read-back: both 4-byte layouts give, once turned into top-down
// RGB, exactly the frame the GL's own RGB read gives.
#include "app/frame_readback.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fx/screen_size.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

class FrameReadbackTest : public test::GlTest {};

// Rows of different colours and a gradient across, so a flipped, mirrored or
// channel-swapped read shows.
void drawPattern() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, kScreenWidth, kScreenHeight, 0.0, -1.0, 1.0);
  glBegin(GL_QUADS);
  glColor3ub(250, 10, 60);
  glVertex2f(0.0f, 0.0f);
  glColor3ub(5, 200, 90);
  glVertex2f(kScreenWidth, 0.0f);
  glColor3ub(30, 40, 220);
  glVertex2f(kScreenWidth, kScreenHeight);
  glColor3ub(120, 130, 0);
  glVertex2f(0.0f, kScreenHeight);
  glEnd();
}

TEST_F(FrameReadbackTest, EveryLayoutGivesTheGlsRgbFrame) {
  drawPattern();
  std::vector<uint8_t> expected(static_cast<size_t>(kScreenWidth) * kScreenHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, expected.data());
  std::vector<uint8_t> topDown(expected.size());
  const size_t row = static_cast<size_t>(kScreenWidth) * 3;
  for (int y = 0; y < kScreenHeight; ++y)
    std::memcpy(topDown.data() + y * row, expected.data() + (kScreenHeight - 1 - y) * row, row);

  for (const PixelLayout layout : {PixelLayout::Bgra, PixelLayout::Rgba}) {
    SCOPED_TRACE(layout == PixelLayout::Bgra ? "BGRA" : "RGBA");
    FramePixels frame;
    FrameReadback(layout).read(kScreenWidth, kScreenHeight, frame);
    EXPECT_EQ(frame.layout, layout);
    ASSERT_EQ(frame.bytes.size(), static_cast<size_t>(kScreenWidth) * kScreenHeight * 4);
    std::vector<uint8_t> rgb;
    toRgbTopDown(frame, rgb);
    EXPECT_TRUE(rgb == topDown);
  }
}

}  // namespace
}  // namespace vorn
