// Demo-clock arithmetic in 32-bit float.
#include "app/main_loop.h"

namespace vorn {

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

}  // namespace vorn
