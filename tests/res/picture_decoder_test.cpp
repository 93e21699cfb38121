// The libpng decoder against the build's decoder (SDL_image on Linux): every
// PNG kind the texture loader accepts, written here with libpng, must give
// the same RGBA pixels both ways, and a file one refuses the other refuses.
#include "res/picture_decoder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace vorn {
namespace {

enum class Transparency {
  None,
  OneClearEntry,       // palette: one entry alpha 0, the others opaque
  AllEntriesOpaque,    // palette: a tRNS chunk that makes nothing transparent
  TwoClearEntries,     // palette: more than one entry alpha 0
  TranslucentEntries,  // palette: alphas between 0 and 255
  FirstPixelColour,    // grey or RGB: the first pixel's colour is transparent
  BlackColour,         // grey: black is transparent
};

struct Kind {
  const char* name;
  int colourType;  // PNG_COLOR_TYPE_*
  int bitDepth;
  bool interlaced;
  Transparency transparency;
  int paletteEntries;  // palette only; indices run over all the bit depth allows
  bool damagedEnd;     // the end chunk's checksum is wrong
};

constexpr int kWidth = 13;  // odd sides: partly filled bytes and interlace passes
constexpr int kHeight = 11;

int channelsOf(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

// Rows of samples packed as the file stores them: pseudo-random values of the
// kind's bit depth, with black pixels among them.
std::vector<png_byte> makeRows(const Kind& k) {
  const int samplesPerRow = kWidth * channelsOf(k.colourType);
  const size_t rowBytes = (static_cast<size_t>(samplesPerRow) * k.bitDepth + 7) / 8;
  std::vector<png_byte> rows(rowBytes * kHeight, 0);
  uint32_t state = 12345;
  const uint32_t top = (1u << k.bitDepth) - 1;
  for (int y = 0; y < kHeight; ++y) {
    for (int s = 0; s < samplesPerRow; ++s) {
      state = state * 1103515245u + 12345u;
      const uint32_t v = (s / channelsOf(k.colourType)) % 5 == 4 ? 0 : (state >> 8) & top;
      png_byte* row = &rows[y * rowBytes];
      if (k.bitDepth == 16) {
        row[2 * s] = static_cast<png_byte>(v >> 8);
        row[2 * s + 1] = static_cast<png_byte>(v);
      } else {
        const int bit = s * k.bitDepth;
        row[bit / 8] |= static_cast<png_byte>(v << (8 - k.bitDepth - bit % 8));
      }
    }
  }
  return rows;
}

// Writes the kind with libpng; false when libpng refuses.
bool writeKind(const std::string& path, const Kind& k) {
  std::vector<png_byte> rows = makeRows(k);
  const size_t rowBytes = rows.size() / kHeight;
  std::vector<png_bytep> rowPointers;
  for (int y = 0; y < kHeight; ++y) rowPointers.push_back(&rows[y * rowBytes]);
  std::vector<png_color> palette;
  for (int i = 0; i < k.paletteEntries; ++i)
    palette.push_back(
        {static_cast<png_byte>(i * 37), static_cast<png_byte>(255 - i * 11), static_cast<png_byte>(i * 5)});
  std::vector<png_byte> alphas;
  switch (k.transparency) {
    case Transparency::OneClearEntry: alphas = {255, 255, 0, 255}; break;
    case Transparency::AllEntriesOpaque: alphas = {255, 255, 255}; break;
    case Transparency::TwoClearEntries: alphas = {0, 255, 0}; break;
    case Transparency::TranslucentEntries: alphas = {10, 128, 0, 255, 200}; break;
    default: break;
  }
  png_color_16 colour{};
  const png_byte* first = &rows[0];
  const auto sample = [&](int i) -> png_uint_16 {
    if (k.bitDepth == 16) return static_cast<png_uint_16>(first[2 * i] << 8 | first[2 * i + 1]);
    return static_cast<png_uint_16>(first[0] >> (8 - k.bitDepth) & ((1 << k.bitDepth) - 1));
  };
  if (k.transparency == Transparency::FirstPixelColour) {
    if (k.colourType == PNG_COLOR_TYPE_GRAY) {
      colour.gray = sample(0);
    } else {
      colour.red = k.bitDepth == 16 ? sample(0) : first[0];
      colour.green = k.bitDepth == 16 ? sample(1) : first[1];
      colour.blue = k.bitDepth == 16 ? sample(2) : first[2];
    }
  }

  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, kWidth, kHeight, k.bitDepth, k.colourType,
               k.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!alphas.empty()) png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
  if (k.transparency == Transparency::FirstPixelColour || k.transparency == Transparency::BlackColour)
    png_set_tRNS(png, info, nullptr, 0, &colour);
  png_set_check_for_invalid_index(png, 0);  // indices past a short palette are part of the test
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(f) != 0) return false;
  if (k.damagedEnd) {
    std::string bytes = test::readFile(path);
    bytes[bytes.size() - 1] ^= 0x55;
    test::writeFile(path, bytes);
  }
  return true;
}

