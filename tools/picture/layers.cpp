// The screen-space layers: 800 x 600 pictures (one 128 x 128) that slide over
// the scene, opaque on their panel and see-through elsewhere. Each credits
// pair is an emblem kept on the side it enters from and a caption panel on the
// other side, so the two never cover each other while they slide.
#include <cmath>

#include "tools/picture/catalogue.h"
#include "tools/picture/noise.h"
#include "tools/picture/style.h"

namespace vorn::picture {

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kCornerEmblemSize = 128;
constexpr float kPi = 3.14159265f;

struct Theme {
  Colour deep, mid, accent, light;
};

const Colour kInk = hex(0x0a0614);

// Caption panels.

constexpr float kPanelWidth = 372.0f;
constexpr float kPanelHeight = 190.0f;
constexpr float kPanelRadius = 22.0f;
constexpr float kPanelPadding = 26.0f;
constexpr float kMaxNameCell = 11.0f;
constexpr float kRoleCell = 5.5f;

struct CaptionLayout {
  Vec2 panelTopLeft;
  float nameCell;
  Vec2 nameOrigin, roleOrigin;
};

CaptionLayout captionLayout(const TeamMember& member, Vec2 panelTopLeft) {
  CaptionLayout l;
  l.panelTopLeft = panelTopLeft;
  const float fit = (kPanelWidth - 2.0f * kPanelPadding) / font::textWidth(member.name, 1.0f);
  l.nameCell = std::floor(std::min(kMaxNameCell, fit));
  const float centreX = panelTopLeft.x + kPanelWidth * 0.5f;
  l.nameOrigin = {std::round(centreX - font::textWidth(member.name, l.nameCell) * 0.5f),
                  panelTopLeft.y + kPanelPadding + (kMaxNameCell - l.nameCell) * font::kGlyphRows * 0.5f};
  l.roleOrigin = {std::round(centreX - font::textWidth(member.role, kRoleCell) * 0.5f),
                  panelTopLeft.y + kPanelPadding + kMaxNameCell * font::kGlyphRows + 26.0f};
  return l;
}

Rect panelInterior(Vec2 topLeft) {
  const int inset = 10;
  return {static_cast<int>(topLeft.x) + inset, static_cast<int>(topLeft.y) + inset,
          static_cast<int>(topLeft.x + kPanelWidth) - inset, static_cast<int>(topLeft.y + kPanelHeight) - inset};
}

Colour nameColour(const Theme& theme) { return mix(theme.light, rgb(1.0f, 1.0f, 1.0f), 0.6f); }

void drawCaption(Canvas& c, const TeamMember& member, const Theme& theme, Vec2 topLeft) {
  const CaptionLayout l = captionLayout(member, topLeft);
  const Vec2 half = {kPanelWidth * 0.5f, kPanelHeight * 0.5f};
  const Vec2 centre = topLeft + half;
  const Box box = around(centre, half.x + 2.0f, half.y + 2.0f);
  auto panel = [&](float x, float y) { return roundBoxSdf({x, y}, centre, half, kPanelRadius); };
  dropShadow(
      c, Box{box.x0 + 8, box.y0 + 10, box.x1 + 8, box.y1 + 10},
      [&](float x, float y) { return panel(x - 8.0f, y - 10.0f); }, 12.0f, 0.55f);
  c.fillShape(box, panel, theme.accent);
  c.fillShape(
      box, [&](float x, float y) { return panel(x, y) + 4.0f; },
      [&](float x, float y) {
        const float n = fractalNoise(x / 60.0f, y / 60.0f, 3, 4001u);
        return mix(mix(theme.mid, theme.deep, clamp01((y - topLeft.y) / kPanelHeight)), theme.deep, 0.3f * n);
      });
  c.fillShape(
      box, [&](float x, float y) { return std::fabs(panel(x, y) + 9.0f) - 0.8f; },
      rgb(theme.light.r, theme.light.g, theme.light.b, 0.5f));
  // A sheen across the upper part of the panel.
  c.fillShape(
      box, [&](float x, float y) { return std::max(panel(x, y) + 4.0f, y - (topLeft.y + kPanelHeight * 0.42f)); },
      rgb(1.0f, 1.0f, 1.0f, 0.06f));
  const Colour name = nameColour(theme);
  drawTitle(c, member.name, l.nameCell, l.nameOrigin,
            {name, name, kInk, 4, rgb(0.0f, 0.0f, 0.0f, 0.6f), {4.0f, 5.0f}, 2, 0.0f});
  const float barY = l.roleOrigin.y - 13.0f;
  strokeLine(c, {topLeft.x + 60.0f, barY}, {topLeft.x + kPanelWidth - 60.0f, barY}, 3.0f, theme.accent);
  drawTitle(c, member.role, kRoleCell, l.roleOrigin,
            {theme.light, theme.accent, kInk, 3, rgb(0.0f, 0.0f, 0.0f, 0.0f), {0.0f, 0.0f}, 0, 0.0f});
  addSparkle(c, {topLeft.x + kPanelWidth - 22.0f, topLeft.y + 20.0f}, 14.0f, scaled(theme.light, 0.9f));
}

// Emblems.

enum class Outline { Circle, Hexagon, Burst, Diamond, Octagon };
enum class Motif { Waves, Code, Palette, Cube, Harp, Compass };

struct Emblem {
  Vec2 centre;
  float radius;  // of the inner disc's surround; the outline reaches about this far
  Outline outline;
  Motif motif;
  char initial;
};

// The badge's outline as a polygon and how far it is rounded off; no
// polygon for a circle.
struct OutlineShape {
  std::vector<Vec2> polygon;
  float rounding = 0.0f;
};

OutlineShape outlineShape(const Emblem& e) {
  const float r = e.radius;
  switch (e.outline) {
    case Outline::Circle: return {};
    case Outline::Hexagon: return {regularPolygon(e.centre, r * 1.02f, 6, kPi / 6.0f), 6.0f};
    case Outline::Burst: return {starPolygon(e.centre, r * 1.05f, r * 0.9f, 14), 3.0f};
    case Outline::Diamond: return {regularPolygon(e.centre, r * 1.18f, 4), 8.0f};
    case Outline::Octagon: return {regularPolygon(e.centre, r, 8, kPi / 8.0f), 6.0f};
  }
  return {};
}

float outlineSdf(const Emblem& e, const OutlineShape& shape, Vec2 p) {
  if (shape.polygon.empty()) return circleSdf(p, e.centre, e.radius);
  return polygonSdf(p, shape.polygon) - shape.rounding;
}

// Strokes clipped to a disc.
void clippedPath(Canvas& c, const std::vector<Vec2>& points, float width, Colour colour, Vec2 centre, float radius) {
  const float hw = width * 0.5f;
  c.fillShape(
      boundsOf(points, hw + 2.0f),
      [&](float x, float y) {
        float d = 1e9f;
        for (std::size_t i = 1; i < points.size(); ++i)
          d = std::min(d, segmentSdf({x, y}, points[i - 1], points[i], hw));
        return std::max(d, circleSdf({x, y}, centre, radius));
      },
      colour);
}

void drawWaves(Canvas& c, Vec2 o, float m, const Theme& theme) {
  for (int k = 0; k < 3; ++k) {
    std::vector<Vec2> wave;
    for (int i = 0; i <= 80; ++i) {
      const float t = i / 80.0f, x = o.x - m + 2.0f * m * t;
      const float envelope = std::sin(t * kPi);
      wave.push_back(
          {x, o.y + (k - 1) * m * 0.42f + envelope * m * (0.22f - 0.05f * k) * std::sin(t * kPi * (4.0f + 2.0f * k))});
    }
    clippedPath(c, wave, 9.0f - 2.0f * k, kInk, o, m);
    clippedPath(c, wave, 5.0f - 1.2f * k, k == 1 ? theme.light : theme.accent, o, m);
  }
  // Two eighth notes joined by a beam.
  const Vec2 a = o + Vec2{-m * 0.28f, m * 0.28f}, b = o + Vec2{m * 0.3f, m * 0.16f};
  for (const Vec2 head : {a, b}) {
    c.fillShape(
        around(head, 24.0f),
        [&](float x, float y) {
          return ellipseSdf({x, y}, head, 18.0f, 13.0f) - 4.0f;
        },
        kInk);
    c.fillShape(
        around(head, 24.0f),
        [&](float x, float y) {
          return ellipseSdf({x, y}, head, 17.0f, 12.0f);
        },
        theme.light);
    strokeLine(c, head + Vec2{14.0f, 0.0f}, head + Vec2{14.0f, -m * 0.75f}, 10.0f, kInk);
    strokeLine(c, head + Vec2{14.0f, 0.0f}, head + Vec2{14.0f, -m * 0.75f}, 5.0f, theme.light);
  }
  const std::vector<Vec2> beam = {a + Vec2{14.0f, -m * 0.75f}, b + Vec2{14.0f, -m * 0.75f}};
  strokePath(c, beam, 20.0f, kInk);
  strokePath(c, beam, 13.0f, theme.light);
}

void drawCode(Canvas& c, Vec2 o, float m, const Theme& theme) {
  Rng rng(5001u);
  const float cell = 2.5f;
  for (float y = o.y - m; y < o.y + m; y += 9.0f * cell) {
    std::string bits;
    for (int i = 0; i < 16; ++i) bits += rng.uniform() < 0.5f ? '0' : '1';
    const font::TextMask mask = font::renderText(bits, cell);
    const Vec2 origin = {o.x - m, y};
    font::drawMask(c, mask, origin, [&](float x, float py) {
      const float inside = clamp01(-circleSdf({x, py}, o, m - 4.0f));
      return rgb(theme.accent.r, theme.accent.g, theme.accent.b, 0.45f * inside);
    });
  }
  const std::string symbol = "</>";
  const float big = 12.0f;
  drawTitle(c, symbol, big, centredText(symbol, big, o),
            {theme.light, theme.accent, kInk, 5, rgb(0.0f, 0.0f, 0.0f, 0.6f), {5.0f, 6.0f}, 3, 0.0f});
}

void drawPalette(Canvas& c, Vec2 o, float m, const Theme&) {
  const Vec2 hole = o + Vec2{m * 0.3f, m * 0.3f};
  auto palette = [&](float x, float y) {
    return std::max(ellipseSdf({x, y}, o, m * 0.92f, m * 0.72f), -circleSdf({x, y}, hole, m * 0.14f));
  };
  const Box box = around(o, m);
  c.fillShape(
      box, [&](float x, float y) { return palette(x, y) - 4.0f; }, kInk);
  c.fillShape(box, palette,
              [&](float, float y) { return mix(hex(0xf0d6a8), hex(0xb8864a), clamp01((y - o.y + m) / (2.0f * m))); });
  const Colour paints[5] = {hex(0xff2a4a), hex(0xffd01a), hex(0x2ad05a), hex(0x2a8aff), hex(0xc040ff)};
  for (int i = 0; i < 5; ++i) {
    const float a = kPi * (0.95f + 0.2f * i);
    const Vec2 p = o + Vec2{m * 0.58f * std::cos(a), m * 0.45f * std::sin(a)};
    fillCircle(c, p, m * 0.13f + 3.0f, kInk);
    fillCircle(c, p, m * 0.13f, paints[i]);
    fillCircle(c, p + Vec2{-4.0f, -4.0f}, m * 0.04f, rgb(1.0f, 1.0f, 1.0f, 0.7f));
  }
  // A brush lying across.
  const Vec2 tip = o + Vec2{-m * 0.15f, m * 0.15f}, end = o + Vec2{m * 0.75f, -m * 0.6f};
  strokeLine(c, tip, end, 16.0f, kInk);
  strokeLine(c, tip + (end - tip) * 0.3f, end, 10.0f, hex(0xc0392b));
  strokeLine(c, tip, tip + (end - tip) * 0.3f, 10.0f, hex(0xd0d0d8));
  fillCircle(c, tip, 9.0f, kInk);
  fillCircle(c, tip, 6.0f, hex(0xff2a4a));
}

void drawCube(Canvas& c, Vec2 o, float m, const Theme& theme) {
  // An isometric cube: corners of the unit cube turned 35 degrees down and 45 across.
  Vec2 corners[8];
  for (int i = 0; i < 8; ++i) {
    const float x = (i & 1) ? 1.0f : -1.0f, y = (i & 2) ? 1.0f : -1.0f, z = (i & 4) ? 1.0f : -1.0f;
    const float rx = (x - z) * 0.7071068f, rz = (x + z) * 0.7071068f;
    const float ry = y * 0.8191520f - rz * 0.5735764f;
    corners[i] = o + Vec2{rx, -ry} * (m * 0.62f);
  }
  const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                            {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  // The near faces, lightly filled.
  fillPolygon(c, {corners[2], corners[3], corners[7], corners[6]},
              rgb(theme.light.r, theme.light.g, theme.light.b, 0.35f));
  fillPolygon(c, {corners[1], corners[3], corners[7], corners[5]},
              rgb(theme.accent.r, theme.accent.g, theme.accent.b, 0.35f));
  for (const auto& e : edges) strokeLine(c, corners[e[0]], corners[e[1]], 9.0f, kInk);
  for (const auto& e : edges) strokeLine(c, corners[e[0]], corners[e[1]], 4.5f, theme.light);
  for (const Vec2& p : corners) {
    fillCircle(c, p, 8.0f, kInk);
    fillCircle(c, p, 5.0f, theme.accent);
  }
}

void drawHarp(Canvas& c, Vec2 o, float m, const Theme& theme) {
  // Pillar on the left, a curved neck along the top, the sounding board diagonal.
  const Vec2 pillarTop = o + Vec2{-m * 0.62f, -m * 0.62f}, pillarBottom = o + Vec2{-m * 0.62f, m * 0.78f};
  const Vec2 boardTop = o + Vec2{m * 0.72f, -m * 0.38f}, boardBottom = o + Vec2{-m * 0.45f, m * 0.78f};
  std::vector<Vec2> neck;
  for (int i = 0; i <= 24; ++i) {
    const float t = i / 24.0f;
    const Vec2 p = pillarTop + (boardTop - pillarTop) * t;
    neck.push_back(p + Vec2{0.0f, -std::sin(t * kPi) * m * 0.22f + std::sin(t * 2.0f * kPi) * m * 0.06f});
  }
  for (int s = 1; s < 8; ++s) {
    const float t = s / 8.0f;
    const Vec2 bottom = boardBottom + (boardTop - boardBottom) * t;
    const Vec2 top = neck[static_cast<std::size_t>(std::lround(t * 24.0f))];
    strokeLine(c, top, bottom, 4.0f, kInk);
    strokeLine(c, top, bottom, 2.2f, theme.light);
  }
  for (float w : {22.0f, 14.0f}) {
    const Colour col = w > 16.0f ? kInk : hex(0xe0b040);
    strokeLine(c, pillarTop, pillarBottom, w, col);
    strokeLine(c, boardBottom, boardTop, w + 4.0f, col);
    strokePath(c, neck, w, col);
    strokeLine(c, pillarBottom, boardBottom, w, col);
  }
  fillCircle(c, pillarTop + Vec2{0.0f, -4.0f}, 12.0f, kInk);
  fillCircle(c, pillarTop + Vec2{0.0f, -4.0f}, 8.0f, hex(0xffe070));
}

void drawCompass(Canvas& c, Vec2 o, float m, const Theme& theme) {
  fillPolygon(c, starPolygon(o, m, m * 0.2f, 4, kPi / 4.0f), kInk);
  fillPolygon(c, starPolygon(o, m * 0.62f, m * 0.14f, 4, kPi / 4.0f), theme.accent);
  fillPolygon(c, starPolygon(o, m * 1.05f, m * 0.22f, 4), kInk);
  fillPolygon(c, starPolygon(o, m * 0.95f, m * 0.16f, 4), theme.light);
  fillCircle(c, o, m * 0.16f, kInk);
  fillCircle(c, o, m * 0.1f, theme.accent);
}

// The badge: shadow, outline band with studs, inner disc, motif, and the
// initial on a medallion at the bottom (the small corner emblem has none).
void drawEmblem(Canvas& c, const Emblem& e, const Theme& theme) {
  const float r = e.radius;
  const Box box = around(e.centre, r * 1.45f);
  const OutlineShape shape = outlineShape(e);
  auto outer = [&](float x, float y) { return outlineSdf(e, shape, {x, y}); };
  const float soft = std::max(4.0f, r * 0.07f);
  const Vec2 lift = {r * 0.05f, r * 0.06f};
  dropShadow(
      c, Box{box.x0, box.y0, box.x1 + 12, box.y1 + 12}, [&](float x, float y) { return outer(x - lift.x, y - lift.y); },
      soft, 0.5f);
  c.fillShape(box, outer, kInk);
  c.fillShape(
      box, [&](float x, float y) { return outer(x, y) + 4.0f; },
      [&](float, float y) { return mix(theme.light, theme.accent, clamp01((y - e.centre.y + r) / (2.0f * r))); });
  const float disc = r * 0.78f;
  fillCircle(c, e.centre, disc + 4.0f, kInk);
  c.fillShape(
      around(e.centre, disc),
      [&](float x, float y) {
        return circleSdf({x, y}, e.centre, disc);
      },
      [&](float x, float y) {
        const float d = length(Vec2{x, y} - (e.centre + Vec2{-disc * 0.3f, -disc * 0.35f})) / (disc * 1.6f);
        return mix(theme.mid, theme.deep, clamp01(d));
      });
  if (r > 100.0f)
    for (int i = 0; i < 24; ++i) {
      const float a = 2.0f * kPi * i / 24.0f;
      const Vec2 p = e.centre + Vec2{std::cos(a), std::sin(a)} * (r * 0.89f);
      fillCircle(c, p, 3.5f, kInk);
      fillCircle(c, p + Vec2{-0.6f, -0.6f}, 2.0f, rgb(1.0f, 1.0f, 1.0f, 0.8f));
    }
  const float m = disc * 0.82f;
  switch (e.motif) {
    case Motif::Waves: drawWaves(c, e.centre, m, theme); break;
    case Motif::Code: drawCode(c, e.centre, m, theme); break;
    case Motif::Palette: drawPalette(c, e.centre, m, theme); break;
    case Motif::Cube: drawCube(c, e.centre, m, theme); break;
    case Motif::Harp: drawHarp(c, e.centre, m, theme); break;
    case Motif::Compass: drawCompass(c, e.centre, m, theme); break;
  }
  // A sheen over the upper half of the disc.
  c.fillShape(
      around(e.centre, disc),
      [&](float x, float y) {
        return std::max(circleSdf({x, y}, e.centre, disc - 6.0f),
                        ellipseSdf({x, y}, e.centre + Vec2{0.0f, -disc * 0.45f}, disc * 0.8f, disc * 0.5f));
      },
      rgb(1.0f, 1.0f, 1.0f, 0.08f));
  if (r < 100.0f) return;
  const Vec2 medal = e.centre + Vec2{0.0f, r * 0.86f};
  const float mr = r * 0.22f;
  fillCircle(c, medal, mr + 4.0f, kInk);
  c.fillShape(
      around(medal, mr),
      [&](float x, float y) {
        return circleSdf({x, y}, medal, mr);
      },
      [&](float, float y) { return mix(hex(0xfff0b0), hex(0xd08a20), clamp01((y - medal.y + mr) / (2.0f * mr))); });
  const std::string letter(1, e.initial);
  const float cell = std::floor(mr * 1.1f / font::kGlyphRows);
  drawTitle(c, letter, cell, centredText(letter, cell, medal),
            {kInk, kInk, rgb(1.0f, 1.0f, 1.0f, 0.0f), 0, rgb(0.0f, 0.0f, 0.0f, 0.0f), {0.0f, 0.0f}, 0, 0.0f});
}

Rect emblemInterior(const Emblem& e) {
  const float half = e.radius * 0.5f;
  return {static_cast<int>(e.centre.x - half), static_cast<int>(e.centre.y - half), static_cast<int>(e.centre.x + half),
          static_cast<int>(e.centre.y + half)};
}

// The doodle panel.

struct Doodle {
  Vec2 topLeft = {436.0f, 56.0f};
  Vec2 size = {330.0f, 470.0f};
};

// A hand-drawn line: the points wander a little, smoothly.
std::vector<Vec2> wobbly(const std::vector<Vec2>& points, float amount, std::uint32_t seed) {
  std::vector<Vec2> out;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const Vec2 a = points[i], b = points[i + 1];
    const int steps = std::max(1, static_cast<int>(length(b - a) / 4.0f));
    for (int s = 0; s < steps; ++s) {
      const Vec2 p = a + (b - a) * (static_cast<float>(s) / steps);
      out.push_back(p + Vec2{(valueNoise(p.x / 23.0f, p.y / 23.0f, seed) - 0.5f) * amount,
                             (valueNoise(p.x / 23.0f + 40.0f, p.y / 23.0f, seed) - 0.5f) * amount});
    }
  }
  out.push_back(points.back());
  return out;
}

std::vector<Vec2> circlePoints(Vec2 centre, float rx, float ry, float from, float to, int n) {
  std::vector<Vec2> points;
  for (int i = 0; i <= n; ++i) {
    const float a = from + (to - from) * i / n;
    points.push_back(centre + Vec2{rx * std::cos(a), ry * std::sin(a)});
  }
  return points;
}

Rect doodleInterior() {
  const Doodle d;
  return {static_cast<int>(d.topLeft.x) + 16, static_cast<int>(d.topLeft.y) + 16,
          static_cast<int>(d.topLeft.x + d.size.x) - 16, static_cast<int>(d.topLeft.y + d.size.y) - 16};
}

constexpr float kDoodleTitleCell = 4.0f;
const Colour kPenBlue = hex(0x1a2a8a);

Vec2 doodleTitleOrigin() {
  const Doodle d;
  return centredText("PIIRIJUTU", kDoodleTitleCell, d.topLeft + Vec2{d.size.x * 0.5f, 44.0f});
}

Canvas drawPiirijutu(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  const Doodle d;
  const Vec2 centre = d.topLeft + d.size * 0.5f;
  const float tilt = -0.03f;  // radians: the sheet lies a little askew
  std::vector<Vec2> sheet;
  for (const Vec2 corner : {Vec2{-1.0f, -1.0f}, Vec2{1.0f, -1.0f}, Vec2{1.0f, 1.0f}, Vec2{-1.0f, 1.0f}}) {
    const Vec2 p = {corner.x * d.size.x * 0.5f, corner.y * d.size.y * 0.5f};
    sheet.push_back(centre +
                    Vec2{p.x * std::cos(tilt) - p.y * std::sin(tilt), p.x * std::sin(tilt) + p.y * std::cos(tilt)});
  }
  const Box box = boundsOf(sheet, 4.0f);
  auto paper = [&](float x, float y) { return polygonSdf({x, y}, sheet) - 2.0f; };
  dropShadow(
      c, Box{box.x0, box.y0, box.x1 + 10, box.y1 + 12}, [&](float x, float y) { return paper(x - 7.0f, y - 9.0f); },
      10.0f, 0.5f);
  c.fillShape(box, paper, [&](float x, float y) {
    const float n = fractalNoise(x / 40.0f, y / 40.0f, 4, 6001u);
    Colour col = mix(hex(0xfbf7e8), hex(0xefe6cc), n);
    const float line = std::fabs(std::fmod(y - d.topLeft.y + 1000.0f, 22.0f) - 11.0f);
    col = mix(col, hex(0x9ab8e8),
              0.55f * (1.0f - smoothstep(0.3f, 1.2f, 11.0f - line)) * (y > d.topLeft.y + 70.0f ? 1.0f : 0.0f));
    col = mix(col, hex(0xe86a6a), 0.7f * (1.0f - smoothstep(0.5f, 1.5f, std::fabs(x - (d.topLeft.x + 40.0f)))));
    return col;
  });
  // Tape on the two upper corners.
  for (const Vec2 at : {sheet[0], sheet[1]}) {
    const float angle = at.x < centre.x ? -0.6f : 0.6f;
    const Vec2 axis = {std::cos(angle), std::sin(angle)}, across = {-axis.y, axis.x};
    const std::vector<Vec2> tape = {at - axis * 34.0f - across * 11.0f, at + axis * 34.0f - across * 11.0f,
                                    at + axis * 34.0f + across * 11.0f, at - axis * 34.0f + across * 11.0f};
    fillPolygon(c, tape, rgb(1.0f, 0.93f, 0.55f, 0.8f));
  }
  const float pen = 3.2f;
  drawTitle(c, "PIIRIJUTU", kDoodleTitleCell, doodleTitleOrigin(),
            {kPenBlue, kPenBlue, rgb(0, 0, 0, 0), 0, rgb(0, 0, 0, 0), {0, 0}, 0, 0.0f});
  const Vec2 tl = d.topLeft;
  strokePath(c, wobbly({tl + Vec2{70.0f, 80.0f}, tl + Vec2{262.0f, 78.0f}}, 3.0f, 1u), pen, kPenBlue);
  // A spiral.
  std::vector<Vec2> spiral;
  for (int i = 0; i <= 120; ++i) {
    const float t = i / 120.0f, a = t * 6.0f * kPi;
    spiral.push_back(tl + Vec2{110.0f, 160.0f} + Vec2{std::cos(a), std::sin(a)} * (4.0f + 50.0f * t));
  }
  strokePath(c, wobbly(spiral, 3.0f, 2u), pen, kPenBlue);
  // A red star.
  std::vector<Vec2> star = starPolygon(tl + Vec2{240.0f, 160.0f}, 52.0f, 22.0f, 5, 0.1f);
  star.push_back(star.front());
  strokePath(c, wobbly(star, 4.0f, 3u), pen, hex(0xc8202a));
  // A smiling face.
  const Vec2 face = tl + Vec2{110.0f, 290.0f};
  strokePath(c, wobbly(circlePoints(face, 48.0f, 46.0f, 0.0f, 2.0f * kPi + 0.3f, 60), 3.0f, 4u), pen, kPenBlue);
  fillCircle(c, face + Vec2{-16.0f, -12.0f}, 5.0f, kPenBlue);
  fillCircle(c, face + Vec2{16.0f, -12.0f}, 5.0f, kPenBlue);
  strokePath(c, wobbly(circlePoints(face + Vec2{0.0f, 2.0f}, 26.0f, 22.0f, 0.4f, kPi - 0.4f, 20), 2.0f, 5u), pen,
             kPenBlue);
  // A little pig in pencil pink.
  const Colour pink = hex(0xd84a7a);
  const Vec2 pig = tl + Vec2{245.0f, 295.0f};
  strokePath(c, wobbly(circlePoints(pig, 46.0f, 40.0f, 0.0f, 2.0f * kPi + 0.2f, 60), 3.0f, 6u), pen, pink);
  strokePath(c, wobbly({pig + Vec2{-38.0f, -22.0f}, pig + Vec2{-36.0f, -58.0f}, pig + Vec2{-12.0f, -38.0f}}, 2.0f, 7u),
             pen, pink);
  strokePath(c, wobbly({pig + Vec2{12.0f, -38.0f}, pig + Vec2{36.0f, -58.0f}, pig + Vec2{38.0f, -22.0f}}, 2.0f, 8u),
             pen, pink);
  strokePath(c, wobbly(circlePoints(pig + Vec2{0.0f, 10.0f}, 18.0f, 13.0f, 0.0f, 2.0f * kPi + 0.2f, 30), 2.0f, 9u), pen,
             pink);
  fillCircle(c, pig + Vec2{-6.0f, 10.0f}, 3.2f, pink);
  fillCircle(c, pig + Vec2{6.0f, 10.0f}, 3.2f, pink);
  fillCircle(c, pig + Vec2{-16.0f, -14.0f}, 4.0f, kPenBlue);
  fillCircle(c, pig + Vec2{16.0f, -14.0f}, 4.0f, kPenBlue);
  // A rocket with an arrow pointing at it, and a wavy line at the bottom.
  const Vec2 rocket = tl + Vec2{230.0f, 400.0f};
  strokePath(c,
             wobbly({rocket + Vec2{0.0f, -40.0f}, rocket + Vec2{16.0f, -14.0f}, rocket + Vec2{16.0f, 26.0f},
                     rocket + Vec2{-16.0f, 26.0f}, rocket + Vec2{-16.0f, -14.0f}, rocket + Vec2{0.0f, -40.0f}},
                    2.0f, 10u),
             pen, kPenBlue);
  strokePath(
      c, wobbly({rocket + Vec2{-16.0f, 8.0f}, rocket + Vec2{-30.0f, 32.0f}, rocket + Vec2{-16.0f, 26.0f}}, 1.5f, 11u),
      pen, kPenBlue);
  strokePath(c,
             wobbly({rocket + Vec2{16.0f, 8.0f}, rocket + Vec2{30.0f, 32.0f}, rocket + Vec2{16.0f, 26.0f}}, 1.5f, 12u),
             pen, kPenBlue);
  fillCircle(c, rocket + Vec2{0.0f, -6.0f}, 6.0f, hex(0x3a8ad8));
  strokePath(c,
             wobbly({rocket + Vec2{-8.0f, 30.0f}, rocket + Vec2{0.0f, 52.0f}, rocket + Vec2{8.0f, 30.0f}}, 2.0f, 13u),
             pen, hex(0xe8801a));
  strokePath(c, wobbly({tl + Vec2{70.0f, 420.0f}, tl + Vec2{150.0f, 395.0f}, tl + Vec2{190.0f, 398.0f}}, 3.0f, 14u),
             pen, kPenBlue);
  strokePath(c, wobbly({tl + Vec2{176.0f, 386.0f}, tl + Vec2{192.0f, 398.0f}, tl + Vec2{178.0f, 412.0f}}, 1.5f, 15u),
             pen, kPenBlue);
  return c;
}

// The catalogue of layers.

const Theme kJostuTheme = {hex(0x081a40), hex(0x1d4fa0), hex(0x2ab6ff), hex(0xb8f0ff)};
const Theme kProgTheme = {hex(0x03200e), hex(0x0f5a2a), hex(0x36e070), hex(0xc8ffd0)};
const Theme kMeltiTheme = {hex(0x300828), hex(0x80206a), hex(0xff5ab0), hex(0xffd0ec)};
const Theme kHobrikTheme = {hex(0x2a1204), hex(0x7a3a0a), hex(0xff9a20), hex(0xffe0a8)};
const Theme kVaskeTheme = {hex(0x1a0a38), hex(0x4a2a8a), hex(0xa070ff), hex(0xe4d6ff)};
const Theme kOndriTheme = {hex(0x041e24), hex(0x0e5a66), hex(0xff5a4a), hex(0xc8fff6)};

struct CreditPair {
  const char* emblemFile;
  const char* captionFile;
  int member;  // index into team()
  Theme theme;
  Emblem emblem;
  Vec2 panel;  // top-left of the caption panel
};

const std::vector<CreditPair>& creditPairs() {
  static const std::vector<CreditPair> pairs = {
      {"jostu.png",
       "jostucredits.png",
       0,
       kJostuTheme,
       {{590.0f, 290.0f}, 165.0f, Outline::Circle, Motif::Waves, 'J'},
       {24.0f, 200.0f}},
      {"prog.png",
       "progcredits.png",
       1,
       kProgTheme,
       {{250.0f, 176.0f}, 140.0f, Outline::Hexagon, Motif::Code, 'P'},
       {404.0f, 380.0f}},
      {"melti.png",
       "melticredits.png",
       2,
       kMeltiTheme,
       {{590.0f, 318.0f}, 160.0f, Outline::Burst, Motif::Palette, 'M'},
       {24.0f, 110.0f}},
      {"rekoni.png",
       "hobrikcredits.png",
       3,
       kHobrikTheme,
       {{210.0f, 290.0f}, 150.0f, Outline::Diamond, Motif::Cube, 'H'},
       {404.0f, 290.0f}},
      {"vaske.png",
       "vaskeharppu.png",
       4,
       kVaskeTheme,
       {{590.0f, 284.0f}, 160.0f, Outline::Octagon, Motif::Harp, 'V'},
       {24.0f, 230.0f}},
      {"ondri.png",
       "ondricredits.png",
       5,
       kOndriTheme,
       {{64.0f, 64.0f}, 56.0f, Outline::Circle, Motif::Compass, 'O'},
       {404.0f, 340.0f}},
  };
  return pairs;
}

}  // namespace

