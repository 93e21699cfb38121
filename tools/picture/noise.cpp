// SplitMix64, an integer lattice hash, value noise and gradient (Perlin) noise.
#include "tools/picture/noise.h"

#include <cmath>

namespace vorn::picture {

namespace {

int wrap(int i, int period) {
  if (period <= 0) return i;
  const int m = i % period;
  return m < 0 ? m + period : m;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float lerp(float a, float b, float t) { return a + (b - a) * t; }

float gradientDot(int ix, int iy, float dx, float dy, std::uint32_t seed) {
  // Eight gradient directions of equal length.
  static const float kGrad[8][2] = {{1.0f, 0.0f},
                                    {-1.0f, 0.0f},
                                    {0.0f, 1.0f},
                                    {0.0f, -1.0f},
                                    {0.7071068f, 0.7071068f},
                                    {-0.7071068f, 0.7071068f},
                                    {0.7071068f, -0.7071068f},
                                    {-0.7071068f, -0.7071068f}};
  const std::uint32_t h = hash3(ix, iy, seed) & 7u;
  return kGrad[h][0] * dx + kGrad[h][1] * dy;
}

}  // namespace

std::uint32_t Rng::next() {
  state_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

int Rng::below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

std::uint32_t hash3(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x27D4EB2Du;
  h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float valueNoise(float x, float y, std::uint32_t seed, int period) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float tx = fade(x - fx), ty = fade(y - fy);
  auto at = [&](int dx, int dy) {
    return static_cast<float>(hash3(wrap(ix + dx, period), wrap(iy + dy, period), seed) >> 8) * (1.0f / 16777215.0f);
  };
  return lerp(lerp(at(0, 0), at(1, 0), tx), lerp(at(0, 1), at(1, 1), tx), ty);
}

float perlinNoise(float x, float y, std::uint32_t seed, int period) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float dx = x - fx, dy = y - fy;
  const int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
  const int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
  const float n00 = gradientDot(x0, y0, dx, dy, seed);
  const float n10 = gradientDot(x1, y0, dx - 1.0f, dy, seed);
  const float n01 = gradientDot(x0, y1, dx, dy - 1.0f, seed);
  const float n11 = gradientDot(x1, y1, dx - 1.0f, dy - 1.0f, seed);
  const float tx = fade(dx), ty = fade(dy);
  const float n = lerp(lerp(n00, n10, tx), lerp(n01, n11, tx), ty);  // within about +-0.71
  return 0.5f + n * 0.7071068f;
}

float fractalNoise(float x, float y, int octaves, std::uint32_t seed, int period) {
  float sum = 0.0f, amplitude = 0.5f, total = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += (perlinNoise(x, y, seed + static_cast<std::uint32_t>(o) * 101u, period) - 0.5f) * amplitude;
    total += amplitude;
    x *= 2.0f;
    y *= 2.0f;
    if (period > 0) period *= 2;
    amplitude *= 0.5f;
  }
  return 0.5f + sum / total;
}

}  // namespace vorn::picture
