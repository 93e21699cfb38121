// The show's bitmap font: a hand-made 5 x 7 glyph table, drawn at any size
// with its diagonals smoothed, as a coverage mask that the picture writers
// paint through. Lower-case letters are drawn as capitals.
#pragma once

#include <string>
#include <vector>

#include "tools/picture/canvas.h"

namespace vorn::font {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
constexpr int kAdvanceColumns = 6;  // glyph plus one column of spacing

// True when c has a glyph (space counts); characters without one draw nothing.
bool hasGlyph(char c);
// Whether glyph pixel (column, row) of c is lit; false outside the grid or for unknown c.
bool glyphPixel(char c, int column, int row);

// Coverage 0 to 1 per pixel, rows top first. The text starts margin pixels in
// from the left and top edges.
struct TextMask {
  int width = 0, height = 0;
  float margin = 0.0f;
  std::vector<float> coverage;
  float at(int x, int y) const {
    return (x < 0 || y < 0 || x >= width || y >= height) ? 0.0f : coverage[static_cast<std::size_t>(y) * width + x];
  }
};

// Width in pixels of one line of text whose glyph pixels are cell pixels wide.
float textWidth(const std::string& text, float cell);
// One line of text; each glyph pixel becomes a cell x cell square, the
// corners rounded. boldness (in glyph pixels, small) thickens the strokes.
TextMask renderText(const std::string& text, float cell, float boldness = 0.0f);
// The mask grown by radius pixels in every direction (for outlines and shadows).
TextMask grown(const TextMask& mask, int radius);

// Paints mask onto canvas with the text's top-left glyph corner at origin;
// paint(x, y) gives the colour at canvas pixel centres.
template <class Paint>
void drawMask(picture::Canvas& canvas, const TextMask& mask, picture::Vec2 origin, Paint paint,
              picture::Blend mode = picture::Blend::Over) {
  const int ox = static_cast<int>(std::lround(origin.x - mask.margin));
  const int oy = static_cast<int>(std::lround(origin.y - mask.margin));
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) {
      const float c = mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
      if (c > 0.0f) canvas.put(ox + x, oy + y, paint(ox + x + 0.5f, oy + y + 0.5f), c, mode);
    }
}

inline void drawMask(picture::Canvas& canvas, const TextMask& mask, picture::Vec2 origin, picture::Colour colour,
                     picture::Blend mode = picture::Blend::Over) {
  drawMask(
      canvas, mask, origin, [colour](float, float) { return colour; }, mode);
}

}  // namespace vorn::font
