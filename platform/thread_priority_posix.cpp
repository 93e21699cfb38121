// Linux: the thread's own nice value (threads have their own on Linux). The
// browser build has no threads; there the call does nothing.
#include "platform/thread_priority.h"

#ifndef __EMSCRIPTEN__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace vorn {

void lowerThisThreadPriority() {
#ifndef __EMSCRIPTEN__
  constexpr int kLowestNice = 19;
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kLowestNice);
#endif
}

}  // namespace vorn
