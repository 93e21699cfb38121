// The window or full-screen surface the show appears in: SDL set-up, the GL
// attributes, swap control and re-sizing. Never changes the display's mode.
#pragma once

namespace vorn {

struct DisplayOptions;

struct SurfaceSize {
  int width = 0, height = 0;  // pixels of the window or full-screen surface
};

// Initialises SDL video and opens the surface the frame is presented in:
// full screen at the desktop's current size, or a window of the asked size
// (the frame's size when none), resizable when asked. Returns false after
// one line on stderr naming what is missing.
bool openDisplay(const DisplayOptions& options, SurfaceSize& size);

// Re-opens the surface at exactly the frame's size, full screen or not as
// asked, for drawing straight into the window when there is no off-screen frame.
bool openDirectDisplay(const DisplayOptions& options, SurfaceSize& size);

// Sets the surface to the size the user gave the window. Returns false,
// keeping `size`, when SDL refuses it.
bool resizeDisplay(const DisplayOptions& options, int width, int height, SurfaceSize& size);

// Swap control as SDL reports it after the mode is set: 1 waits for the
// display's refresh, 0 does not, -1 when SDL cannot tell.
int reportedSwapControl();

}  // namespace vorn
