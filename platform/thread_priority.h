// Thread priority for background work. One file per system; CMake picks it.
#pragma once

namespace vorn {

// Puts the calling thread at the system's lowest scheduling priority, so that
// it takes only what the other threads of the machine leave idle.
void lowerThisThreadPriority();

}  // namespace vorn
