// The plain variant of the kernel and the choice between it and the FMA one
// (glibc_sincosf_fma.cpp), made once, as glibc's loader makes it.
#include "platform/glibc_sincosf.h"

#include "platform/glibc_sincosf_kernel.h"

namespace vorn {

namespace glibc_sincosf {
float sinfFma(float x);
float cosfFma(float x);
}  // namespace glibc_sincosf

namespace {

bool useFma() {
  static const bool fma = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2");
  }();
  return fma;
}

}  // namespace

float glibcSinf(float x) { return useFma() ? glibc_sincosf::sinfFma(x) : glibc_sincosf::sinOrCos(x, 0); }

float glibcCosf(float x) { return useFma() ? glibc_sincosf::cosfFma(x) : glibc_sincosf::sinOrCos(x, 1); }

}  // namespace vorn
