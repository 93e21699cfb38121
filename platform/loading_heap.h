// malloc's policy for the whole run, in two phases: while the show loads,
// and after. The program's entry makes one LoadingHeap before any other
// thread starts and ends it once the Engine is built; nothing else does, so
// test programs keep the C library's own policy unless a test asks for it.
#pragma once

namespace vorn {

class LoadingHeap {
 public:
  // Every thread allocates from one heap for the rest of the run, and blocks
  // below 32 MiB come from that heap instead of mappings of their own, which
  // it keeps rather than gives back while loading. Make it before any other
  // thread allocates. Where malloc is not glibc's, nothing changes.
  LoadingHeap();
  // malloc's thresholds go to the limit of glibc's own adjustment (32 MiB
  // mapped, 64 MiB kept at the heap's top), and the free memory goes back to
  // the system.
  ~LoadingHeap();
  LoadingHeap(const LoadingHeap&) = delete;
  LoadingHeap& operator=(const LoadingHeap&) = delete;
};

}  // namespace vorn
