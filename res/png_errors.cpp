// The handlers keep to what libpng allows in them: no allocation, a longjmp out.
#include "res/png_errors.h"

#include <cstdio>

namespace vorn {

void onPngError(png_structp png, png_const_charp message) {
  auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
  std::snprintf(errors->message, sizeof errors->message, "%s", message);
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

}  // namespace vorn
