// Test pictures in every layout PNG can store (RGBA, RGB, grey, grey + alpha,
// palette with or without transparency, 8 or 16 bits), made from an RGBA
// description so tests know each pixel they wrote, written by the shared writer.
#pragma once

#include <string>
#include <vector>

#include "platform/png_file.h"

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
  PngFormat format;
  format.bitDepth = layout == PngLayout::Rgba16 ? 16 : 8;
  format.colour = layout == PngLayout::Rgb         ? PngColour::Rgb
                  : layout == PngLayout::Grey      ? PngColour::Grey
                  : layout == PngLayout::GreyAlpha ? PngColour::GreyAlpha
                  : layout == PngLayout::Palette   ? PngColour::Palette
                                                   : PngColour::Rgba;
  std::vector<unsigned char> samples;
  for (const Rgba8& c : pic.pixels) {
    switch (layout) {
      case PngLayout::Rgba: samples.insert(samples.end(), {c.r, c.g, c.b, c.a}); break;
      case PngLayout::Rgb: samples.insert(samples.end(), {c.r, c.g, c.b}); break;
      case PngLayout::Grey: samples.push_back(c.r); break;
      case PngLayout::GreyAlpha: samples.insert(samples.end(), {c.r, c.a}); break;
      case PngLayout::Rgba16:
        // Big-endian 16-bit samples whose top byte is the 8-bit value.
        for (unsigned char v : {c.r, c.g, c.b, c.a})
          samples.insert(samples.end(), {v, static_cast<unsigned char>(v ^ 0x5a)});
        break;
      case PngLayout::Palette: {
        auto& palette = format.palette;
        size_t index = 0;
        while (index < palette.size() && !(palette[index].r == c.r && palette[index].g == c.g &&
                                           palette[index].b == c.b && palette[index].a == c.a))
          ++index;
        if (index == palette.size()) palette.push_back({c.r, c.g, c.b, c.a});
        samples.push_back(static_cast<unsigned char>(index));
        break;
      }
    }
  }
  std::string error;
  return vorn::writePng(path, pic.width, pic.height, samples, error, format);
}

}  // namespace vorn::test
