// libpng's error and warning handlers for our readers: warnings are dropped
// (libpng would print them), and the first error's text is kept for the one
// line the caller prints before libpng jumps back to the reader's setjmp.
#pragma once

#include <png.h>

namespace vorn {

// Handed to png_create_read_struct as the error pointer.
struct PngErrors {
  char message[160] = "";
};

void onPngError(png_structp png, png_const_charp message);
void onPngWarning(png_structp png, png_const_charp message);

}  // namespace vorn
