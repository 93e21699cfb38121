// Nearest-rank order statistics.
#include "app/frame_stats.h"

#include <algorithm>
#include <cmath>

namespace vorn {

namespace {

double nearestRank(const std::vector<double>& sorted, double p) {
  const auto n = static_cast<double>(sorted.size());
  const auto rank = static_cast<size_t>(std::max(1.0, std::ceil(p * n)));
  return sorted[std::min(rank, sorted.size()) - 1];
}

}  // namespace

FrameStats summarise(std::vector<double> milliseconds) {
  FrameStats s;
  if (milliseconds.empty()) return s;
  std::sort(milliseconds.begin(), milliseconds.end());
  s.count = static_cast<long>(milliseconds.size());
  s.median = nearestRank(milliseconds, 0.5);
  s.p95 = nearestRank(milliseconds, 0.95);
  s.worst = milliseconds.back();
  return s;
}

}  // namespace vorn
