// glibc's malloc; elsewhere the class does nothing.
#include "platform/loading_heap.h"

#include <cstddef>  // and, with glibc, __GLIBC__

#if defined(__linux__) && defined(__GLIBC__) && !defined(__EMSCRIPTEN__)
#define VORN_LOADING_HEAP 1
#include <malloc.h>
#endif

namespace vorn {

#ifdef VORN_LOADING_HEAP
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
// While loading: blocks up to the largest threshold glibc allows come from
// the heap, and what loading frees there is reused, not given back early.
constexpr int kLoadingMmapThreshold = static_cast<int>(32 * kMiB);
constexpr int kLoadingTrimThreshold = static_cast<int>(512 * kMiB);
// After loading: where glibc's own adjustment goes at its limit (a freed
// mapping of 32 MiB). A lower trim threshold gives the heap's top back and
// faults it in again within a frame: the tile wave's first frames took
// 0.2-0.45 s at 8 MiB, with up to 36,000 faults, and 0.05 s here, at the
// same peak.
constexpr int kShowMmapThreshold = static_cast<int>(32 * kMiB);
constexpr int kShowTrimThreshold = static_cast<int>(64 * kMiB);

}  // namespace

LoadingHeap::LoadingHeap() {
  // The loading threads allocate from this one heap too: a thread's own
  // heap keeps its free top when it is trimmed, so the pictures' levels they
  // decoded would stay resident after loading. glibc fixes the number of
  // heaps when a second thread first allocates, so one heap it stays; the
  // threads left after loading (sound, the GL's rasterizers) allocate little.
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_MMAP_THRESHOLD, kLoadingMmapThreshold);
  mallopt(M_TRIM_THRESHOLD, kLoadingTrimThreshold);
}

LoadingHeap::~LoadingHeap() {
  mallopt(M_MMAP_THRESHOLD, kShowMmapThreshold);
  mallopt(M_TRIM_THRESHOLD, kShowTrimThreshold);
  malloc_trim(0);
}

#else

LoadingHeap::LoadingHeap() = default;
LoadingHeap::~LoadingHeap() = default;

#endif

}  // namespace vorn
