// The demo clock: demo time grows by the milliseconds between two tick
// readings, converted to seconds in 32-bit float, exactly as the live loop does.
#pragma once

#include <cstdint>

namespace vorn {

constexpr float kDemoLength = 176.0f;  // seconds; the loop ends once the time exceeds it
constexpr float kMillisecondsToSeconds = 0.001f;

// Seconds elapsed between two readings of the millisecond counter; unsigned
// arithmetic, so a wrap of the counter still gives the small true difference.
float elapsedSeconds(uint32_t previousTicks, uint32_t nowTicks);

// The demo time after one pass that measured `elapsed` seconds.
float advanceDemoTime(float demoTime, float elapsed);

// True once the frame just drawn at demoTime was the last: strictly past the end.
bool demoFinished(float demoTime, float length = kDemoLength);

}  // namespace vorn
