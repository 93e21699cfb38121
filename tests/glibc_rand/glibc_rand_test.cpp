// The rand() that the browser and Windows builds carry, linked into this
// program in place of the C library's, against the C library's own (found
// past it with dlsym): the same values from the default seed and after srand.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using RandFunction = int (*)();
using SrandFunction = void (*)(unsigned);

TEST(GlibcRand, GivesTheCLibrarysSequence) {
  const auto libcRand = reinterpret_cast<RandFunction>(dlsym(RTLD_NEXT, "rand"));
  const auto libcSrand = reinterpret_cast<SrandFunction>(dlsym(RTLD_NEXT, "srand"));
  ASSERT_NE(libcRand, nullptr);
  ASSERT_NE(libcSrand, nullptr);
  ASSERT_NE(reinterpret_cast<void*>(libcRand), reinterpret_cast<void*>(&rand)) << "this program's rand is its own";
  constexpr int kDraws = 2000;  // many times round the generator's 31-word ring
  for (int i = 0; i < kDraws; ++i) ASSERT_EQ(rand(), libcRand()) << "unseeded, draw " << i;
  for (unsigned seed : {0u, 1u, 2u, 12345u, 4294967295u}) {
    srand(seed);
    libcSrand(seed);
    for (int i = 0; i < kDraws; ++i) ASSERT_EQ(rand(), libcRand()) << "seed " << seed << ", draw " << i;
  }
}

}  // namespace
