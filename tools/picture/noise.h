// Seeded random numbers and lattice noise of our own, so the pictures come out
// the same on every run and with every standard library.
#pragma once

#include <cstdint>

namespace vorn::picture {

// A small deterministic generator (SplitMix64).
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint32_t next();
  float uniform();                  // [0, 1)
  float range(float lo, float hi);  // [lo, hi)
  int below(int n);                 // 0 to n - 1; n must be positive

 private:
  std::uint64_t state_;
};

// Integer hash of a lattice point, the basis of both noises.
std::uint32_t hash3(int x, int y, std::uint32_t seed);

// Noise in [0, 1] over a lattice of unit cells. A period above zero makes the
// noise repeat every period cells in x and y, for seamless textures.
float valueNoise(float x, float y, std::uint32_t seed, int period = 0);
float perlinNoise(float x, float y, std::uint32_t seed, int period = 0);
// Sum of octaves of Perlin noise, each twice the frequency and half the
// amplitude of the one before; in [0, 1], centred on 0.5.
float fractalNoise(float x, float y, int octaves, std::uint32_t seed, int period = 0);

}  // namespace vorn::picture
