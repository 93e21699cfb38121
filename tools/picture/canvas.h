// A floating-point RGBA drawing surface with anti-aliased shapes given as
// signed distance functions; the picture writers draw on it and then take its
// 8-bit RGBA bytes. Leaves file output to the PNG writer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vorn::picture {

// Straight (not premultiplied) alpha, every channel 0 to 1.
struct Colour {
  float r, g, b, a;
};

Colour rgb(float r, float g, float b, float a = 1.0f);
// Colour from 0xRRGGBB, opaque unless alpha says otherwise.
Colour hex(std::uint32_t rrggbb, float a = 1.0f);
Colour mix(Colour p, Colour q, float t);
Colour scaled(Colour c, float k);  // rgb times k, alpha kept

float clamp01(float v);
float smoothstep(float e0, float e1, float x);

struct Vec2 {
  float x, y;
};
inline Vec2 operator+(Vec2 p, Vec2 q) { return {p.x + q.x, p.y + q.y}; }
inline Vec2 operator-(Vec2 p, Vec2 q) { return {p.x - q.x, p.y - q.y}; }
inline Vec2 operator*(Vec2 p, float k) { return {p.x * k, p.y * k}; }
inline float dot(Vec2 p, Vec2 q) { return p.x * q.x + p.y * q.y; }
inline float length(Vec2 p) { return std::sqrt(dot(p, p)); }

// Pixel-aligned region [x0, x1) x [y0, y1).
struct Box {
  int x0, y0, x1, y1;
};
// The pixels a shape of the given centre and reach can touch, with one pixel to spare.
Box around(Vec2 centre, float reach);
Box around(Vec2 centre, float reachX, float reachY);

// A region described for callers: [x0, x1) x [y0, y1); empty when it has no area.
struct Rect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty() const { return x1 <= x0 || y1 <= y0; }
};

enum class Blend {
  Over,  // source over destination, by the source's alpha times coverage
  Add,   // adds rgb times alpha times coverage; alpha kept
};

class Canvas {
 public:
  Canvas(int width, int height, Colour fill = {0.0f, 0.0f, 0.0f, 0.0f});

  int width() const { return width_; }
  int height() const { return height_; }
  Colour at(int x, int y) const { return pixels_[index(x, y)]; }
  void set(int x, int y, Colour c) { pixels_[index(x, y)] = c; }
  // Writes c with coverage 0 to 1 at (x, y); pixels outside the canvas are ignored.
  void put(int x, int y, Colour c, float coverage, Blend mode = Blend::Over);

  // Fills every pixel with paint(x + 0.5, y + 0.5) over what is there.
  template <class Paint>
  void paintAll(Paint paint, Blend mode = Blend::Over) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) put(x, y, paint(x + 0.5f, y + 0.5f), 1.0f, mode);
  }

  // Anti-aliased fill of the shape whose signed distance in pixels (negative
  // inside) is sdf(px, py), sampled at pixel centres within box; the coverage
  // ramps over one pixel across the edge.
  template <class Sdf, class Paint>
  void fillShape(Box box, Sdf sdf, Paint paint, Blend mode = Blend::Over) {
    box = clipped(box);
    for (int y = box.y0; y < box.y1; ++y)
      for (int x = box.x0; x < box.x1; ++x) {
        const float px = x + 0.5f, py = y + 0.5f;
        const float coverage = clamp01(0.5f - sdf(px, py));
        if (coverage > 0.0f) put(x, y, paint(px, py), coverage, mode);
      }
  }

  template <class Sdf>
  void fillShape(Box box, Sdf sdf, Colour c, Blend mode = Blend::Over) {
    fillShape(
        box, sdf, [c](float, float) { return c; }, mode);
  }

  // 8-bit RGBA, rows top first. Fully transparent pixels take the colour of
  // their visible neighbours (a few pixels deep), so texture filtering and
  // mipmapping do not pull a dark fringe into the edges of see-through pictures.
  std::vector<std::uint8_t> toRgba8() const;

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }
  Box clipped(Box b) const;

  int width_, height_;
  std::vector<Colour> pixels_;
};

// Signed distance functions, in pixels, negative inside.
float circleSdf(Vec2 p, Vec2 centre, float radius);
float ellipseSdf(Vec2 p, Vec2 centre, float rx, float ry);  // approximate, good near the edge
float ringSdf(Vec2 p, Vec2 centre, float radius, float halfWidth);
float roundBoxSdf(Vec2 p, Vec2 centre, Vec2 halfSize, float cornerRadius);
float segmentSdf(Vec2 p, Vec2 a, Vec2 b, float halfWidth);  // a stroke with round caps
float polygonSdf(Vec2 p, const std::vector<Vec2>& points);  // any simple polygon

// Regular polygon of n corners, the first one straight up from the centre
// (rotated by angle radians, clockwise on screen).
std::vector<Vec2> regularPolygon(Vec2 centre, float radius, int n, float angle = 0.0f);
// Star of n points alternating between outer and inner radius.
std::vector<Vec2> starPolygon(Vec2 centre, float outer, float inner, int n, float angle = 0.0f);

// Convenience fills built on Canvas::fillShape.
void fillCircle(Canvas& c, Vec2 centre, float radius, Colour colour, Blend mode = Blend::Over);
void fillPolygon(Canvas& c, const std::vector<Vec2>& points, Colour colour, Blend mode = Blend::Over);
void strokeLine(Canvas& c, Vec2 a, Vec2 b, float width, Colour colour, Blend mode = Blend::Over);
// Open polyline with round joints; meant for opaque colours (long paths are
// filled in pieces, so a translucent colour would show where the pieces meet).
void strokePath(Canvas& c, const std::vector<Vec2>& points, float width, Colour colour);
// A soft round light: brightness falls off as a Gaussian of the given radius.
void addGlow(Canvas& c, Vec2 centre, float radius, Colour colour);
// Bounding box of points plus a margin.
Box boundsOf(const std::vector<Vec2>& points, float margin);

}  // namespace vorn::picture
