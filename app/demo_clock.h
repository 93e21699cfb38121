// Demo-clock arithmetic. Live: demo time grows by the milliseconds between two
// tick readings, converted to seconds in 32-bit float. Fixed step (offline
// runs): frame n shows demo time n / fps.
#pragma once

#include <cstdint>

namespace vorn {

constexpr float kShowLength = 176.0f;  // seconds; the show ends once the time exceeds it
constexpr float kMillisecondsToSeconds = 0.001f;

// Seconds elapsed between two readings of the millisecond counter; unsigned
// arithmetic, so a wrap of the counter still gives the small true difference.
float elapsedSeconds(uint32_t previousTicks, uint32_t nowTicks);

// The demo time after one pass that measured `elapsed` seconds.
float advanceDemoTime(float demoTime, float elapsed);

// True once the frame just drawn at demoTime was the last: strictly past the end.
bool demoFinished(float demoTime, float length = kShowLength);

// Demo time shown by frame n at fps frames per second.
float frameTime(long n, int fps);
// First and last frame whose times lie inside [from, to]; a bound less than a
// millionth of a frame away from a frame's time counts as that time, so that
// float bounds like 0.1 at 10 fps take the frame they name.
long firstFrameAtOrAfter(float from, int fps);
long lastFrameAtOrBefore(float to, int fps);
// Frame a capture shows at time t: the last frame that starts at or before t.
long frameShownAt(float t, int fps);
// Sample of the mixing rate `rate` at which demo time t begins.
long long sampleAt(float t, int rate);

}  // namespace vorn
