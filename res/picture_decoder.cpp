// The libpng decoder: the same libpng transformations SDL_image 1.2 asks for,
// then the surface SDL_image would have made from the rows (one channel: a
// palette; more: 8-bit fields under little-endian R, G, B and A masks) read
// back pixel by pixel the way SDL_GetRGBA and the colour key read it.
#include "res/picture_decoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "res/png_errors.h"

namespace vorn {

namespace {

constexpr int kPaletteSize = 256;
constexpr unsigned char kOpaque = 255;

// What the rows mean once libpng has transformed them.
struct Layout {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  size_t rowBytes = 0;
  int channels = 0;  // of 8 bits each
  int passes = 1;
  bool greyRamp = false;                 // one channel of grey rather than palette indices
  png_color palette[kPaletteSize] = {};  // entries past the file's stay black, as in a new SDL palette
  // The colour key: a palette index, or an RGB colour mapped into the
  // surface's own pixel value as SDL_MapRGB does (from keyRgb, once the
  // channel count is known).
  bool keyed = false;
  uint32_t key = 0;
  bool keyFromColour = false;
  unsigned char keyRgb[3] = {};  // the tRNS colour's samples cut to their low byte, as SDL_image casts them
};

// SDL_image's choice for a tRNS chunk: a palette whose entries are all
// opaque but for one fully transparent entry keeps indices and keys that
// entry; any other palette transparency is expanded to RGBA; a grey or RGB
// colour becomes a key on the surface's pixel value.
void chooseTransparency(png_structp png, png_infop info, int colourType, Layout* layout) {
  if (!png_get_valid(png, info, PNG_INFO_tRNS)) return;
  png_bytep alphas = nullptr;
  int count = 0;
  png_color_16p colour = nullptr;
  png_get_tRNS(png, info, &alphas, &count, &colour);
  if (colourType != PNG_COLOR_TYPE_PALETTE) {
    layout->keyed = true;
    layout->keyFromColour = true;
    layout->keyRgb[0] = static_cast<unsigned char>(colour->red);
    layout->keyRgb[1] = static_cast<unsigned char>(colour->green);
    layout->keyRgb[2] = static_cast<unsigned char>(colour->blue);
    return;
  }
  int transparent = -1;
  for (int i = 0; i < count; ++i) {
    if (alphas[i] == 0 && transparent < 0) {
      transparent = i;
    } else if (alphas[i] != kOpaque) {
      png_set_expand(png);
      return;
    }
  }
  layout->keyed = transparent >= 0;
  layout->key = static_cast<uint32_t>(transparent);
}

// Each libpng stage sets its own jump point; nothing with a destructor lives
// in these frames, so a longjmp out of libpng skips no clean-up.
bool readLayout(png_structp png, png_infop info, FILE* f, Layout* layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  png_read_info(png, info);
  const int colourType = png_get_color_type(png, info);
  png_set_strip_16(png);
  png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY) png_set_expand(png);
  chooseTransparency(png, info, colourType, layout);
  if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  layout->passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout->width = png_get_image_width(png, info);
  layout->height = png_get_image_height(png, info);
  layout->rowBytes = png_get_rowbytes(png, info);
  layout->channels = png_get_channels(png, info);
  layout->greyRamp = png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY;
  png_colorp entries = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &entries, &count) && count > 0)
    std::memcpy(layout->palette, entries,
                sizeof(png_color) * static_cast<size_t>(count < kPaletteSize ? count : kPaletteSize));
  return true;
}

bool readRows(png_structp png, const Layout* layout, unsigned char* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int pass = 0; pass < layout->passes; ++pass)
    for (png_uint_32 y = 0; y < layout->height; ++y) png_read_row(png, rows + y * layout->rowBytes, nullptr);
  return true;
}

// SDL_image's surface for each channel count, read as the texture's
// conversion reads it: the pixel value in memory order, its colours by the
// surface's format, alpha 0 where the value equals the key.
void toRgba(const Layout& layout, const unsigned char* rows, unsigned char* out) {
  uint32_t key = layout.key;
  if (layout.keyFromColour) {
    const unsigned char* c = layout.keyRgb;
    key = static_cast<uint32_t>(c[0] | c[1] << 8 | c[2] << 16) | (layout.channels == 4 ? 0xFF000000u : 0u);
  }
  for (png_uint_32 y = 0; y < layout.height; ++y) {
    const unsigned char* p = rows + y * layout.rowBytes;
    for (png_uint_32 x = 0; x < layout.width; ++x, p += layout.channels, out += 4) {
      uint32_t value = 0;
      switch (layout.channels) {
        case 1: {  // 8-bit palette: the file's entries, or a grey ramp
          value = p[0];
          const png_color c = layout.greyRamp ? png_color{p[0], p[0], p[0]} : layout.palette[p[0]];
          out[0] = c.red;
          out[1] = c.green;
          out[2] = c.blue;
          out[3] = kOpaque;
          break;
        }
        case 2:  // grey and alpha under RGB masks of 8 bits each, the blue one past the pixel
          value = static_cast<uint32_t>(p[0] | p[1] << 8);
          out[0] = p[0];
          out[1] = p[1];
          out[2] = 0;
          out[3] = kOpaque;
          break;
        case 3:
          value = static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
          out[0] = p[0];
          out[1] = p[1];
          out[2] = p[2];
          out[3] = kOpaque;
          break;
        default:
          value = static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
          std::memcpy(out, p, 4);
          break;
      }
      if (layout.keyed && value == key) out[3] = 0;
    }
  }
}

}  // namespace

bool decodePngLikeSdlImage(const std::string& path, PictureFile& picture) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    picture.error = "the file cannot be opened";
    return false;
  }
  PngErrors errors;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, onPngError, onPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  Layout layout;
  std::vector<unsigned char> rows;
  if (!info) {
    picture.error = "out of memory";
  } else if (!readLayout(png, info, f, &layout) || layout.channels < 1 || layout.channels > 4) {
    picture.error = std::string("cannot decode it (") + errors.message + ")";
  } else {
    rows.resize(layout.rowBytes * layout.height);
    if (!readRows(png, &layout, rows.data())) picture.error = std::string("cannot decode it (") + errors.message + ")";
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  std::fclose(f);
  if (!picture.error.empty()) return false;
  picture.width = static_cast<int>(layout.width);
  picture.height = static_cast<int>(layout.height);
  picture.rgba.reset(new unsigned char[static_cast<size_t>(layout.width) * layout.height * 4]);
  toRgba(layout, rows.data(), picture.rgba.get());
  return true;
}

}  // namespace vorn
