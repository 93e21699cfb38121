// PNG writing with libpng; errors come back through setjmp as libpng requires.
#include "platform/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace vorn {

namespace {

// libpng reports errors by longjmp; this handler keeps its message off stderr
// so that the caller prints the one line that names the file.
void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

bool writeRows(std::FILE* file, int width, int height, const std::vector<std::uint8_t>& rgba) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  for (int y = 0; y < height; ++y)
    png_write_row(png, const_cast<png_bytep>(rgba.data() + stride * static_cast<std::size_t>(y)));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
              std::string* failure) {
  auto fail = [&](const std::string& line) {
    if (failure)
      *failure = line;
    else
      std::fprintf(stderr, "%s\n", line.c_str());
    return false;
  };
  const bool sized = width > 0 && height > 0 &&
                     rgba.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  if (!sized) return fail("cannot write " + path + ": picture size does not match its pixels");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return fail("cannot write " + path);
  const bool written = writeRows(file, width, height, rgba);
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) return fail("cannot write " + path);
  return true;
}

}  // namespace vorn
