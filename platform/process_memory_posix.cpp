// Linux: the kernel's page counts in /proc/self/statm, and getrusage's peak.
#include "platform/process_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace vorn {

namespace {
constexpr double kMiB = 1024.0 * 1024.0;
}

double residentMiB() {
  long pages = 0, resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0.0;
  const int read = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  if (read != 2) return 0.0;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMiB;
}

double peakResidentMiB() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
  return static_cast<double>(usage.ru_maxrss) * 1024.0 / kMiB;  // ru_maxrss is in KiB
}

}  // namespace vorn
