// The spectrum of the last 1024 mono samples: 512 bands, band k centred on
// k * rate / 1024 Hz, Hann-windowed, scaled so that a full-scale sine at a
// band's centre reads about 1.0 in that band, clamped to 0 .. 1.
#pragma once

namespace vorn {

constexpr int kSpectrumWindow = 1024;
constexpr int kSpectrumBandCount = 512;

// samples: kSpectrumWindow mono samples in -1 .. 1, oldest first.
// bands: receives kSpectrumBandCount values.
void computeSpectrum(const float* samples, float* bands);

}  // namespace vorn
