// Window resizes reported by SDL, kept until the display takes them. The
// Escape query drains SDL's event queue, so it hands resizes over here.
#pragma once

namespace vorn {

// Remembers the latest size the user gave the window, in pixels.
void noteWindowResize(int width, int height);

// Takes the latest resize noted or still in SDL's queue; false when there is none.
bool takeWindowResize(int& width, int& height);

}  // namespace vorn
