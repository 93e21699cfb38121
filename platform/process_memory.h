// The process's own memory figures, for the benchmark's table. One file per
// system; CMake picks it.
#pragma once

namespace vorn {

// Memory resident now (Linux: the resident set; Windows: the working set), in
// MiB; 0 when the system does not say.
double residentMiB();

// The most that was resident at once since the process began, in MiB; 0 when
// the system does not say.
double peakResidentMiB();

}  // namespace vorn
