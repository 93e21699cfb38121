// Canvas compositing, 8-bit conversion with edge colour bleeding, and the
// signed distance functions of the basic shapes.
#include "tools/picture/canvas.h"

namespace vorn::picture {

namespace {

constexpr int kBleedPasses = 6;  // how far visible colours reach into transparent pixels
constexpr float kPi = 3.14159265f;

std::uint8_t toByte(float v) { return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f)); }

}  // namespace

Colour rgb(float r, float g, float b, float a) { return {r, g, b, a}; }

Colour hex(std::uint32_t rrggbb, float a) {
  return {((rrggbb >> 16) & 0xFFu) / 255.0f, ((rrggbb >> 8) & 0xFFu) / 255.0f, (rrggbb & 0xFFu) / 255.0f, a};
}

Colour mix(Colour p, Colour q, float t) {
  return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}

Colour scaled(Colour c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float smoothstep(float e0, float e1, float x) {
  const float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}

Box around(Vec2 centre, float reach) { return around(centre, reach, reach); }

Box around(Vec2 centre, float reachX, float reachY) {
  return {static_cast<int>(std::floor(centre.x - reachX)) - 1, static_cast<int>(std::floor(centre.y - reachY)) - 1,
          static_cast<int>(std::ceil(centre.x + reachX)) + 1, static_cast<int>(std::ceil(centre.y + reachY)) + 1};
}

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

Box Canvas::clipped(Box b) const {
  return {std::max(b.x0, 0), std::max(b.y0, 0), std::min(b.x1, width_), std::min(b.y1, height_)};
}

void Canvas::put(int x, int y, Colour c, float coverage, Blend mode) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Colour& d = pixels_[index(x, y)];
  const float sa = clamp01(c.a * coverage);
  if (mode == Blend::Add) {
    d.r += c.r * sa;
    d.g += c.g * sa;
    d.b += c.b * sa;
    return;
  }
  const float da = d.a * (1.0f - sa);
  const float oa = sa + da;
  if (oa <= 0.0f) {
    d = {c.r, c.g, c.b, 0.0f};
    return;
  }
  d.r = (c.r * sa + d.r * da) / oa;
  d.g = (c.g * sa + d.g * da) / oa;
  d.b = (c.b * sa + d.b * da) / oa;
  d.a = oa;
}

std::vector<std::uint8_t> Canvas::toRgba8() const {
  const std::size_t count = pixels_.size();
  std::vector<std::uint8_t> out(count * 4);
  std::vector<bool> known(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Colour& c = pixels_[i];
    out[i * 4 + 3] = toByte(c.a);
    known[i] = out[i * 4 + 3] != 0;
    for (int k = 0; k < 3; ++k) out[i * 4 + k] = known[i] ? toByte((&c.r)[k]) : 0;
  }
  // Each pass gives every unknown pixel next to a known one the mean colour of
  // its known 4-neighbours; only the pixels next to the last pass's finds are
  // looked at again.
  auto neighbours = [&](std::size_t i, auto visit) {
    const int x = static_cast<int>(i % static_cast<std::size_t>(width_)),
              y = static_cast<int>(i / static_cast<std::size_t>(width_));
    if (x > 0) visit(i - 1);
    if (x + 1 < width_) visit(i + 1);
    if (y > 0) visit(i - static_cast<std::size_t>(width_));
    if (y + 1 < height_) visit(i + static_cast<std::size_t>(width_));
  };
  std::vector<std::size_t> candidates, found;
  std::vector<bool> queued(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (!known[i]) continue;
    neighbours(i, [&](std::size_t j) {
      if (!known[j] && !queued[j]) {
        queued[j] = true;
        candidates.push_back(j);
      }
    });
  }
  for (int pass = 0; pass < kBleedPasses && !candidates.empty(); ++pass) {
    std::sort(candidates.begin(), candidates.end());
    found.clear();
    for (std::size_t i : candidates) {
      int sum[3] = {0, 0, 0}, n = 0;
      neighbours(i, [&](std::size_t j) {
        if (!known[j]) return;
        for (int ch = 0; ch < 3; ++ch) sum[ch] += out[j * 4 + ch];
        ++n;
      });
      for (int ch = 0; ch < 3; ++ch) out[i * 4 + ch] = static_cast<std::uint8_t>((sum[ch] + n / 2) / n);
      found.push_back(i);
    }
    for (std::size_t i : found) known[i] = true;
    candidates.clear();
    for (std::size_t i : found)
      neighbours(i, [&](std::size_t j) {
        if (!known[j] && !queued[j]) {
          queued[j] = true;
          candidates.push_back(j);
        }
      });
  }
  return out;
}

float circleSdf(Vec2 p, Vec2 centre, float radius) { return length(p - centre) - radius; }

float ellipseSdf(Vec2 p, Vec2 centre, float rx, float ry) {
  const Vec2 q = p - centre;
  const float k0 = length({q.x / rx, q.y / ry});
  const float k1 = length({q.x / (rx * rx), q.y / (ry * ry)});
  if (k1 <= 0.0f) return -std::min(rx, ry);
  return k0 * (k0 - 1.0f) / k1;
}

