// Demo-clock arithmetic: 32-bit float for the live clock, as the show has
// always counted; double for frame and sample positions.
#include "app/demo_clock.h"

#include <cmath>

namespace vorn {

namespace {
constexpr double kTimeSlack = 1e-6;  // frames; keeps n / fps on the right side of a bound
}

float elapsedSeconds(uint32_t previousTicks, uint32_t nowTicks) {
  const uint32_t d = nowTicks - previousTicks;
  const float seconds = static_cast<float>(d) * kMillisecondsToSeconds;
  return seconds;
}

float advanceDemoTime(float demoTime, float elapsed) {
  const float t = demoTime + elapsed;
  return t;
}

bool demoFinished(float demoTime, float length) { return demoTime > length; }

float frameTime(long n, int fps) { return static_cast<float>(static_cast<double>(n) / fps); }

long firstFrameAtOrAfter(float from, int fps) {
  return static_cast<long>(std::ceil(static_cast<double>(from) * fps - kTimeSlack));
}

long lastFrameAtOrBefore(float to, int fps) {
  return static_cast<long>(std::floor(static_cast<double>(to) * fps + kTimeSlack));
}

long frameShownAt(float t, int fps) { return lastFrameAtOrBefore(t, fps); }

long long sampleAt(float t, int rate) { return std::llround(static_cast<double>(t) * rate); }

}  // namespace vorn
