// The kernel compiled for FMA and AVX2 with multiply-adds contracted, as
// glibc compiles its FMA variant (CMake gives this file those options).
#include "platform/glibc_sincosf_kernel.h"

namespace vorn::glibc_sincosf {

float sinfFma(float x) { return sinOrCos(x, 0); }
float cosfFma(float x) { return sinOrCos(x, 1); }

}  // namespace vorn::glibc_sincosf
