// Reading a picture file on any thread: the checks before decoding, and the
// decoding itself where the file's layout is 8-bit RGB or RGBA.
#include "res/picture_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "platform/prefault.h"
#include "platform/regular_file.h"
#include "res/png_errors.h"

namespace vorn {

namespace {

struct PngShape {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  size_t rowBytes = 0;
  int passes = 1;
  // 8-bit RGB or RGBA without a transparent colour: read as RGBA here gives
  // exactly the bytes decodePicture would, so the check's own
  // decoding is kept instead of decoding the file a second time.
  bool rgba = false;
};

// Each libpng stage sets its own jump point; nothing with a destructor lives
// in these frames, so a longjmp out of libpng skips no clean-up.
bool readPngHeader(png_structp png, png_infop info, FILE* f, PngShape* shape) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  const int colourType = png_get_color_type(png, info);
  shape->rgba = png_get_bit_depth(png, info) == 8 && !png_get_valid(png, info, PNG_INFO_tRNS) &&
                (colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA);
  if (shape->rgba && colourType == PNG_COLOR_TYPE_RGB) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  shape->passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  shape->width = png_get_image_width(png, info);
  shape->height = png_get_image_height(png, info);
  shape->rowBytes = png_get_rowbytes(png, info);
  return true;
}

// Decodes every row, into rows[y] when rows is given (each pass of an
// interlaced file adds to the row it left), else all into one scratch row.
// After the last row libpng finishes the image data and checks the checksum
// of its last chunk, so data that is cut or damaged anywhere is refused; what
// follows the image data (the end chunk) is not read, as the decoder does
// not need it either.
bool readPngRows(png_structp png, const PngShape* shape, unsigned char* scratch, unsigned char* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int pass = 0; pass < shape->passes; ++pass)
    for (png_uint_32 y = 0; y < shape->height; ++y)
      png_read_row(png, rows ? rows + y * shape->rowBytes : scratch, nullptr);
  return true;
}

// A PNG is read through once with our own libpng handlers before a decoder
// sees it: SDL_image's libpng prints its own error line on a damaged file, and
// a header can claim a size that is not worth decoding.
// Empty when the file is a PNG that decodes fully within maxSide; otherwise
// what is wrong with it. Other formats are refused too: SDL_image would try
// every decoder it has on them, for pictures the production never uses.
// When the picture's layout allows (PngShape::rgba), its RGBA rows, top row
// first, are left in decoded; otherwise decoded.rgba stays empty.
std::string checkPng(const std::string& path, int maxSide, PictureFile& decoded) {
  FILE* f = openAssetFile(path.c_str(), "rb");
  if (!f) return "the file cannot be opened";
  unsigned char signature[8];
  if (std::fread(signature, 1, sizeof signature, f) != sizeof signature || png_sig_cmp(signature, 0, 8) != 0) {
    const bool unreadable = std::ferror(f) != 0;
    std::fclose(f);
    return unreadable ? "the file cannot be read" : "not a PNG file";
  }
  PngErrors check;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &check, onPngError, onPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::string why;
  PngShape shape;
  if (!info) {
    why = "out of memory";
  } else if (!readPngHeader(png, info, f, &shape)) {
    why = std::string("damaged or truncated PNG (") + check.message + ")";
  } else if (shape.width == 0 || shape.height == 0 || shape.width > static_cast<png_uint_32>(maxSide) ||
             shape.height > static_cast<png_uint_32>(maxSide)) {
    why = std::to_string(shape.width) + " x " + std::to_string(shape.height) +
          " pixels is beyond the GL's largest texture side of " + std::to_string(maxSide);
    decoded.tooLarge = true;
  } else {
    std::vector<unsigned char> row(shape.rowBytes);
    if (shape.rgba) {
      decoded.rgba.reset(new unsigned char[shape.rowBytes * shape.height]);
      prefault(decoded.rgba.get(), shape.rowBytes * shape.height);
    }
    if (!readPngRows(png, &shape, row.data(), decoded.rgba.get())) {
      why = std::string("damaged or truncated PNG (") + check.message + ")";
      decoded.rgba.reset();
    }
    decoded.width = static_cast<int>(shape.width);
    decoded.height = static_cast<int>(shape.height);
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  std::fclose(f);
  return why;
}
}  // namespace

bool fileExists(const std::string& path) {
  FILE* f = openAssetFile(path.c_str(), "r");
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool endsWith(const std::string& path, const std::string& suffix) {
  if (path.size() < suffix.size()) return false;
  return path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

PictureFile readPicture(const std::string& path, int maxSide) {
  PictureFile file;
  if (!fileExists(path)) {
    file.error = "the file cannot be opened";
  } else if (!endsWith(path, "png")) {
    file.error = "the name does not end in \"png\"";
  } else {
    file.error = checkPng(path, maxSide, file);
  }
  return file;
}

}  // namespace vorn
