// Frame-time statistics for the benchmark table.
#pragma once

#include <vector>

namespace vorn {

struct FrameStats {
  long count = 0;
  double median = 0.0;  // milliseconds
  double p95 = 0.0;
  double worst = 0.0;
};

// Median and 95th percentile by the nearest-rank rule on the sorted times.
FrameStats summarise(std::vector<double> milliseconds);

}  // namespace vorn
