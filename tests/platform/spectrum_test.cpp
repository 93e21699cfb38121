// The spectrum analysis on synthetic windows: scale, band placement, clamping.
#include "platform/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vorn {
namespace {

constexpr double kRate = 44100.0;

std::vector<float> sineWindow(double hz, double amplitude, double phase = 0.0) {
  std::vector<float> w(kSpectrumWindow);
  for (int n = 0; n < kSpectrumWindow; ++n) {
    w[static_cast<size_t>(n)] = static_cast<float>(amplitude * std::sin(6.283185307179586 * hz * n / kRate + phase));
  }
  return w;
}

std::vector<float> spectrumOf(const std::vector<float>& samples) {
  std::vector<float> bands(kSpectrumBandCount, -1.0f);
  computeSpectrum(samples.data(), bands.data());
  return bands;
}

float lowSum(const std::vector<float>& b) { return b[3] + b[2] + b[1]; }

struct LowBandRow {
  const char* name;
  double hz;
  double amplitude;
  float minSum;
  float maxSum;
};

// Bands 1 to 3 are what the box pile listens to: a loud bass note must push
// them over 0.7, a quiet one or a treble note must not.
TEST(ComputeSpectrum, LowBandsFollowBassLoudness) {
  const LowBandRow rows[] = {
      {"full-scale 100 Hz", 100.0, 1.0, 0.7f, 3.0f},
      {"100 Hz at -20 dB", 100.0, 0.1, 0.0f, 0.7f},
      {"full-scale 5 kHz", 5000.0, 1.0, 0.0f, 0.01f},
      {"silence", 100.0, 0.0, 0.0f, 0.0f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const float sum = lowSum(spectrumOf(sineWindow(row.hz, row.amplitude)));
    EXPECT_GE(sum, row.minSum);
    EXPECT_LE(sum, row.maxSum);
    if (row.minSum > 0.0f) {
      EXPECT_GT(sum, row.minSum);
    }
    if (row.maxSum == 0.7f) {
      EXPECT_LT(sum, row.maxSum);
    }
  }
}

TEST(ComputeSpectrum, FullScaleSineAtBandCentreReadsAboutOneThere) {
  for (int band : {1, 5, 20, 100, 300, 510}) {
    SCOPED_TRACE(band);
    const auto bands = spectrumOf(sineWindow(band * kRate / kSpectrumWindow, 1.0, 0.3));
    EXPECT_NEAR(bands[static_cast<size_t>(band)], 1.0f, 0.02f);
    // The Hann main lobe reaches one band either side; two bands away is quiet.
    if (band + 3 < kSpectrumBandCount) {
      EXPECT_LT(bands[static_cast<size_t>(band + 3)], 0.01f);
    }
    EXPECT_LT(bands[static_cast<size_t>(band - 1)], 0.6f);
  }
}

TEST(ComputeSpectrum, ScalesLinearlyWithAmplitudeBelowClamp) {
  const auto full = spectrumOf(sineWindow(20 * kRate / kSpectrumWindow, 1.0));
  const auto quarter = spectrumOf(sineWindow(20 * kRate / kSpectrumWindow, 0.25));
  EXPECT_NEAR(quarter[20], full[20] * 0.25f, 1e-3f);
}

TEST(ComputeSpectrum, EveryBandStaysWithinZeroAndOne) {
  std::vector<float> loud(kSpectrumWindow);
  for (int n = 0; n < kSpectrumWindow; ++n) loud[static_cast<size_t>(n)] = (n % 7 < 3) ? 1.0f : -1.0f;
  std::vector<float> dc(kSpectrumWindow, 1.0f);
  std::vector<float> broken(kSpectrumWindow, NAN);
  for (const auto* input : {&loud, &dc, &broken}) {
    const auto bands = spectrumOf(*input);
    for (float b : bands) {
      ASSERT_GE(b, 0.0f);
      ASSERT_LE(b, 1.0f);
    }
  }
  EXPECT_EQ(spectrumOf(dc)[0], 1.0f);  // a full-scale offset clamps in band 0
}

}  // namespace
}  // namespace vorn
