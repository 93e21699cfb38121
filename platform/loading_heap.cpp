// glibc's malloc on Linux with transparent huge pages in "madvise" or
// "always" mode; elsewhere the class does nothing.
#include "platform/loading_heap.h"

#if defined(__linux__) && defined(__GLIBC__) && !defined(__EMSCRIPTEN__)
#define VORN_LOADING_HEAP 1
#include <malloc.h>
#include <sys/mman.h>

#include <cstdlib>
#include <fstream>
#include <string>
#endif

#include <cstddef>

namespace vorn {

#ifdef VORN_LOADING_HEAP
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::uintptr_t kHugePage = 2 * kMiB;
// What loading takes from the GL thread's heap: about 28 MiB for the driver
// while the display opens and 35 MiB for the textures and render targets.
constexpr std::size_t kLoadingHeapBytes = 96 * kMiB;
// The heap is grown in blocks below the mapping threshold, so that malloc
// takes them from the heap and not from mappings of their own.
constexpr std::size_t kGrowBlock = 16 * kMiB;
// Bytes between one heap block and the next: malloc's chunk header.
constexpr std::uintptr_t kSeam = 64;
// While loading: blocks up to the largest threshold glibc allows come from
// the heap, and the grown heap is never given back early.
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

bool LoadingHeap::hugePagesOnRequest() {
  std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string line;
  return std::getline(mode, line) && line.find("[madvise]") != std::string::npos;
}

LoadingHeap::LoadingHeap() {
  const bool ask = hugePagesOnRequest();
  // The loading threads allocate from this one heap too: a thread's own
  // heap keeps its free top when it is trimmed, so the pictures' levels they
  // decoded would stay resident after loading. glibc fixes the number of
  // heaps when a second thread first allocates, so one heap it stays; the
  // threads left after loading (sound, the GL's rasterizers) allocate little.
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_MMAP_THRESHOLD, kLoadingMmapThreshold);
  mallopt(M_TRIM_THRESHOLD, kLoadingTrimThreshold);
  // The blocks are held together so that they lie one after the other at
  // the heap's top, then freed so that they become its free top again.
  // Blocks that touch (a chunk header apart) are asked for as one range, so
  // that no 2 MiB page is lost at their seams.
  std::vector<void*> blocks;
  std::vector<std::pair<std::uintptr_t, std::uintptr_t>> spans;
  for (std::size_t grown = 0; grown < kLoadingHeapBytes; grown += kGrowBlock) {
    void* block = std::malloc(kGrowBlock);
    if (!block) break;
    blocks.push_back(block);
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    if (!spans.empty() && at >= spans.back().second && at - spans.back().second <= kSeam)
      spans.back().second = at + kGrowBlock;
    else
      spans.emplace_back(at, at + kGrowBlock);
  }
  for (const auto& [at, past] : spans) {
    const std::uintptr_t begin = (at + kHugePage - 1) / kHugePage * kHugePage;
    const std::uintptr_t end = past / kHugePage * kHugePage;
    if (ask && end > begin && madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE) == 0)
      ranges_.emplace_back(begin, end);
  }
  for (void* block : blocks) std::free(block);
}

LoadingHeap::~LoadingHeap() {
  for (const auto& [begin, end] : ranges_) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_NOHUGEPAGE);
  mallopt(M_MMAP_THRESHOLD, kShowMmapThreshold);
  mallopt(M_TRIM_THRESHOLD, kShowTrimThreshold);
  malloc_trim(0);
}

#else

bool LoadingHeap::hugePagesOnRequest() { return false; }
LoadingHeap::LoadingHeap() = default;
LoadingHeap::~LoadingHeap() = default;

#endif

}  // namespace vorn
