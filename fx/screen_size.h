// The show's screen: the display's size in pixels, which is also the extent of
// the screen space that every full-screen pass and picture layer draws in.
#pragma once

namespace vorn {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
// The same extents as vertex coordinates of the screen space (origin top left, y down).
constexpr float kScreenRight = kScreenWidth;
constexpr float kScreenBottom = kScreenHeight;

}  // namespace vorn
