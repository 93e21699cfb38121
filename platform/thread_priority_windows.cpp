// Windows: the thread's priority within its process's class.
#include "platform/thread_priority.h"

#include <windows.h>

namespace vorn {

void lowerThisThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE); }

}  // namespace vorn
