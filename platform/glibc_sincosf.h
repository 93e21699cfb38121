// sinf() and cosf() with the GNU C library's results, bit for bit. Tracks
// and screen effects compute in float, and the glibc functions round about
// one value in eighty differently from a correctly rounded sine (which other
// C libraries give): enough to move a pixel. The Windows build puts these
// in place of its C library's own (platform/maths_windows.cpp).
#pragma once

namespace vorn {

// As glibc 2.28 and later on x86-64: the variant compiled for FMA and AVX2
// where the processor has both, as glibc's own choice at load time.
float glibcSinf(float x);
float glibcCosf(float x);

}  // namespace vorn
