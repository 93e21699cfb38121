// Our sound library's analysis unit: the window of the last mixed mono
// samples, its spectrum computed on the mixing thread, and the hand-over of
// complete spectra to the main thread through a lock-free triple buffer.
#include <algorithm>

#include "platform/sound.h"
#include "platform/sound_internal.h"
#include "platform/spectrum.h"

static_assert(kSpectrumBands == vorn::kSpectrumBandCount, "one band count for the library and the analysis");

using namespace vorn::sound_internal;

namespace {
constexpr float kMonoScale = 1.0f / 65536.0f;  // (left + right) / 2, then 16-bit full scale to 1.0
}

namespace vorn::sound_internal {

void pushWindow(const short* out, int frames) {
  const int first = std::max(0, frames - vorn::kSpectrumWindow);
  for (int f = first; f < frames; ++f) {
    state.window[state.windowHead] = (static_cast<float>(out[2 * f]) + static_cast<float>(out[2 * f + 1])) * kMonoScale;
    state.windowHead = (state.windowHead + 1) % vorn::kSpectrumWindow;
  }
}

void publishSpectrum(bool playing) {
  float* bands = state.spectrum.writeSlot();
  if (playing && state.fftUnit.active.load(std::memory_order_relaxed)) {
    float ordered[vorn::kSpectrumWindow];
    const int head = state.windowHead;
    std::copy(state.window + head, state.window + vorn::kSpectrumWindow, ordered);
    std::copy(state.window, state.window + head, ordered + (vorn::kSpectrumWindow - head));
    vorn::computeSpectrum(ordered, bands);
  } else {
    std::fill(bands, bands + kSpectrumBands, 0.0f);
  }
  state.spectrum.publish();
}

void clearWindow() {
  std::fill(state.window, state.window + vorn::kSpectrumWindow, 0.0f);
  state.windowHead = 0;
}

void publishSilenceIfIdle() {
  for (FSOUND_STREAM* s : state.channels) {
    if (s) return;
  }
  clearWindow();
  publishSpectrum(false);
}

}  // namespace vorn::sound_internal

FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() { return &state.fftUnit; }

signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active) {
  if (unit != &state.fftUnit) return fail(FMOD_ERR_INVALID_PARAM);
  unit->active = active != 0;
  return 1;
}

float* FSOUND_DSP_GetSpectrum() {
  std::copy_n(state.spectrum.latest(), kSpectrumBands, state.callerSpectrum);
  return state.callerSpectrum;
}
