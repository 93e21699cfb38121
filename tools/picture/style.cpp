// Titles, blurs, star fields, sparkles and the team list.
#include "tools/picture/style.h"

#include <cmath>

#include "tools/picture/noise.h"

namespace vorn::picture {

namespace {

// One pass of a box blur of the given radius along x or y, into a mask of the same size.
font::TextMask boxPass(const font::TextMask& in, int radius, bool alongX) {
  font::TextMask out = in;
  const float scale = 1.0f / (2 * radius + 1);
  const int lines = alongX ? in.height : in.width, span = alongX ? in.width : in.height;
  for (int l = 0; l < lines; ++l) {
    float sum = 0.0f;
    auto at = [&](int i) { return alongX ? in.at(i, l) : in.at(l, i); };
    for (int i = -radius; i <= radius; ++i) sum += at(i);
    for (int i = 0; i < span; ++i) {
      const std::size_t index =
          alongX ? static_cast<std::size_t>(l) * in.width + i : static_cast<std::size_t>(i) * in.width + l;
      out.coverage[index] = sum * scale;
      sum += at(i + radius + 1) - at(i - radius);
    }
  }
  return out;
}

}  // namespace

font::TextMask blurred(const font::TextMask& mask, int radius) {
  font::TextMask out = font::grown(mask, 0);
  // Widen first so the blur has room to spread.
  font::TextMask wide;
  wide.margin = out.margin + 3 * radius;
  wide.width = out.width + 6 * radius;
  wide.height = out.height + 6 * radius;
  wide.coverage.assign(static_cast<std::size_t>(wide.width) * wide.height, 0.0f);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      wide.coverage[static_cast<std::size_t>(y + 3 * radius) * wide.width + x + 3 * radius] = out.at(x, y);
  for (int pass = 0; pass < 3; ++pass) wide = boxPass(boxPass(wide, radius, true), radius, false);
  return wide;
}

Rect drawTitle(Canvas& c, const std::string& text, float cell, Vec2 origin, const TitleStyle& style) {
  const font::TextMask mask = font::renderText(text, cell, style.boldness);
  if (style.shadow.a > 0.0f) {
    const font::TextMask base = style.outlineWidth > 0 ? font::grown(mask, style.outlineWidth) : mask;
    const font::TextMask shadow = style.shadowBlur > 0 ? blurred(base, style.shadowBlur) : base;
    font::drawMask(c, shadow, origin + style.shadowOffset, style.shadow);
  }
  if (style.outlineWidth > 0) font::drawMask(c, font::grown(mask, style.outlineWidth), origin, style.outline);
  const float height = font::kGlyphRows * cell;
  font::drawMask(c, mask, origin,
                 [&](float, float y) { return mix(style.top, style.bottom, clamp01((y - origin.y) / height)); });
  return textBox(text, cell, origin);
}

Rect textBox(const std::string& text, float cell, Vec2 origin) {
  return {static_cast<int>(std::floor(origin.x)), static_cast<int>(std::floor(origin.y)),
          static_cast<int>(std::ceil(origin.x + font::textWidth(text, cell))),
          static_cast<int>(std::ceil(origin.y + font::kGlyphRows * cell))};
}

Vec2 centredText(const std::string& text, float cell, Vec2 centre) {
  return {std::round(centre.x - font::textWidth(text, cell) * 0.5f),
          std::round(centre.y - font::kGlyphRows * cell * 0.5f)};
}

void addStarfield(Canvas& c, std::uint32_t seed, int count, float maxBrightness) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const Vec2 p = {rng.range(0.0f, static_cast<float>(c.width())), rng.range(0.0f, static_cast<float>(c.height()))};
    const float r = rng.uniform();
    const float b = maxBrightness * (0.2f + 0.8f * r * r * r);
    const Colour tint = rng.uniform() < 0.3f ? rgb(0.8f, 0.9f, 1.0f) : rgb(1.0f, 0.97f, 0.9f);
    fillCircle(c, p, 0.6f + 0.6f * b, scaled(tint, b), Blend::Add);
    if (b > 0.6f) addGlow(c, p, 2.5f * b, scaled(tint, 0.25f * b));
  }
}

void addSparkle(Canvas& c, Vec2 p, float size, Colour colour) {
  fillPolygon(c, starPolygon(p, size, size * 0.14f, 4), colour, Blend::Add);
  fillPolygon(c, starPolygon(p, size * 0.45f, size * 0.1f, 4, 0.7853982f), scaled(colour, 0.7f), Blend::Add);
  addGlow(c, p, size * 0.25f, colour);
}

const std::vector<TeamMember>& team() {
  static const std::vector<TeamMember> members = {{"JOSTU", "MUSIC"},   {"PROG", "CODE"},  {"MELTI", "GRAPHICS"},
                                                  {"HOBRIK", "MODELS"}, {"VASKE", "HARP"}, {"ONDRI", "DESIGN"}};
  return members;
}

}  // namespace vorn::picture
