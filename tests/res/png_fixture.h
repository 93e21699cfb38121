// Test-only PNG writer: pictures in every layout libpng can store (RGBA, RGB,
// grey, grey + alpha, palette with or without transparency, 8 or 16 bits),
// made from an RGBA description so tests know each pixel they wrote.
#pragma once

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

namespace vorn::test {

struct Rgba8 {
  unsigned char r, g, b, a;
};

enum class PngLayout { Rgba, Rgb, Grey, GreyAlpha, Palette, Rgba16 };

// width * height RGBA pixels, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgba8> pixels;
  Rgba8 at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Four quadrants of a w x h picture: top-left, top-right, bottom-left, bottom-right.
inline Picture quadrants(int w, int h, Rgba8 tl, Rgba8 tr, Rgba8 bl, Rgba8 br) {
  Picture p;
  p.width = w;
  p.height = h;
  p.pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool right = x >= w / 2;
      const bool bottom = y >= h / 2;
      p.pixels[static_cast<size_t>(y) * w + x] = bottom ? (right ? br : bl) : (right ? tr : tl);
    }
  return p;
}

// Writes the picture in the given layout. Grey layouts take the red channel;
// layouts without alpha drop it. Palette: one entry per distinct colour, with a
// tRNS chunk when any colour is not opaque. Returns false when the file cannot be written.
inline bool writePng(const std::string& path, const Picture& pic, PngLayout layout) {
  const int depth = layout == PngLayout::Rgba16 ? 16 : 8;
  const int colourType = layout == PngLayout::Rgb         ? PNG_COLOR_TYPE_RGB
                         : layout == PngLayout::Grey      ? PNG_COLOR_TYPE_GRAY
                         : layout == PngLayout::GreyAlpha ? PNG_COLOR_TYPE_GRAY_ALPHA
                         : layout == PngLayout::Palette   ? PNG_COLOR_TYPE_PALETTE
                                                          : PNG_COLOR_TYPE_RGB_ALPHA;

  std::vector<Rgba8> palette;
  std::vector<std::vector<unsigned char>> rows(static_cast<size_t>(pic.height));
  for (int y = 0; y < pic.height; ++y) {
    auto& row = rows[static_cast<size_t>(y)];
    for (int x = 0; x < pic.width; ++x) {
      const Rgba8 c = pic.at(x, y);
      switch (layout) {
        case PngLayout::Rgba: row.insert(row.end(), {c.r, c.g, c.b, c.a}); break;
        case PngLayout::Rgb: row.insert(row.end(), {c.r, c.g, c.b}); break;
        case PngLayout::Grey: row.push_back(c.r); break;
        case PngLayout::GreyAlpha: row.insert(row.end(), {c.r, c.a}); break;
        case PngLayout::Rgba16:
          // Big-endian 16-bit samples whose top byte is the 8-bit value.
          for (unsigned char v : {c.r, c.g, c.b, c.a}) row.insert(row.end(), {v, static_cast<unsigned char>(v ^ 0x5a)});
          break;
        case PngLayout::Palette: {
          size_t index = 0;
          while (index < palette.size() && !(palette[index].r == c.r && palette[index].g == c.g &&
                                             palette[index].b == c.b && palette[index].a == c.a))
            ++index;
          if (index == palette.size()) palette.push_back(c);
          row.push_back(static_cast<unsigned char>(index));
          break;
        }
      }
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
  png_set_IHDR(png, info, static_cast<png_uint_32>(pic.width), static_cast<png_uint_32>(pic.height), depth, colourType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> plte;
  std::vector<png_byte> trns;
  bool anyTranslucent = false;
  for (const Rgba8& c : palette) {
    plte.push_back({c.r, c.g, c.b});
    trns.push_back(c.a);
    anyTranslucent = anyTranslucent || c.a != 255;
  }
  if (layout == PngLayout::Palette) {
    png_set_PLTE(png, info, plte.data(), static_cast<int>(plte.size()));
    if (anyTranslucent) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
  }
  png_write_info(png, info);
  for (auto& row : rows) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

}  // namespace vorn::test
