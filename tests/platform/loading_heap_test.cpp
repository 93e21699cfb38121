// malloc's loading policy on this machine's glibc: large blocks come from the
// heap while it lives, and its free memory goes back to the system when it
// ends. Making a LoadingHeap sets malloc's policy for the rest of this test
// program (one arena), as it does for the show.
#include "platform/loading_heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace vorn {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// The kilobytes /proc/self/smaps gives under `field`, summed over the
// mappings that overlap [begin, begin + bytes), and whether all of them are
// the heap.
long mappingsField(std::uintptr_t begin, std::size_t bytes, const std::string& field, bool* allHeap = nullptr) {
  std::ifstream smaps("/proc/self/smaps");
  bool inside = false;
  long sum = 0;
  if (allHeap) *allHeap = true;
  for (std::string line; std::getline(smaps, line);) {
    std::uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream head(line);
    if (head >> std::hex >> from >> dash >> to && dash == '-' && line.find(':') > line.find(' ')) {
      inside = from < begin + bytes && to > begin;
      if (inside && allHeap && line.find("[heap]") == std::string::npos) *allHeap = false;
    } else if (inside && line.rfind(field + ":", 0) == 0) {
      sum += std::stol(line.substr(field.size() + 1));
    }
  }
  return sum;
}

TEST(LoadingHeap, LargeBlocksComeFromTheHeap) {
  LoadingHeap heap;
  const std::size_t bytes = 12 * kMiB;  // a 1024 x 1024 picture's levels, and more
  auto* block = static_cast<unsigned char*>(std::malloc(bytes));
  ASSERT_NE(block, nullptr);
  std::memset(block, 1, bytes);
  bool isHeap = false;
  mappingsField(reinterpret_cast<std::uintptr_t>(block), bytes, "Rss", &isHeap);
  EXPECT_TRUE(isHeap) << "the block has a mapping of its own";
  std::free(block);
}

TEST(LoadingHeap, FreeMemoryGoesBackWhenItEnds) {
  const std::size_t bytes = 24 * kMiB;
  std::uintptr_t where = 0;
  {
    LoadingHeap heap;
    auto* block = static_cast<unsigned char*>(std::malloc(bytes));
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, bytes);
    where = reinterpret_cast<std::uintptr_t>(block);
    std::free(block);
  }
  // The heap may have shrunk past the block; either way it holds little of it.
  const long resident = mappingsField(where, bytes, "Rss");
  EXPECT_LT(resident, 8 * 1024) << "kB still resident where the freed block was";
}

}  // namespace
}  // namespace vorn