TEST(PictureDecoder, EveryKindDecodesToTheSamePixelsBothWays) {
  constexpr int P = PNG_COLOR_TYPE_PALETTE, G = PNG_COLOR_TYPE_GRAY, GA = PNG_COLOR_TYPE_GRAY_ALPHA,
                RGB = PNG_COLOR_TYPE_RGB, RGBA = PNG_COLOR_TYPE_RGB_ALPHA;
  using T = Transparency;
  const Kind kinds[] = {
      {"palette 1-bit", P, 1, false, T::None, 2, false},
      {"palette 2-bit", P, 2, false, T::None, 4, false},
      {"palette 4-bit", P, 4, false, T::None, 16, false},
      {"palette 8-bit", P, 8, false, T::None, 200, false},
      {"palette, indices past its entries", P, 4, false, T::None, 5, false},
      {"palette, one clear entry", P, 8, false, T::OneClearEntry, 256, false},
      {"palette, one clear entry, interlaced", P, 4, true, T::OneClearEntry, 16, false},
      {"palette, tRNS all opaque", P, 2, false, T::AllEntriesOpaque, 4, false},
      {"palette, two clear entries", P, 2, false, T::TwoClearEntries, 4, false},
      {"palette, translucent entries", P, 8, false, T::TranslucentEntries, 256, false},
      {"palette, damaged end chunk", P, 8, false, T::None, 256, true},
      {"grey 1-bit", G, 1, false, T::None, 0, false},
      {"grey 2-bit", G, 2, false, T::None, 0, false},
      {"grey 4-bit", G, 4, false, T::None, 0, false},
      {"grey 8-bit", G, 8, false, T::None, 0, false},
      {"grey 16-bit", G, 16, false, T::None, 0, false},
      {"grey 8-bit interlaced", G, 8, true, T::None, 0, false},
      {"grey, a tRNS grey", G, 8, false, T::FirstPixelColour, 0, false},
      {"grey, tRNS black", G, 8, false, T::BlackColour, 0, false},
      {"grey 4-bit, a tRNS grey", G, 4, false, T::FirstPixelColour, 0, false},
      {"grey 16-bit, a tRNS grey, interlaced", G, 16, true, T::FirstPixelColour, 0, false},
      {"grey and alpha 8-bit", GA, 8, false, T::None, 0, false},
      {"grey and alpha 16-bit", GA, 16, false, T::None, 0, false},
      {"RGB 8-bit", RGB, 8, false, T::None, 0, false},
      {"RGB 8-bit interlaced", RGB, 8, true, T::None, 0, false},
      {"RGB, a tRNS colour", RGB, 8, false, T::FirstPixelColour, 0, false},
      {"RGB 16-bit", RGB, 16, false, T::None, 0, false},
      {"RGB 16-bit, a tRNS colour", RGB, 16, false, T::FirstPixelColour, 0, false},
      {"RGBA 8-bit", RGBA, 8, false, T::None, 0, false},
      {"RGBA 8-bit interlaced", RGBA, 8, true, T::None, 0, false},
      {"RGBA 16-bit", RGBA, 16, false, T::None, 0, false},
  };
  const std::string dir = test::scratchDir();
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.name);
    const std::string path = dir + "/kind.png";
    ASSERT_TRUE(writeKind(path, k));
    const PictureFile checked = readPicture(path, kWidth);
    ASSERT_EQ(checked.error, "") << "the loader's check accepts the kind";

    PictureFile build, libpng;
    const bool built = decodePicture(path, build);
    ASSERT_EQ(decodePngLikeSdlImage(path, libpng), built) << build.error << " / " << libpng.error;
    if (!built) continue;
    ASSERT_EQ(libpng.width, build.width);
    ASSERT_EQ(libpng.height, build.height);
    const size_t bytes = static_cast<size_t>(build.width) * build.height * 4;
    if (checked.rgba) {
      EXPECT_EQ(std::memcmp(checked.rgba.get(), build.rgba.get(), bytes), 0) << "the check's own decoding";
    }
    for (size_t i = 0; i < bytes; ++i) {
      ASSERT_EQ(libpng.rgba[i], build.rgba[i]) << "pixel " << i / 4 << ", channel " << i % 4;
    }
  }
}

}  // namespace
}  // namespace vorn
