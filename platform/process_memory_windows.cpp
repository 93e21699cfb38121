// Windows: the working set and its peak, from GetProcessMemoryInfo.
#include "platform/process_memory.h"

#include <windows.h>

#include <psapi.h>  // after windows.h, whose types it uses

namespace vorn {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

bool counters(PROCESS_MEMORY_COUNTERS& c) {
  c.cb = sizeof c;
  return GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c) != 0;
}

}  // namespace

double residentMiB() {
  PROCESS_MEMORY_COUNTERS c{};
  return counters(c) ? static_cast<double>(c.WorkingSetSize) / kMiB : 0.0;
}

double peakResidentMiB() {
  PROCESS_MEMORY_COUNTERS c{};
  return counters(c) ? static_cast<double>(c.PeakWorkingSetSize) / kMiB : 0.0;
}

}  // namespace vorn
