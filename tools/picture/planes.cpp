// The picture planes: square, opaque pictures shown on a plane that fills the
// view, upright (the picture's top row at the top of the screen).
#include <cmath>

#include "tools/picture/catalogue.h"
#include "tools/picture/noise.h"
#include "tools/picture/style.h"

namespace vorn::picture {

namespace {

constexpr int kPlaneSize = 512;
constexpr float kPi = 3.14159265f;

// Chrome lettering: sky above a sharp horizon, warm metal below.
Colour chrome(float t) {
  if (t < 0.52f) return mix(hex(0x6fb6ff), hex(0xf4fbff), t / 0.52f);
  return mix(hex(0x5a2c08), hex(0xffc14a), (t - 0.52f) / 0.48f);
}

Rect drawChromeTitle(Canvas& c, const std::string& text, float cell, Vec2 origin) {
  const font::TextMask mask = font::renderText(text, cell);
  font::drawMask(c, blurred(font::grown(mask, 6), 10), origin, rgb(0.3f, 0.5f, 1.0f, 0.55f), Blend::Add);
  font::drawMask(c, blurred(font::grown(mask, 5), 4), origin + Vec2{7.0f, 9.0f}, rgb(0.0f, 0.0f, 0.0f, 0.75f));
  font::drawMask(c, font::grown(mask, 5), origin, hex(0x0b1030));
  font::drawMask(c, font::grown(mask, 2), origin, hex(0xd8e8ff));
  const float height = font::kGlyphRows * cell;
  font::drawMask(c, mask, origin, [&](float, float y) { return chrome(clamp01((y - origin.y) / height)); });
  return textBox(text, cell, origin);
}

void ellipseRing(Canvas& c, Vec2 centre, float rx, float ry, float width, Colour colour, bool frontOnly) {
  c.fillShape(
      around(centre, rx + width, ry + width),
      [&](float x, float y) {
        const float d = std::fabs(ellipseSdf({x, y}, centre, rx, ry)) - width * 0.5f;
        return frontOnly ? std::max(d, centre.y + 2.0f - y) : d;
      },
      colour, Blend::Add);
}

Canvas drawVornLogo(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  const Vec2 mid = {256.0f, 250.0f};
  c.paintAll([&](float x, float y) {
    const float r = length(Vec2{x, y} - mid) / 360.0f;
    const float n = fractalNoise(x / 128.0f, y / 128.0f, 5, 1001u);
    Colour col = mix(hex(0x1c2a66), hex(0x04050e), smoothstep(0.0f, 1.0f, r));
    return mix(col, hex(0x3a1a5a), 0.5f * smoothstep(0.55f, 0.8f, n));
  });
  addStarfield(c, 1002u, 260, 1.0f);
  ellipseRing(c, {256.0f, 262.0f}, 236.0f, 64.0f, 9.0f, rgb(1.0f, 0.5f, 0.15f, 0.25f), false);
  ellipseRing(c, {256.0f, 262.0f}, 236.0f, 64.0f, 2.5f, rgb(1.0f, 0.75f, 0.4f, 0.9f), false);
  const std::string word = "VORN";
  const float cell = 19.0f;
  const Vec2 origin = centredText(word, cell, {256.0f, 250.0f});
  const Rect box = drawChromeTitle(c, word, cell, origin);
  ellipseRing(c, {256.0f, 262.0f}, 236.0f, 64.0f, 2.5f, rgb(1.0f, 0.75f, 0.4f, 0.9f), true);
  addSparkle(c, {static_cast<float>(box.x0) + 8.0f, static_cast<float>(box.y0) + 6.0f}, 26.0f, rgb(1.0f, 1.0f, 1.0f));
  addSparkle(c, {static_cast<float>(box.x1) - 30.0f, static_cast<float>(box.y1) - 60.0f}, 20.0f,
             rgb(1.0f, 0.95f, 0.8f));
  const std::string tagline = "A REAL-TIME DEMO";
  drawTitle(c, tagline, 4.0f, centredText(tagline, 4.0f, {256.0f, 392.0f}),
            {hex(0xbfe0ff), hex(0x7fa8ff), hex(0x050818), 2, rgb(0.0f, 0.0f, 0.0f, 0.0f), {0.0f, 0.0f}, 0, 0.0f});
  return c;
}

// An outlined shape: the outline colour first, then the fill inset by width.
template <class Sdf, class Paint>
void outlined(Canvas& c, Box box, Sdf sdf, Paint paint, Colour outline, float width) {
  c.fillShape(box, sdf, outline);
  c.fillShape(
      box, [&](float x, float y) { return sdf(x, y) + width; }, paint);
}

// Pink skin lit from the upper left of light.
auto skin(Vec2 light, float reach) {
  return [=](float x, float y) {
    const float d = length(Vec2{x, y} - light) / reach;
    return mix(hex(0xffd0d6), hex(0xe77d93), smoothstep(0.0f, 1.0f, d));
  };
}

const Colour kPigLine = hex(0x6b2a3a);

void drawEye(Canvas& c, Vec2 p, float r) {
  fillCircle(c, p, r, hex(0x1a0c10));
  fillCircle(c, p + Vec2{-r * 0.35f, -r * 0.35f}, r * 0.38f, rgb(1.0f, 1.0f, 1.0f));
  fillCircle(c, p + Vec2{r * 0.3f, r * 0.35f}, r * 0.15f, rgb(1.0f, 1.0f, 1.0f, 0.8f));
}

Canvas drawSika(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  c.paintAll([](float, float y) { return mix(hex(0x5fb4ff), hex(0xd8f0ff), clamp01(y / 330.0f)); });
  fillCircle(c, {420.0f, 86.0f}, 40.0f, hex(0xfff3a0));
  addGlow(c, {420.0f, 86.0f}, 60.0f, rgb(1.0f, 0.95f, 0.6f, 0.5f));
  // Clouds: each one the union of a few puffs, shaded as one body.
  for (const Vec2 cloud : {Vec2{110.0f, 90.0f}, Vec2{260.0f, 140.0f}}) {
    const Vec2 puffs[4] = {{-34.0f, 8.0f}, {0.0f, -8.0f}, {34.0f, 6.0f}, {12.0f, 14.0f}};
    c.fillShape(
        around(cloud, 66.0f, 46.0f),
        [&](float x, float y) {
          float d = 1e9f;
          for (const Vec2 puff : puffs) d = std::min(d, circleSdf({x, y}, cloud + puff, 26.0f));
          return d;
        },
        [&](float, float y) {
          return mix(hex(0xffffff), hex(0xdce8f6), smoothstep(cloud.y - 10.0f, cloud.y + 40.0f, y));
        });
  }
  // Meadow: a wide hill with noisy grass.
  c.fillShape(
      {0, 300, 512, 512},
      [](float x, float y) {
        return circleSdf({x, y}, {256.0f, 1240.0f}, 920.0f);
      },
      [](float x, float y) {
        const float n = fractalNoise(x / 24.0f, y / 6.0f, 4, 1101u);
        return mix(hex(0x3f9a2e), hex(0x8fd65a), 0.3f + 0.7f * n - 0.3f * clamp01((y - 320.0f) / 190.0f));
      });
  Rng rng(1102u);
  for (int i = 0; i < 60; ++i) {
    const Vec2 p = {rng.range(0.0f, 512.0f), rng.range(350.0f, 505.0f)};
    const Colour petal = rng.uniform() < 0.5f ? rgb(1.0f, 1.0f, 1.0f) : hex(0xffe04a);
    for (int k = 0; k < 5; ++k) {
      const float a = k * 2.0f * kPi / 5.0f;
      fillCircle(c, p + Vec2{2.6f * std::cos(a), 2.6f * std::sin(a)}, 2.0f, petal);
    }
    fillCircle(c, p, 1.6f, hex(0xff9a2a));
  }
  // Shadow, far legs, tail, body, near legs, head.
  c.fillShape(
      around({250.0f, 428.0f}, 170.0f, 20.0f),
      [](float x, float y) {
        return ellipseSdf({x, y}, {250.0f, 428.0f}, 160.0f, 16.0f);
      },
      rgb(0.0f, 0.2f, 0.0f, 0.3f));
  const auto leg = [&](float x, float top, float bottom, float shade) {
    const Vec2 centre = {x, (top + bottom) * 0.5f}, half = {17.0f, (bottom - top) * 0.5f};
    outlined(
        c, around(centre, half.x + 2.0f, half.y + 2.0f),
        [=](float px, float py) {
          return roundBoxSdf({px, py}, centre, half, 8.0f);
        },
        [=](float, float py) { return scaled(mix(hex(0xf7a7b6), hex(0xd66a82), (py - top) / (bottom - top)), shade); },
        kPigLine, 3.0f);
    c.fillShape(
        around({x, bottom - 6.0f}, 18.0f, 8.0f),
        [=](float px, float py) {
          return roundBoxSdf({px, py}, {x, bottom - 6.0f}, {14.0f, 4.5f}, 3.0f);
        },
        hex(0x7a3a48));
  };
  leg(150.0f, 350.0f, 428.0f, 0.82f);
  leg(318.0f, 350.0f, 428.0f, 0.82f);
  std::vector<Vec2> tail;
  for (int i = 0; i <= 40; ++i) {
    const float t = i / 40.0f, a = t * 3.2f * kPi, r = 24.0f * (1.0f - 0.55f * t);
    tail.push_back({94.0f - 30.0f * t - r * std::sin(a), 262.0f - 20.0f * t - r * std::cos(a) + 24.0f});
  }
  strokePath(c, tail, 9.0f, kPigLine);
  strokePath(c, tail, 4.5f, hex(0xf49aae));
  outlined(
      c, around({236.0f, 300.0f}, 160.0f, 110.0f),
      [](float x, float y) {
        return ellipseSdf({x, y}, {236.0f, 300.0f}, 150.0f, 100.0f);
      },
      skin({190.0f, 240.0f}, 210.0f), kPigLine, 4.0f);
  leg(118.0f, 360.0f, 440.0f, 1.0f);
  leg(290.0f, 360.0f, 440.0f, 1.0f);
  // Head with ears, snout and a smile.
  const Vec2 head = {390.0f, 250.0f};
  for (float side : {-1.0f, 1.0f}) {
    const Vec2 base = head + Vec2{side * 34.0f - 6.0f, -50.0f};
    const std::vector<Vec2> ear = {base + Vec2{-24.0f, 10.0f}, base + Vec2{side * 8.0f + 6.0f, -56.0f},
                                   base + Vec2{26.0f, 6.0f}};
    outlined(
        c, boundsOf(ear, 6.0f),
        [&](float x, float y) {
          return polygonSdf({x, y}, ear) - 3.0f;
        },
        [](float, float) { return hex(0xf28aa0); }, kPigLine, 4.0f);
  }
  outlined(
      c, around(head, 80.0f),
      [&](float x, float y) {
        return circleSdf({x, y}, head, 76.0f);
      },
      skin(head + Vec2{-30.0f, -30.0f}, 110.0f), kPigLine, 4.0f);
  const Vec2 snout = head + Vec2{62.0f, 18.0f};
  outlined(
      c, around(snout, 34.0f, 40.0f),
      [&](float x, float y) {
        return ellipseSdf({x, y}, snout, 28.0f, 34.0f);
      },
      [&](float x, float y) {
        return mix(hex(0xffb3c2), hex(0xe07088), clamp01(length(Vec2{x, y} - snout) / 34.0f));
      },
      kPigLine, 3.5f);
  for (float dy : {-12.0f, 12.0f})
    c.fillShape(
        around(snout + Vec2{2.0f, dy}, 8.0f, 10.0f),
        [&](float x, float y) {
          return ellipseSdf({x, y}, snout + Vec2{2.0f, dy}, 5.0f, 7.5f);
        },
        hex(0x6b2a3a));
  drawEye(c, head + Vec2{20.0f, -24.0f}, 9.0f);
  std::vector<Vec2> smile;
  for (int i = 0; i <= 12; ++i) {
    const float a = 0.35f + i * 0.07f;
    smile.push_back(head + Vec2{62.0f - 48.0f * std::cos(a) + 10.0f, 30.0f + 30.0f * std::sin(a)});
  }
  strokePath(c, smile, 3.5f, kPigLine);
  fillCircle(c, head + Vec2{-14.0f, 14.0f}, 14.0f, rgb(1.0f, 0.35f, 0.45f, 0.3f));
  return c;
}

Canvas drawSianpaa(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  const Vec2 mid = {256.0f, 280.0f};
  c.paintAll([&](float x, float y) {
    const Vec2 d = Vec2{x, y} - mid;
    const float angle = std::atan2(d.y, d.x);
    const float ray = 0.5f + 0.5f * std::sin(angle * 12.0f);
    const float r = length(d) / 380.0f;
    Colour col = mix(hex(0x7a2a9a), hex(0xc04ab0), smoothstep(0.35f, 0.65f, ray));
    return mix(col, hex(0x200a30), smoothstep(0.2f, 1.0f, r));
  });
  const Vec2 head = {256.0f, 290.0f};
  for (float side : {-1.0f, 1.0f}) {
    const std::vector<Vec2> ear = {head + Vec2{side * 70.0f, -140.0f}, head + Vec2{side * 200.0f, -210.0f},
                                   head + Vec2{side * 170.0f, -60.0f}};
    outlined(
        c, boundsOf(ear, 10.0f),
        [&](float x, float y) {
          return polygonSdf({x, y}, ear) - 8.0f;
        },
        [](float, float) { return hex(0xf59bb0); }, kPigLine, 5.0f);
    const std::vector<Vec2> inner = {head + Vec2{side * 95.0f, -140.0f}, head + Vec2{side * 180.0f, -188.0f},
                                     head + Vec2{side * 160.0f, -95.0f}};
    c.fillShape(
        boundsOf(inner, 8.0f),
        [&](float x, float y) {
          return polygonSdf({x, y}, inner) - 5.0f;
        },
        hex(0xd9657f));
  }
  c.fillShape(
      around(head + Vec2{10.0f, 14.0f}, 210.0f, 190.0f),
      [&](float x, float y) {
        return ellipseSdf({x, y}, head + Vec2{10.0f, 14.0f}, 192.0f, 170.0f);
      },
      rgb(0.0f, 0.0f, 0.0f, 0.35f));
  outlined(
      c, around(head, 200.0f, 180.0f),
      [&](float x, float y) {
        return ellipseSdf({x, y}, head, 190.0f, 168.0f);
      },
      skin(head + Vec2{-70.0f, -80.0f}, 260.0f), kPigLine, 5.0f);
  for (float side : {-1.0f, 1.0f}) {
    fillCircle(c, head + Vec2{side * 120.0f, 50.0f}, 34.0f, rgb(1.0f, 0.3f, 0.45f, 0.28f));
    const Vec2 eye = head + Vec2{side * 72.0f, -50.0f};
    c.fillShape(
        around(eye, 30.0f),
        [&](float x, float y) {
          return ellipseSdf({x, y}, eye, 24.0f, 28.0f);
        },
        rgb(1.0f, 1.0f, 1.0f));
    drawEye(c, eye + Vec2{side * -4.0f, 4.0f}, 15.0f);
    strokeLine(c, eye + Vec2{-26.0f, -40.0f + side * 6.0f}, eye + Vec2{26.0f, -40.0f - side * 6.0f}, 7.0f, kPigLine);
  }
  const Vec2 snout = head + Vec2{0.0f, 48.0f};
  outlined(
      c, around(snout, 90.0f, 66.0f),
      [&](float x, float y) {
        return ellipseSdf({x, y}, snout, 84.0f, 60.0f);
      },
      [&](float x, float y) {
        return mix(hex(0xffb9c8), hex(0xe2708a), clamp01(length(Vec2{x, y} - snout + Vec2{20.0f, 20.0f}) / 100.0f));
      },
      kPigLine, 5.0f);
  for (float side : {-1.0f, 1.0f}) {
    const Vec2 n = snout + Vec2{side * 30.0f, 2.0f};
    c.fillShape(
        around(n, 16.0f, 24.0f),
        [&](float x, float y) {
          return ellipseSdf({x, y}, n, 12.0f, 20.0f);
        },
        hex(0x5a1e2e));
  }
  fillCircle(c, snout + Vec2{-40.0f, -30.0f}, 10.0f, rgb(1.0f, 1.0f, 1.0f, 0.5f));
  std::vector<Vec2> mouth;
  for (int i = 0; i <= 16; ++i) {
    const float a = 0.5f + i * (kPi - 1.0f) / 16.0f;
    mouth.push_back(head + Vec2{70.0f * std::cos(a), 110.0f + 26.0f * std::sin(a)});
  }
  strokePath(c, mouth, 6.0f, kPigLine);
  return c;
}

Canvas drawVorn2003(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  const float horizon = 372.0f;
  c.paintAll([&](float, float y) {
    if (y < horizon) return mix(hex(0x05031a), hex(0x5a1a6a), smoothstep(0.0f, horizon, y));
    return mix(hex(0x12041e), hex(0x02010a), clamp01((y - horizon) / 140.0f));
  });
  addStarfield(c, 2003u, 200, 0.9f);
  // A striped setting sun on the horizon.
  const Vec2 sun = {256.0f, horizon};
  c.fillShape(
      around(sun, 130.0f),
      [&](float x, float y) {
        // Bands cut across the lower part of the sun, wider towards the horizon.
        const float above = horizon - y;
        float cut = -10.0f;
        if (above < 70.0f) {
          const float gap = 0.5f + 4.5f * (1.0f - above / 70.0f);
          cut = gap - std::fabs(std::fmod(above, 14.0f) - 7.0f);
        }
        return std::max({circleSdf({x, y}, sun, 125.0f), y - horizon, cut});
      },
      [&](float, float y) { return mix(hex(0xfff27a), hex(0xff3a8a), clamp01((y - (horizon - 125.0f)) / 125.0f)); });
  addGlow(c, sun, 150.0f, rgb(1.0f, 0.3f, 0.6f, 0.25f));
  // A grid receding to the horizon.
  const Colour grid = rgb(1.0f, 0.3f, 0.9f, 0.85f);
  for (int k = -12; k <= 12; ++k) strokeLine(c, {256.0f + k * 8.0f, horizon}, {256.0f + k * 70.0f, 512.0f}, 1.6f, grid);
  for (int k = 1; k < 12; ++k) {
    const float y = horizon + 140.0f * (k * k) / 121.0f;
    strokeLine(c, {0.0f, y}, {512.0f, y}, 1.2f + 1.2f * k / 12.0f, grid);
  }
  strokeLine(c, {0.0f, horizon}, {512.0f, horizon}, 3.0f, hex(0xffa0f0));
  const std::string vorn = "VORN", year = "2003";
  drawTitle(c, vorn, 11.0f, centredText(vorn, 11.0f, {256.0f, 82.0f}),
            {hex(0xe8f4ff), hex(0x7fb0ff), hex(0x0a0a28), 4, rgb(0.0f, 0.0f, 0.0f, 0.7f), {5.0f, 6.0f}, 3, 0.0f});
  const float cell = 18.0f;
  const Vec2 origin = centredText(year, cell, {256.0f, 238.0f});
  const Rect box = drawChromeTitle(c, year, cell, origin);
  addSparkle(c, {static_cast<float>(box.x1) - 6.0f, static_cast<float>(box.y0) + 4.0f}, 30.0f, rgb(1.0f, 1.0f, 1.0f));
  addSparkle(c, {static_cast<float>(box.x0) + 40.0f, static_cast<float>(box.y1) - 4.0f}, 18.0f, rgb(1.0f, 0.9f, 1.0f));
  return c;
}

// Layout of the credits card: one row per team member, role on the left and
// name on the right.
constexpr float kCreditsCell = 4.5f;
const Colour kCreditsNameColour = hex(0xffffff);

float creditsRowTop(int row) { return 150.0f + 46.0f * row; }

Vec2 creditsNameOrigin(int row) {
  return {452.0f - font::textWidth(team()[static_cast<std::size_t>(row)].name, kCreditsCell), creditsRowTop(row)};
}

Canvas drawCredits(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  c.paintAll([](float x, float y) {
    const float n = fractalNoise(x / 96.0f, y / 96.0f, 4, 3001u);
    return mix(mix(hex(0x2a0f45), hex(0x0a1030), y / 512.0f), hex(0x3a2060), 0.4f * smoothstep(0.5f, 0.8f, n));
  });
  addStarfield(c, 3002u, 120, 0.7f);
  const Vec2 centre = {256.0f, 256.0f};
  c.fillShape(
      {0, 0, 512, 512},
      [&](float x, float y) {
        return std::fabs(roundBoxSdf({x, y}, centre, {236.0f, 236.0f}, 24.0f)) - 2.5f;
      },
      hex(0xffc94a));
  c.fillShape(
      {0, 0, 512, 512},
      [&](float x, float y) {
        return std::fabs(roundBoxSdf({x, y}, centre, {226.0f, 226.0f}, 18.0f)) - 1.0f;
      },
      rgb(1.0f, 0.8f, 0.3f, 0.6f));
  const std::string title = "VORN";
  drawTitle(c, title, 8.0f, centredText(title, 8.0f, {256.0f, 78.0f}),
            {hex(0xfff4c0), hex(0xffa020), hex(0x2a0a10), 3, rgb(0.0f, 0.0f, 0.0f, 0.6f), {4.0f, 5.0f}, 2, 0.0f});
  const float cell = kCreditsCell;
  const TitleStyle roleStyle = {hex(0xffd27a), hex(0xff9a3a), hex(0x14061e), 2, rgb(0, 0, 0, 0), {0, 0}, 0, 0.0f};
  const TitleStyle nameStyle = {
      kCreditsNameColour, kCreditsNameColour, hex(0x14061e), 2, rgb(0, 0, 0, 0), {0, 0}, 0, 0.0f};
  for (int row = 0; row < static_cast<int>(team().size()); ++row) {
    const TeamMember& m = team()[static_cast<std::size_t>(row)];
    const float y = creditsRowTop(row);
    drawTitle(c, m.role, cell, {60.0f, y}, roleStyle);
    const Rect box = drawTitle(c, m.name, cell, creditsNameOrigin(row), nameStyle);
    for (float x = 60.0f + font::textWidth(m.role, cell) + 10.0f; x < box.x0 - 10.0f; x += 9.0f)
      fillCircle(c, {x, y + 6.5f * cell}, 1.6f, rgb(1.0f, 0.8f, 0.4f, 0.7f));
  }
  const std::string year = "2003";
  drawTitle(c, year, 4.0f, centredText(year, 4.0f, {256.0f, 448.0f}),
            {hex(0xbfe0ff), hex(0x7fa8ff), hex(0x050818), 2, rgb(0, 0, 0, 0), {0, 0}, 0, 0.0f});
  return c;
}

PictureEntry plane(const char* file, Canvas (*draw)(const PictureEntry&)) {
  PictureEntry entry;
  entry.file = file;
  entry.width = entry.height = kPlaneSize;
  entry.kind = PictureKind::Plane;
  entry.solid = {0, 0, kPlaneSize, kPlaneSize};
  entry.draw = draw;
  return entry;
}

}  // namespace

std::vector<PictureEntry> planeEntries() {
  std::vector<PictureEntry> entries = {plane("vornlogo.png", drawVornLogo), plane("sika.png", drawSika),
                                       plane("sianpaa.png", drawSianpaa), plane("vorn2003.png", drawVorn2003),
                                       plane("credits.png", drawCredits)};
  entries[0].text = "VORN\nA REAL-TIME DEMO";
  entries[3].text = "VORN\n2003";
  PictureEntry& credits = entries[4];
  credits.caption = textBox(team().front().name, kCreditsCell, creditsNameOrigin(0));
  credits.textColour = kCreditsNameColour;
  credits.text = "VORN\n2003";
  for (const TeamMember& m : team()) credits.text += "\n" + m.role + "\n" + m.name;
  return entries;
}

}  // namespace vorn::picture
