// The model textures: square, power-of-two and seamless, since the models'
// texture coordinates repeat. Shapes that cross an edge are drawn again on the
// opposite side, and the noise repeats with the picture.
#include <cmath>

#include "tools/picture/catalogue.h"
#include "tools/picture/noise.h"

namespace vorn::picture {

namespace {

constexpr float kPi = 3.14159265f;

// Calls draw(centre) for every copy of a shape of the given reach that
// touches a size x size tile, so shapes on the edges wrap around.
template <class Draw>
void wrapped(int size, Vec2 centre, float reach, Draw draw) {
  const float s = static_cast<float>(size);
  for (int oy = -1; oy <= 1; ++oy)
    for (int ox = -1; ox <= 1; ++ox) {
      const Vec2 c = {centre.x + ox * s, centre.y + oy * s};
      if (c.x + reach < -1.0f || c.y + reach < -1.0f || c.x - reach > s + 1.0f || c.y - reach > s + 1.0f) continue;
      draw(c);
    }
}

// A star: a soft core, a glow for bright ones, and four fading spikes for the few
// brightest.
void drawStar(Canvas& c, Vec2 p, float brightness, Colour tint, bool spiked) {
  const Colour core = scaled(tint, brightness);
  fillCircle(c, p, 0.55f + 0.5f * brightness, core, Blend::Add);
  if (brightness > 0.5f) addGlow(c, p, 1.0f + 2.0f * brightness, scaled(tint, 0.3f * brightness));
  if (!spiked) return;
  const float reach = 6.0f + 14.0f * brightness;
  const Box box = around(p, reach);
  for (int y = std::max(box.y0, 0); y < std::min(box.y1, c.height()); ++y)
    for (int x = std::max(box.x0, 0); x < std::min(box.x1, c.width()); ++x) {
      const float dx = std::fabs(x + 0.5f - p.x), dy = std::fabs(y + 0.5f - p.y);
      const float spike = std::exp(-dy * dy * 1.5f) * std::max(0.0f, 1.0f - dx / reach) +
                          std::exp(-dx * dx * 1.5f) * std::max(0.0f, 1.0f - dy / reach);
      if (spike > 0.003f) c.put(x, y, scaled(tint, 0.5f * brightness), std::min(spike, 1.0f), Blend::Add);
    }
}

Canvas drawAvaruus(const PictureEntry& entry) {
  const int size = entry.width;
  Canvas c(size, size, rgb(0.0f, 0.0f, 0.012f));
  const float cells = 4.0f;  // noise cells across the picture
  c.paintAll(
      [&](float x, float y) {
        const float u = x / size * cells, v = y / size * cells;
        const float purple = smoothstep(0.5f, 0.8f, fractalNoise(u, v, 5, 11u, 4));
        const float teal = smoothstep(0.55f, 0.85f, fractalNoise(u + 7.3f, v + 2.1f, 5, 23u, 4));
        const float dust = fractalNoise(u * 2.0f, v * 2.0f, 4, 31u, 8);
        const float k = 0.6f + 0.8f * dust;
        return rgb(0.20f * purple * k + 0.02f * teal, 0.05f * purple * k + 0.12f * teal * k,
                   0.28f * purple * k + 0.22f * teal * k, 1.0f);
      },
      Blend::Add);
  Rng rng(2003u);
  const Colour tints[4] = {rgb(1.0f, 1.0f, 1.0f), rgb(0.75f, 0.85f, 1.0f), rgb(1.0f, 0.9f, 0.7f),
                           rgb(1.0f, 0.75f, 0.7f)};
  for (int i = 0; i < 1600; ++i) {
    const Vec2 p = {rng.range(0.0f, static_cast<float>(size)), rng.range(0.0f, static_cast<float>(size))};
    const float r = rng.uniform();
    const float brightness = 0.15f + 0.85f * r * r * r * r;
    const Colour tint = tints[rng.below(4)];
    wrapped(size, p, 8.0f, [&](Vec2 q) { drawStar(c, q, brightness, tint, false); });
  }
  for (int i = 0; i < 18; ++i) {
    const Vec2 p = {rng.range(0.0f, static_cast<float>(size)), rng.range(0.0f, static_cast<float>(size))};
    const Colour tint = tints[rng.below(4)];
    wrapped(size, p, 24.0f, [&](Vec2 q) { drawStar(c, q, 1.0f, tint, true); });
  }
  return c;
}

Canvas drawHauki(const PictureEntry& entry) {
  const int size = entry.width;
  constexpr int kColumns = 8, kRows = 16;  // scales across and down one tile
  const float w = static_cast<float>(size) / kColumns, h = static_cast<float>(size) / kRows;
  const float radius = w * 0.62f;
  Canvas c(size, size, hex(0x2e3a1c));
  const Colour dark = hex(0x33451f), mid = hex(0x6f8a3c), light = hex(0xd8d08a);
  // Rows are drawn top to bottom, each over the one above, two rows beyond
  // each edge so that the overlaps wrap like the tile.
  for (int row = -2; row <= kRows + 1; ++row) {
    const int rowInTile = ((row % kRows) + kRows) % kRows;
    for (int col = -1; col <= kColumns; ++col) {
      const int colInTile = ((col % kColumns) + kColumns) % kColumns;
      const Vec2 centre = {(col + ((rowInTile % 2) ? 0.5f : 0.0f)) * w, row * h};
      const float tone = (hash3(colInTile, rowInTile, 77u) >> 8) * (1.0f / 16777215.0f);
      const Colour base = mix(mid, light, 0.15f + 0.45f * tone);
      c.fillShape(
          around(centre, radius),
          [&](float x, float y) {
            return circleSdf({x, y}, centre, radius);
          },
          [&](float x, float y) {
            const Vec2 d = Vec2{x, y} - centre;
            const float r = length(d) / radius;
            // Darker towards the rim, a sheen below the middle, a dark edge line.
            Colour col = mix(base, dark, smoothstep(0.35f, 1.0f, r) * 0.8f);
            const float sheen = std::exp(-((d.x) * (d.x) + (d.y - radius * 0.45f) * (d.y - radius * 0.45f)) /
                                         (radius * radius * 0.12f));
            col = mix(col, rgb(1.0f, 0.98f, 0.85f), 0.45f * sheen);
            const float rim = smoothstep(radius - 2.2f, radius - 0.8f, length(d));
            return mix(col, hex(0x1d2612), rim);
          });
    }
  }
  // Dark spots of the pike, seamless with the tile.
  const float cells = 6.0f;
  c.paintAll([&](float x, float y) {
    const float n = fractalNoise(x / size * cells, y / size * cells, 3, 5u, 6);
    return rgb(0.05f, 0.08f, 0.02f, 0.55f * smoothstep(0.58f, 0.72f, n));
  });
  return c;
}

// The environment reflected in a chrome ball, as a sphere-map picture: the
// picture's first row is t = 0, and a reflection pointing up (+y) lands at t > 0.5.
Canvas drawNekku(const PictureEntry& entry) {
  const int size = entry.width;
  Canvas c(size, size);
  c.paintAll([&](float x, float y) {
    float nx = 2.0f * x / size - 1.0f, ny = 2.0f * y / size - 1.0f;
    const float d = std::sqrt(nx * nx + ny * ny);
    if (d > 0.995f) {
      nx *= 0.995f / d;
      ny *= 0.995f / d;
    }
    const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
    const float rx = 2.0f * nz * nx, ry = 2.0f * nz * ny, rz = 2.0f * nz * nz - 1.0f;
    const float azimuth = std::atan2(rx, rz);  // -pi to pi around the viewer
    Colour col;
    if (ry >= 0.0f) {
      const float up = std::sqrt(ry);
      col = mix(rgb(1.0f, 0.97f, 0.9f), rgb(0.35f, 0.55f, 0.95f), up);
      const float clouds = fractalNoise(azimuth * 3.0f, ry * 6.0f, 4, 61u);
      col = mix(col, rgb(1.0f, 1.0f, 1.0f), 0.6f * smoothstep(0.5f, 0.75f, clouds) * (1.0f - up));
      // The sun, up and to the left.
      const float sx = rx + 0.45f, sy = ry - 0.6f, sz = rz - 0.65f;
      col = mix(col, rgb(1.0f, 1.0f, 0.95f), std::exp(-(sx * sx + sy * sy + sz * sz) * 18.0f));
      // Bright windows along the horizon.
      const float band = smoothstep(0.04f, 0.06f, ry) * (1.0f - smoothstep(0.2f, 0.22f, ry));
      const float window = std::fmod(azimuth * 8.0f / kPi + 16.0f, 2.0f) < 1.2f ? 1.0f : 0.0f;
      col = mix(col, rgb(1.0f, 1.0f, 1.0f), 0.8f * band * window);
    } else {
      const float down = std::sqrt(-ry);
      col = mix(rgb(0.8f, 0.76f, 0.72f), rgb(0.38f, 0.36f, 0.4f), down);
      // A checked floor, its contrast fading towards the horizon where the checks would shimmer.
      const float fu = rx / std::max(-ry, 0.05f), fv = rz / std::max(-ry, 0.05f);
      const bool check = (static_cast<int>(std::floor(fu * 2.0f)) + static_cast<int>(std::floor(fv * 2.0f))) & 1;
      col = scaled(col, 1.0f + (check ? 0.18f : -0.18f) * smoothstep(0.08f, 0.45f, -ry));
    }
    // The bright horizon line.
    col = mix(col, rgb(1.0f, 0.95f, 0.85f), std::exp(-ry * ry * 900.0f));
    return rgb(col.r, col.g, col.b, 1.0f);
  });
  return c;
}

// Panel seams, rivets and grime shared by the two hull textures: the tile is
// split at random into rectangles, each gets its own shade.
struct PanelStyle {
  Colour base, seam, highlight, rivet;
  int minPanel;
  float shadeSpread;
  std::uint32_t seed;
};

struct Panel {
  float x0, y0, x1, y1;
};

void splitPanels(Rng& rng, Panel p, int minPanel, std::vector<Panel>& out) {
  const float w = p.x1 - p.x0, h = p.y1 - p.y0;
  const bool canX = w >= 2 * minPanel, canY = h >= 2 * minPanel;
  if ((!canX && !canY) || (rng.uniform() < 0.2f && w <= 4 * minPanel && h <= 4 * minPanel)) {
    out.push_back(p);
    return;
  }
  const bool alongX = canX && (!canY || w > h || (w == h && rng.uniform() < 0.5f));
  const float span = alongX ? w : h;
  const int steps = static_cast<int>(span / minPanel);
  const float cut = minPanel * static_cast<float>(1 + rng.below(steps - 1));
  if (alongX) {
    splitPanels(rng, {p.x0, p.y0, p.x0 + cut, p.y1}, minPanel, out);
    splitPanels(rng, {p.x0 + cut, p.y0, p.x1, p.y1}, minPanel, out);
  } else {
    splitPanels(rng, {p.x0, p.y0, p.x1, p.y0 + cut}, minPanel, out);
    splitPanels(rng, {p.x0, p.y0 + cut, p.x1, p.y1}, minPanel, out);
  }
}

std::vector<Panel> drawPanels(Canvas& c, const PanelStyle& style) {
  const int size = c.width();
  Rng rng(style.seed);
  std::vector<Panel> panels;
  splitPanels(rng, {0.0f, 0.0f, static_cast<float>(size), static_cast<float>(size)}, style.minPanel, panels);
  const float cells = 8.0f;
  c.paintAll([&](float x, float y) {
    const float n = fractalNoise(x / size * cells, y / size * cells, 5, style.seed + 1u, 8);
    const float brushed = valueNoise(x / size * 4.0f, y * 0.7f, style.seed + 2u, 0) - 0.5f;
    return scaled(style.base, 0.85f + 0.3f * n + 0.06f * brushed);
  });
  for (const Panel& p : panels) {
    const float shade = rng.range(-style.shadeSpread, style.shadeSpread);
    const Colour tint = shade > 0 ? rgb(1.0f, 1.0f, 1.0f, shade) : rgb(0.0f, 0.0f, 0.02f, -shade);
    c.fillShape(
        {static_cast<int>(p.x0), static_cast<int>(p.y0), static_cast<int>(p.x1), static_cast<int>(p.y1)},
        [](float, float) { return -1.0f; }, tint);
  }
  for (const Panel& p : panels) {
    // A seam on the top and left edge of every panel: every edge of the tiling
    // is some panel's top or left edge, or the tile's own, which wraps.
    const Vec2 corner = {p.x0, p.y0};
    const float w = p.x1 - p.x0, h = p.y1 - p.y0;
    wrapped(size, {corner.x + w * 0.5f, corner.y + h * 0.5f}, std::max(w, h), [&](Vec2 centre) {
      const Vec2 o = {centre.x - w * 0.5f, centre.y - h * 0.5f};
      strokeLine(c, o, {o.x + w, o.y}, 1.6f, style.seam);
      strokeLine(c, o, {o.x, o.y + h}, 1.6f, style.seam);
      strokeLine(c, {o.x + 1.5f, o.y + 1.5f}, {o.x + w - 1.5f, o.y + 1.5f}, 1.0f, style.highlight);
      strokeLine(c, {o.x + 1.5f, o.y + 1.5f}, {o.x + 1.5f, o.y + h - 1.5f}, 1.0f, style.highlight);
      for (float t = 6.0f; t < w - 3.0f; t += 10.0f) {
        fillCircle(c, {o.x + t, o.y + 4.5f}, 1.4f, style.rivet);
        fillCircle(c, {o.x + t - 0.4f, o.y + 4.1f}, 0.6f, style.highlight);
      }
    });
  }
  return panels;
}

Canvas drawShuttle(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  const PanelStyle style = {
      hex(0xa9b0bb), rgb(0.12f, 0.13f, 0.16f, 0.9f), rgb(1.0f, 1.0f, 1.0f, 0.35f), hex(0x5a606a), 32, 0.12f, 101u};
  const std::vector<Panel> panels = drawPanels(c, style);
  const int size = entry.width;
  // A red stripe band and a few vents, then hazard marks.
  c.fillShape(
      {0, 176, size, 196}, [](float, float y) { return std::fabs(y - 186.0f) - 9.0f; }, rgb(0.75f, 0.12f, 0.1f, 0.9f));
  c.fillShape(
      {0, 199, size, 203}, [](float, float y) { return std::fabs(y - 201.0f) - 1.5f; }, rgb(0.15f, 0.25f, 0.6f, 0.9f));
  Rng rng(7u);
  for (const Panel& p : panels) {
    const float w = p.x1 - p.x0, h = p.y1 - p.y0;
    if (w < 48.0f || h < 40.0f || rng.uniform() < 0.5f) continue;
    const int slits = 4 + rng.below(3);
    for (int i = 0; i < slits; ++i) {
      const float y = p.y0 + 12.0f + i * 5.0f;
      strokeLine(c, {p.x0 + 10.0f, y}, {p.x0 + w * 0.6f, y}, 2.4f, rgb(0.08f, 0.08f, 0.1f, 0.85f));
      strokeLine(c, {p.x0 + 10.0f, y + 1.6f}, {p.x0 + w * 0.6f, y + 1.6f}, 0.8f, rgb(1.0f, 1.0f, 1.0f, 0.3f));
    }
  }
  for (int i = 0; i < 8; ++i) {
    const float x0 = 20.0f + i * 8.0f;
    fillPolygon(c, {{x0, 232.0f}, {x0 + 4.0f, 232.0f}, {x0 + 8.0f, 244.0f}, {x0 + 4.0f, 244.0f}},
                rgb(0.1f, 0.1f, 0.1f, 0.9f));
  }
  c.fillShape(
      {16, 230, 88, 246},
      [](float x, float y) {
        return roundBoxSdf({x, y}, {52.0f, 238.0f}, {35.0f, 7.0f}, 1.0f);
      },
      rgb(0.95f, 0.75f, 0.1f, 0.35f));
  return c;
}

Canvas drawMothership(const PictureEntry& entry) {
  Canvas c(entry.width, entry.height);
  const int size = entry.width;
  const PanelStyle style = {
      hex(0x555c68), rgb(0.05f, 0.05f, 0.07f, 0.95f), rgb(1.0f, 1.0f, 1.0f, 0.22f), hex(0x30343c), 32, 0.1f, 202u};
  const std::vector<Panel> panels = drawPanels(c, style);
  Rng rng(303u);
  // Raised blocks on some panels.
  for (const Panel& p : panels) {
    if (rng.uniform() < 0.55f) continue;
    const float w = p.x1 - p.x0, h = p.y1 - p.y0;
    const Vec2 centre = {p.x0 + w * 0.5f, p.y0 + h * 0.5f};
    const Vec2 half = {w * rng.range(0.18f, 0.35f), h * rng.range(0.18f, 0.35f)};
    const Box box = around(centre, half.x + 3.0f, half.y + 3.0f);
    c.fillShape(
        box,
        [&](float x, float y) {
          return roundBoxSdf({x, y}, centre + Vec2{2.0f, 2.0f}, half, 2.0f);
        },
        rgb(0.0f, 0.0f, 0.0f, 0.5f));
    c.fillShape(
        box,
        [&](float x, float y) {
          return roundBoxSdf({x, y}, centre, half, 2.0f);
        },
        [&](float, float y) { return mix(hex(0x7a8290), hex(0x434852), (y - centre.y + half.y) / (2.0f * half.y)); });
  }
  // Rows of windows, some dark; the lit ones glow.
  for (int band = 0; band < 4; ++band) {
    const float y = 40.0f + band * 128.0f;
    c.fillShape(
        {0, static_cast<int>(y) - 9, size, static_cast<int>(y) + 9},
        [y](float, float py) { return std::fabs(py - y) - 8.0f; }, hex(0x1c1f26));
    for (int i = 0; i < 32; ++i) {
      const Vec2 p = {8.0f + i * 16.0f, y};
      const bool lit = rng.uniform() < 0.75f;
      const Colour light = rng.uniform() < 0.8f ? hex(0xffd77a) : hex(0x9fe8ff);
      c.fillShape(
          around(p, 6.0f, 5.0f),
          [&](float x, float py) {
            return roundBoxSdf({x, py}, p, {4.5f, 3.5f}, 1.5f);
          },
          lit ? light : hex(0x2a3140));
      if (lit) addGlow(c, p, 6.0f, scaled(light, 0.35f));
    }
  }
  // Running lights.
  for (int i = 0; i < 10; ++i) {
    const Vec2 p = {rng.range(16.0f, size - 16.0f), 104.0f + 128.0f * rng.below(4)};
    const Colour light = (i % 3 == 0) ? hex(0xff3030) : (i % 3 == 1 ? hex(0x30ff60) : hex(0x60c0ff));
    fillCircle(c, p, 3.0f, mix(light, rgb(1.0f, 1.0f, 1.0f), 0.5f));
    addGlow(c, p, 9.0f, scaled(light, 0.8f));
  }
  return c;
}

Canvas drawShuttle6(const PictureEntry& entry) {
  const int size = entry.width;
  Canvas c(size, size);
  c.paintAll([&](float x, float y) {
    const float n = fractalNoise(x / size * 5.0f, y / size * 5.0f, 5, 606u, 5);
    const float blotch = smoothstep(0.55f, 0.75f, fractalNoise(x / size * 3.0f, y / size * 3.0f, 3, 607u, 3));
    Colour skin = mix(hex(0xf7b5b9), hex(0xffd3d1), n);
    return mix(skin, hex(0xe08a95), 0.5f * blotch);
  });
  Rng rng(608u);
  for (int i = 0; i < 140; ++i) {
    const Vec2 p = {rng.range(0.0f, static_cast<float>(size)), rng.range(0.0f, static_cast<float>(size))};
    const float r = rng.range(0.6f, 1.8f);
    wrapped(size, p, r + 2.0f, [&](Vec2 q) { fillCircle(c, q, r, rgb(0.75f, 0.42f, 0.48f, 0.5f)); });
  }
  // Soft panel lines: a grid of 64 with a few extra cuts, and rivets on them.
  const Colour line = rgb(0.62f, 0.3f, 0.38f, 0.75f);
  for (int k = 0; k <= 4; ++k) {
    const float t = k * 64.0f;
    strokeLine(c, {t, 0.0f}, {t, static_cast<float>(size)}, 1.6f, line);
    strokeLine(c, {0.0f, t}, {static_cast<float>(size), t}, 1.6f, line);
  }
  for (int k = 0; k < 4; ++k) {
    const float y = k * 64.0f + 32.0f, x = (k % 2) * 128.0f + 64.0f;
    strokeLine(c, {x, y}, {x + 64.0f, y}, 1.2f, line);
  }
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 16; ++i) {
      const Vec2 p = {i * 16.0f + 8.0f, j * 64.0f + 5.0f};
      fillCircle(c, p, 1.5f, rgb(0.7f, 0.38f, 0.45f));
      fillCircle(c, p - Vec2{0.5f, 0.5f}, 0.6f, rgb(1.0f, 0.9f, 0.9f, 0.8f));
    }
  return c;
}

Canvas drawKyklohepo(const PictureEntry& entry) {
  const int size = entry.width;
  constexpr int kDiamonds = 4;  // across one tile
  const float step = static_cast<float>(size) / kDiamonds;
  const Colour colours[4] = {hex(0xe8262b), hex(0xffd21f), hex(0x1f6fe0), hex(0x2fb34a)};
  Canvas c(size, size, hex(0xf6efe0));
  // Harlequin diamonds: centres on a grid and on the grid shifted by half.
  for (int j = -1; j <= kDiamonds; ++j)
    for (int i = -1; i <= kDiamonds; ++i)
      for (int half = 0; half < 2; ++half) {
        const Vec2 centre = {(i + 0.5f * half) * step, (j + 0.5f * half) * step};
        const int ci = ((i + 2 * j + 3 * half) % 4 + 4) % 4;
        const float r = step * 0.5f;
        const std::vector<Vec2> diamond = {
            {centre.x, centre.y - r}, {centre.x + r, centre.y}, {centre.x, centre.y + r}, {centre.x - r, centre.y}};
        const Colour base = colours[ci];
        c.fillShape(
            boundsOf(diamond, 2.0f),
            [&](float x, float y) {
              return polygonSdf({x, y}, diamond);
            },
            [&](float x, float y) {
              const float k = 1.0f - 0.25f * length(Vec2{x, y} - centre) / r;
              return scaled(base, k + 0.1f);
            });
        strokePath(c, {diamond[0], diamond[1], diamond[2], diamond[3], diamond[0]}, 2.4f, hex(0x7a4a10));
        strokePath(c, {diamond[0], diamond[1], diamond[2], diamond[3], diamond[0]}, 1.0f, hex(0xffe9a0));
        if (half == 0)
          fillPolygon(c, starPolygon(centre, r * 0.42f, r * 0.18f, 5), rgb(1.0f, 1.0f, 0.95f));
        else
          fillCircle(c, centre, r * 0.2f, rgb(1.0f, 1.0f, 1.0f, 0.9f));
      }
  // Gold dots at every corner where the diamonds meet.
  for (int j = 0; j < 2 * kDiamonds; ++j)
    for (int i = 0; i < 2 * kDiamonds; ++i) {
      if ((i + j) % 2 == 0) continue;
      const Vec2 p = {i * step * 0.5f, j * step * 0.5f};
      wrapped(size, p, 6.0f, [&](Vec2 q) {
        fillCircle(c, q, 4.5f, hex(0x7a4a10));
        fillCircle(c, q, 3.5f, hex(0xffc93a));
        fillCircle(c, q - Vec2{1.0f, 1.0f}, 1.2f, hex(0xfff6d0));
      });
    }
  return c;
}

// A beach-ball pattern. Its alpha is below one because the ball is drawn
// additively with the texture's own alpha.
Canvas drawZolviapallo(const PictureEntry& entry) {
  const int size = entry.width;
  constexpr int kSegments = 8;
  const Colour colours[kSegments] = {hex(0xff3b3b), hex(0xffb21f), hex(0xfff03a), hex(0x39e05a),
                                     hex(0x2fd0ff), hex(0x3a6bff), hex(0xb04aff), hex(0xff4ac0)};
  const float w = static_cast<float>(size) / kSegments;
  Canvas c(size, size);
  c.paintAll([&](float x, float y) {
    const float fi = x / w;
    const int i = static_cast<int>(fi) % kSegments;
    const float across = fi - std::floor(fi);
    const float shade = 0.75f + 0.25f * std::sin(across * kPi);
    const float n = fractalNoise(x / size * 4.0f, y / size * 4.0f, 3, 909u, 4);
    return rgb(colours[i].r * shade, colours[i].g * shade, colours[i].b * shade, 0.5f + 0.15f * n);
  });
  for (int k = 0; k <= kSegments; ++k)
    strokeLine(c, {k * w, 0.0f}, {k * w, static_cast<float>(size)}, 2.0f, rgb(1.0f, 1.0f, 1.0f, 0.85f));
  // A white band with coloured dots, and stars.
  const float mid = size * 0.5f;
  c.fillShape(
      {0, static_cast<int>(mid) - 22, size, static_cast<int>(mid) + 22},
      [mid](float, float y) { return std::fabs(y - mid) - 18.0f; }, rgb(1.0f, 1.0f, 1.0f, 0.8f));
  for (int k = 0; k < 2 * kSegments; ++k) {
    const Vec2 p = {(k + 0.5f) * w * 0.5f, mid};
    fillCircle(c, p, 7.0f, rgb(colours[k % kSegments].r, colours[k % kSegments].g, colours[k % kSegments].b, 0.9f));
  }
  for (int k = 0; k < kSegments; ++k) {
    fillPolygon(c, starPolygon({(k + 0.5f) * w, size * 0.2f}, 11.0f, 4.5f, 5), rgb(1.0f, 1.0f, 1.0f, 0.85f));
    fillPolygon(c, starPolygon({(k + 0.5f) * w, size * 0.8f}, 11.0f, 4.5f, 5), rgb(1.0f, 1.0f, 1.0f, 0.85f));
  }
  return c;
}

PictureEntry texture(const char* file, int size, bool tiles, bool opaque, Canvas (*draw)(const PictureEntry&)) {
  PictureEntry entry;
  entry.file = file;
  entry.width = entry.height = size;
  entry.kind = PictureKind::ModelTexture;
  entry.tiles = tiles;
  if (opaque) entry.solid = {0, 0, size, size};
  entry.draw = draw;
  return entry;
}

}  // namespace

std::vector<PictureEntry> modelTextureEntries() {
  // The chrome picture is a sphere map, which never repeats; the ball is see-through.
  return {texture("avaruus.png", 512, true, true, drawAvaruus),
          texture("hauki.png", 256, true, true, drawHauki),
          texture("nekku.png", 256, false, true, drawNekku),
          texture("shuttle.png", 256, true, true, drawShuttle),
          texture("mothership.png", 512, true, true, drawMothership),
          texture("shuttle6.png", 256, true, true, drawShuttle6),
          texture("kyklohepo.png", 256, true, true, drawKyklohepo),
          texture("zolviapallo.png", 256, true, false, drawZolviapallo)};
}

}  // namespace vorn::picture
