// Key selection and the quarter-sine ease, in 32-bit float throughout.
#include "scene/track.h"

#include <cmath>

namespace vorn {

namespace {
constexpr float kHalfPi = 1.5707963f;
}

void Track::addKey(std::unique_ptr<Key> key) { keys_.push_back(std::move(key)); }

void Track::clear() { keys_.clear(); }

int Track::evaluate(float t, float out[3]) const {
  const int n = keyCount();
  if (n == 0) return 0;

  // One full pass: lo is the last key at or before t, hi the first at or after t.
  int lo = 0;
  int hi = n - 1;
  for (int i = 0; i < n; ++i) {
    const float kt = keys_[static_cast<size_t>(i)]->time;
    if (kt <= t) lo = i;
    if (kt >= t && i < hi) hi = i;
  }

  const Key& a = *keys_[static_cast<size_t>(lo)];
  if (lo == hi) {
    out[0] = a.x;
    out[1] = a.y;
    out[2] = a.z;
    return 0;
  }
  const Key& b = *keys_[static_cast<size_t>(hi)];
  const float d = b.time - a.time;
  if (d == 0.0f) return 0;

  const float u = (t - a.time) * (1.0f / d);
  const float s = std::sin(u * kHalfPi);
  const float rest = 1.0f - s;
  out[0] = s * b.x + rest * a.x;
  out[1] = s * b.y + rest * a.y;
  out[2] = s * b.z + rest * a.z;
  return 1;
}

}  // namespace vorn
