// Drawing pieces shared by the picture planes and layers: outlined gradient
// titles in the bitmap font, star fields, soft shadows, and the team whose
// names the credits show.
#pragma once

#include <string>
#include <vector>

#include "tools/picture/canvas.h"
#include "tools/picture/font.h"

namespace vorn::picture {

struct TitleStyle {
  Colour top, bottom;  // fill, from the top of the glyphs to their bottom
  Colour outline;      // drawn outlineWidth pixels around the glyphs
  int outlineWidth = 0;
  Colour shadow;  // a blurred copy behind, moved by shadowOffset
  Vec2 shadowOffset = {0.0f, 0.0f};
  int shadowBlur = 0;
  float boldness = 0.0f;
};

// Draws one line of text with its top-left glyph corner at origin; returns
// the box of the glyphs themselves (outline and shadow not included).
Rect drawTitle(Canvas& c, const std::string& text, float cell, Vec2 origin, const TitleStyle& style);
// The box of the glyphs of one line of text drawn at origin.
Rect textBox(const std::string& text, float cell, Vec2 origin);
// Top-left glyph corner that centres one line of text on centre.
Vec2 centredText(const std::string& text, float cell, Vec2 centre);

// A box-blurred copy of the mask (three passes, close to a Gaussian), grown by 3 * radius.
font::TextMask blurred(const font::TextMask& mask, int radius);

// Adds count small stars of random brightness up to maxBrightness.
void addStarfield(Canvas& c, std::uint32_t seed, int count, float maxBrightness);
// A four-pointed sparkle of light added at p.
void addSparkle(Canvas& c, Vec2 p, float size, Colour colour);

// A soft shadow under a shape: sdf as for Canvas::fillShape, darkness falling
// off over softness pixels outside the shape.
template <class Sdf>
void dropShadow(Canvas& c, Box box, Sdf sdf, float softness, float opacity) {
  c.fillShape(
      Box{box.x0 - static_cast<int>(softness), box.y0 - static_cast<int>(softness), box.x1 + static_cast<int>(softness),
          box.y1 + static_cast<int>(softness)},
      [&](float x, float y) { return sdf(x, y) - softness; },
      [&](float x, float y) {
        const float d = sdf(x, y);
        return rgb(0.0f, 0.0f, 0.0f, opacity * (1.0f - smoothstep(-softness * 0.3f, softness, d)));
      });
}

struct TeamMember {
  std::string name, role;
};
// The credits in show order.
const std::vector<TeamMember>& team();

}  // namespace vorn::picture