float ringSdf(Vec2 p, Vec2 centre, float radius, float halfWidth) {
  return std::fabs(length(p - centre) - radius) - halfWidth;
}

float roundBoxSdf(Vec2 p, Vec2 centre, Vec2 halfSize, float cornerRadius) {
  const Vec2 q = {std::fabs(p.x - centre.x) - halfSize.x + cornerRadius,
                  std::fabs(p.y - centre.y) - halfSize.y + cornerRadius};
  const Vec2 outside = {std::max(q.x, 0.0f), std::max(q.y, 0.0f)};
  return length(outside) + std::min(std::max(q.x, q.y), 0.0f) - cornerRadius;
}

float segmentSdf(Vec2 p, Vec2 a, Vec2 b, float halfWidth) {
  const Vec2 pa = p - a, ba = b - a;
  const float len2 = dot(ba, ba);
  const float h = len2 > 0.0f ? clamp01(dot(pa, ba) / len2) : 0.0f;
  return length(pa - ba * h) - halfWidth;
}

float polygonSdf(Vec2 p, const std::vector<Vec2>& v) {
  const std::size_t n = v.size();
  if (n < 3) return 1e9f;
  float d = dot(p - v[0], p - v[0]);
  bool inside = false;
  for (std::size_t i = 0, j = n - 1; i < n; j = i, ++i) {
    const Vec2 e = v[j] - v[i], w = p - v[i];
    const float len2 = dot(e, e);
    const float h = len2 > 0.0f ? clamp01(dot(w, e) / len2) : 0.0f;
    const Vec2 b = w - e * h;
    d = std::min(d, dot(b, b));
    const bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) inside = !inside;
  }
  return inside ? -std::sqrt(d) : std::sqrt(d);
}

std::vector<Vec2> regularPolygon(Vec2 centre, float radius, int n, float angle) {
  std::vector<Vec2> points;
  for (int i = 0; i < n; ++i) {
    const float a = angle + 2.0f * kPi * i / n;
    points.push_back({centre.x + radius * std::sin(a), centre.y - radius * std::cos(a)});
  }
  return points;
}

std::vector<Vec2> starPolygon(Vec2 centre, float outer, float inner, int n, float angle) {
  std::vector<Vec2> points;
  for (int i = 0; i < 2 * n; ++i) {
    const float a = angle + kPi * i / n;
    const float r = (i % 2 == 0) ? outer : inner;
    points.push_back({centre.x + r * std::sin(a), centre.y - r * std::cos(a)});
  }
  return points;
}

Box boundsOf(const std::vector<Vec2>& points, float margin) {
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  for (const Vec2& p : points) {
    x0 = std::min(x0, p.x);
    y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x);
    y1 = std::max(y1, p.y);
  }
  return {static_cast<int>(std::floor(x0 - margin)), static_cast<int>(std::floor(y0 - margin)),
          static_cast<int>(std::ceil(x1 + margin)), static_cast<int>(std::ceil(y1 + margin))};
}

void fillCircle(Canvas& c, Vec2 centre, float radius, Colour colour, Blend mode) {
  c.fillShape(
      around(centre, radius),
      [=](float x, float y) {
        return circleSdf({x, y}, centre, radius);
      },
      colour, mode);
}

void fillPolygon(Canvas& c, const std::vector<Vec2>& points, Colour colour, Blend mode) {
  c.fillShape(
      boundsOf(points, 2.0f),
      [&](float x, float y) {
        return polygonSdf({x, y}, points);
      },
      colour, mode);
}

void strokeLine(Canvas& c, Vec2 a, Vec2 b, float width, Colour colour, Blend mode) {
  const float hw = width * 0.5f;
  c.fillShape(
      boundsOf({a, b}, hw + 2.0f),
      [=](float x, float y) {
        return segmentSdf({x, y}, a, b, hw);
      },
      colour, mode);
}

void strokePath(Canvas& c, const std::vector<Vec2>& points, float width, Colour colour) {
  constexpr std::size_t kChunk = 12;  // segments filled together, keeping each pass's box small
  const float hw = width * 0.5f;
  for (std::size_t first = 1; first < points.size(); first += kChunk) {
    const std::size_t last = std::min(points.size(), first + kChunk);
    const std::vector<Vec2> part(points.begin() + static_cast<long>(first - 1),
                                 points.begin() + static_cast<long>(last));
    c.fillShape(
        boundsOf(part, hw + 2.0f),
        [&](float x, float y) {
          float d = 1e9f;
          for (std::size_t i = 1; i < part.size(); ++i) d = std::min(d, segmentSdf({x, y}, part[i - 1], part[i], hw));
          return d;
        },
        colour);
  }
}

void addGlow(Canvas& c, Vec2 centre, float radius, Colour colour) {
  const Box box = around(centre, radius * 3.0f);
  for (int y = std::max(box.y0, 0); y < std::min(box.y1, c.height()); ++y)
    for (int x = std::max(box.x0, 0); x < std::min(box.x1, c.width()); ++x) {
      const Vec2 d = Vec2{x + 0.5f, y + 0.5f} - centre;
      const float k = std::exp(-dot(d, d) / (radius * radius));
      if (k > 0.002f) c.put(x, y, colour, k, Blend::Add);
    }
}

}  // namespace vorn::picture
