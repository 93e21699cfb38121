// The magnitude spectrum of 1024 mono samples through a Hann window and a real
// FFT (kissfft). Safe to call from several threads: each keeps its own FFT plan.
#include "platform/spectrum.h"

#include <kissfft/kiss_fftr.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace vorn {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A Hann window sums to N / 2, so a unit sine centred on a band peaks at
// N / 4 there; this factor brings that peak to 1.0.
constexpr float kPeakScale = 4.0f / static_cast<float>(kSpectrumWindow);

// The periodic Hann window, computed once.
const std::array<float, kSpectrumWindow>& hannWindow() {
  static const std::array<float, kSpectrumWindow> window = [] {
    std::array<float, kSpectrumWindow> w{};
    for (int n = 0; n < kSpectrumWindow; ++n) {
      w[static_cast<size_t>(n)] = static_cast<float>(0.5 - 0.5 * std::cos(kTwoPi * n / kSpectrumWindow));
    }
    return w;
  }();
  return window;
}

// kiss_fftr writes scratch data into its plan, so each thread needs its own.
struct FftPlan {
  kiss_fftr_cfg cfg = kiss_fftr_alloc(kSpectrumWindow, 0, nullptr, nullptr);
  ~FftPlan() { kiss_fftr_free(cfg); }
};

}  // namespace

void computeSpectrum(const float* samples, float* bands) {
  thread_local FftPlan plan;
  const auto& window = hannWindow();

  std::array<kiss_fft_scalar, kSpectrumWindow> windowed;
  for (size_t n = 0; n < windowed.size(); ++n) windowed[n] = samples[n] * window[n];

  std::array<kiss_fft_cpx, kSpectrumWindow / 2 + 1> bins;
  kiss_fftr(plan.cfg, windowed.data(), bins.data());

  for (int k = 0; k < kSpectrumBandCount; ++k) {
    const kiss_fft_cpx& c = bins[static_cast<size_t>(k)];
    const float magnitude = std::sqrt(c.r * c.r + c.i * c.i) * kPeakScale;
    // NaN input must not leak out: fmin/fmax would pass it on, so test explicitly.
    bands[k] = magnitude >= 0.0f ? std::min(magnitude, 1.0f) : 0.0f;
  }
}

}  // namespace vorn