std::vector<PictureEntry> layerEntries() {
  std::vector<PictureEntry> entries;
  PictureEntry doodle;
  doodle.file = "piirijutu.png";
  doodle.width = kScreenWidth;
  doodle.height = kScreenHeight;
  doodle.kind = PictureKind::Layer;
  doodle.solid = doodleInterior();
  doodle.caption = textBox("PIIRIJUTU", kDoodleTitleCell, doodleTitleOrigin());
  doodle.textColour = kPenBlue;
  doodle.text = "PIIRIJUTU";
  doodle.draw = drawPiirijutu;
  entries.push_back(doodle);
  for (const CreditPair& pair : creditPairs()) {
    const TeamMember& member = team()[static_cast<std::size_t>(pair.member)];
    const bool corner = pair.emblem.radius < 100.0f;
    PictureEntry emblem;
    emblem.file = pair.emblemFile;
    emblem.width = corner ? kCornerEmblemSize : kScreenWidth;
    emblem.height = corner ? kCornerEmblemSize : kScreenHeight;
    emblem.kind = PictureKind::Layer;
    emblem.solid = emblemInterior(pair.emblem);
    if (!corner) emblem.text = std::string(1, pair.emblem.initial);
    if (pair.emblem.motif == Motif::Code) emblem.text += "\n</>\n01";
    emblem.draw = [pair](const PictureEntry& s) {
      Canvas c(s.width, s.height);
      drawEmblem(c, pair.emblem, pair.theme);
      return c;
    };
    entries.push_back(emblem);
    PictureEntry caption;
    caption.file = pair.captionFile;
    caption.width = kScreenWidth;
    caption.height = kScreenHeight;
    caption.kind = PictureKind::Layer;
    caption.solid = panelInterior(pair.panel);
    const CaptionLayout layout = captionLayout(member, pair.panel);
    caption.caption = textBox(member.name, layout.nameCell, layout.nameOrigin);
    caption.textColour = nameColour(pair.theme);
    caption.text = member.name + "\n" + member.role;
    caption.draw = [pair, member](const PictureEntry& s) {
      Canvas c(s.width, s.height);
      drawCaption(c, member, pair.theme, pair.panel);
      return c;
    };
    entries.push_back(caption);
  }
  return entries;
}

}  // namespace vorn::picture
