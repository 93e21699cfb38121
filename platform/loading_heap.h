// While the show loads, the GL driver allocates its texture storage (tens of
// megabytes) and fills it at once. On fresh 4 KiB pages every page costs a
// fault, which here costs as much as the copy itself; on 2 MiB pages the same
// memory costs a few dozen. A LoadingHeap puts the next large blocks on such
// pages for as long as it lives.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace vorn {

class LoadingHeap {
 public:
  // Grows the heap by 96 MiB of address space (no memory yet) that the
  // kernel backs with 2 MiB pages where it can, and has malloc serve blocks
  // below 32 MiB from the heap instead of from mappings of their own. Every
  // thread allocates from that one heap, for the rest of the run: make it
  // before any other thread allocates. A hint: where the system cannot give
  // such pages, only the heap's growth and malloc's settings change.
  LoadingHeap();
  // Later faults in that space take 4 KiB pages again, malloc's thresholds
  // go to the limit of glibc's own adjustment (32 MiB mapped, 64 MiB kept at
  // the heap's top), and the free memory goes back to the system. Pages
  // already made stay as they are.
  ~LoadingHeap();
  LoadingHeap(const LoadingHeap&) = delete;
  LoadingHeap& operator=(const LoadingHeap&) = delete;

  // True when the kernel gives 2 MiB pages only to memory that asks for
  // them, the one case in which the heap asks. In "always" mode the heap gets
  // them unasked (and a request to stop would outlast loading); in "never"
  // mode asking does nothing.
  static bool hugePagesOnRequest();

 private:
  std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ranges_;  // [begin, end), 2 MiB aligned
};

}  // namespace vorn
