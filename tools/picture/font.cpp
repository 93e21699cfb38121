// Glyph table and rasteriser of the bitmap font. Each glyph is doubled with
// the Scale2x rule (which turns stair steps into diagonals) and then drawn from
// a bilinear field of the doubled pixels, whose half-level line is the outline.
#include "tools/picture/font.h"

#include <cctype>
#include <cmath>

namespace vorn::font {

namespace {

struct Glyph {
  char ch;
  const char* rows[kGlyphRows];  // '#' lit, '.' dark, kGlyphColumns characters each
};

const Glyph kGlyphs[] = {
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
    {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
    {'/', {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."}},
    {'<', {"...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."}},
    {'>', {".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."}},
    {'{', {"..##.", ".#...", ".#...", "#....", ".#...", ".#...", "..##."}},
    {'}', {".##..", "...#.", "...#.", "....#", "...#.", "...#.", ".##.."}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'*', {".....", "#.#.#", ".###.", "#####", ".###.", "#.#.#", "....."}},
};

const Glyph* find(char c) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const Glyph& g : kGlyphs)
    if (g.ch == upper) return &g;
  return nullptr;
}

constexpr int kFineColumns = kGlyphColumns * 2;
constexpr int kFineRows = kGlyphRows * 2;

// The glyph doubled with Scale2x: each pixel becomes four, and a corner of
// the four takes a neighbour's value where two neighbours agree across it.
struct FineGlyph {
  bool lit[kFineRows][kFineColumns] = {};
  bool at(int c, int r) const { return c >= 0 && r >= 0 && c < kFineColumns && r < kFineRows && lit[r][c]; }
};

FineGlyph doubled(char ch) {
  FineGlyph fine;
  auto p = [ch](int c, int r) { return glyphPixel(ch, c, r); };
  for (int r = 0; r < kGlyphRows; ++r)
    for (int c = 0; c < kGlyphColumns; ++c) {
      const bool e = p(c, r), a = p(c, r - 1), b = p(c + 1, r), l = p(c - 1, r), d = p(c, r + 1);
      fine.lit[2 * r][2 * c] = (l == a && l != d && a != b) ? a : e;
      fine.lit[2 * r][2 * c + 1] = (a == b && a != l && b != d) ? b : e;
      fine.lit[2 * r + 1][2 * c] = (d == l && d != b && l != a) ? l : e;
      fine.lit[2 * r + 1][2 * c + 1] = (b == d && b != a && d != l) ? d : e;
    }
  return fine;
}

// Bilinear field of the doubled pixels (1 lit, 0 dark) at a point given in
// doubled-pixel units from the glyph's top-left corner.
float field(const FineGlyph& g, float u, float v) {
  const float fu = u - 0.5f, fv = v - 0.5f;
  const float cu = std::floor(fu), cv = std::floor(fv);
  const int c = static_cast<int>(cu), r = static_cast<int>(cv);
  const float tu = fu - cu, tv = fv - cv;
  auto s = [&](int dc, int dr) { return g.at(c + dc, r + dr) ? 1.0f : 0.0f; };
  return (s(0, 0) * (1.0f - tu) + s(1, 0) * tu) * (1.0f - tv) + (s(0, 1) * (1.0f - tu) + s(1, 1) * tu) * tv;
}

}  // namespace

bool hasGlyph(char c) { return find(c) != nullptr; }

bool glyphPixel(char c, int column, int row) {
  if (column < 0 || row < 0 || column >= kGlyphColumns || row >= kGlyphRows) return false;
  const Glyph* g = find(c);
  return g && g->rows[row][column] == '#';
}

float textWidth(const std::string& text, float cell) {
  if (text.empty()) return 0.0f;
  return (static_cast<float>(text.size()) * kAdvanceColumns - (kAdvanceColumns - kGlyphColumns)) * cell;
}

TextMask renderText(const std::string& text, float cell, float boldness) {
  TextMask mask;
  mask.margin = std::ceil(cell);
  mask.width = static_cast<int>(std::ceil(textWidth(text, cell) + 2.0f * mask.margin));
  mask.height = static_cast<int>(std::ceil(kGlyphRows * cell + 2.0f * mask.margin));
  mask.coverage.assign(static_cast<std::size_t>(mask.width) * mask.height, 0.0f);
  const float fineCell = cell * 0.5f;  // pixels per doubled glyph pixel
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!find(text[i])) continue;
    const FineGlyph g = doubled(text[i]);
    const float left = mask.margin + static_cast<float>(i) * kAdvanceColumns * cell;
    const int x0 = static_cast<int>(std::floor(left - cell)),
              x1 = static_cast<int>(std::ceil(left + (kGlyphColumns + 1) * cell));
    for (int y = 0; y < mask.height; ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, mask.width); ++x) {
        const float u = (x + 0.5f - left) / fineCell, v = (y + 0.5f - mask.margin) / fineCell;
        const float f = field(g, u, v);
        const float coverage = picture::clamp01((f - 0.5f + boldness * 0.5f) * fineCell + 0.5f);
        float& out = mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
        out = std::max(out, coverage);
      }
  }
  return mask;
}

TextMask grown(const TextMask& mask, int radius) {
  TextMask out;
  out.margin = mask.margin + radius;
  out.width = mask.width + 2 * radius;
  out.height = mask.height + 2 * radius;
  out.coverage.assign(static_cast<std::size_t>(out.width) * out.height, 0.0f);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      float best = 0.0f;
      for (int dy = -radius; dy <= radius && best < 1.0f; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
          // Coverage fades over the last pixel of the disc, keeping the grown edge smooth.
          const float reach = picture::clamp01(radius + 0.5f - std::sqrt(static_cast<float>(dx * dx + dy * dy)));
          if (reach <= 0.0f) continue;
          best = std::max(best, mask.at(x - radius + dx, y - radius + dy) * reach);
        }
      out.coverage[static_cast<std::size_t>(y) * out.width + x] = best;
    }
  return out;
}

}  // namespace vorn::font
