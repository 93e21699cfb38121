// Windows: the C library's sinf and cosf give way to glibc's (linked ahead of
// it from this library), so that float sines, and with them the tracks'
// motion, round as in the Linux program.
#include <cmath>

#include "platform/glibc_sincosf.h"

extern "C" float sinf(float x) { return vorn::glibcSinf(x); }
extern "C" float cosf(float x) { return vorn::glibcCosf(x); }
