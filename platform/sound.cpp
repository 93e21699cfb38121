// Our sound library: FSOUND calls over SDL 1.2 audio. This part holds the
// set-up, the device and the mixer: SDL's audio thread (or, in manual mode,
// the caller of pullSamples) mixes every playing stream and feeds the
// spectrum. Streams are decoded in sound_stream.cpp; the spectrum is handed
// to the main thread in sound_spectrum.cpp.
#include <algorithm>
#include <cstdint>

#include "platform/sound.h"
#include "platform/sound_internal.h"

using namespace vorn::sound_internal;

namespace vorn::sound_internal {

SoundState state;

signed char fail(FMOD_ERRORS error) {
  state.error = error;
  return 0;
}

}  // namespace vorn::sound_internal

namespace {

constexpr int kMinMixRate = 4000;
constexpr int kMaxSoftwareChannels = 256;
constexpr int kAutodetectOutput = -1;
constexpr int kMaxMixers = 7;
constexpr int kMixChunkFrames = 1024;
constexpr double kMaxRefreshSeconds = 0.025;

// The largest power of two of frames that plays within the refresh interval,
// so that the spectrum is recomputed at least that often.
Uint16 deviceBufferFrames(int mixRate) {
  const double limit = mixRate * kMaxRefreshSeconds;
  Uint16 frames = 256;
  while (frames * 2.0 <= limit && frames < 8192) frames = static_cast<Uint16>(frames * 2);
  return frames;
}

// Mixes every playing stream into out (frames stereo frames), feeds the
// spectrum, and returns the frames up to which any stream delivered data.
int mixFrames(short* out, int frames) {
  bool playing = false;
  for (FSOUND_STREAM* s : state.channels) playing = playing || s != nullptr;
  int delivered = 0;
  int32_t mix[kMixChunkFrames * 2];
  for (int start = 0; start < frames; start += kMixChunkFrames) {
    const int count = std::min(kMixChunkFrames, frames - start);
    std::fill(mix, mix + 2 * count, 0);
    for (FSOUND_STREAM* s : state.channels) {
      if (!s) continue;
      const int n = renderStream(*s, mix, count, state.mixRate);
      delivered = std::max(delivered, start + n);
      if (n < count) finishStream(*s);
    }
    for (int i = 0; i < 2 * count; ++i) {
      out[2 * start + i] = static_cast<short>(std::clamp<int32_t>(mix[i], -32768, 32767));
    }
  }
  if (playing) {
    pushWindow(out, frames);
  } else {
    clearWindow();
  }
  publishSpectrum(playing);
  return delivered;
}

void audioCallback(void*, Uint8* bytes, int length) { mixFrames(reinterpret_cast<short*>(bytes), length / 4); }

}  // namespace

signed char FSOUND_SetOutput(int outputType) {
  if (state.initialised) return fail(FMOD_ERR_BUSY);
  if (outputType != kDefaultOutput && outputType != kAutodetectOutput) return fail(FMOD_ERR_INVALID_PARAM);
  state.output = outputType;
  return 1;
}

signed char FSOUND_SetMixer(int mixer) {
  if (state.initialised) return fail(FMOD_ERR_BUSY);
  if (mixer < 0 || mixer >= kMaxMixers) return fail(FMOD_ERR_INVALID_PARAM);
  state.mixer = mixer;  // every mixer choice gets the same integer mix with linear resampling
  return 1;
}

signed char FSOUND_SetDriver(int driver) {
  if (state.initialised) return fail(FMOD_ERR_BUSY);
  if (driver != 0) return fail(FMOD_ERR_INVALID_PARAM);  // SDL 1.2 offers only its default device
  state.driver = driver;
  return 1;
}

signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int) {
  if (state.initialised) return fail(FMOD_ERR_BUSY);
  if (mixRate < kMinMixRate || mixRate > kMaxMixRate) return fail(FMOD_ERR_INVALID_PARAM);
  if (maxSoftwareChannels < 1 || maxSoftwareChannels > kMaxSoftwareChannels) return fail(FMOD_ERR_INVALID_PARAM);

  state.mixRate = mixRate;
  state.channels.assign(static_cast<size_t>(maxSoftwareChannels), nullptr);
  clearWindow();
  state.spectrum.reset();

  if (!state.manualRequested) {
    const bool startedSubsystem = !SDL_WasInit(SDL_INIT_AUDIO);
    if (startedSubsystem && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return fail(FMOD_ERR_INIT);
    if (SDL_GetAudioStatus() != SDL_AUDIO_STOPPED) return fail(FMOD_ERR_ALLOCATED);  // someone else holds the device
    SDL_AudioSpec want{};
    want.freq = mixRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = deviceBufferFrames(mixRate);
    want.callback = audioCallback;
    // No "obtained" spec: SDL converts to whatever the device takes, so the
    // callback always receives 16-bit stereo at mixRate.
    if (SDL_OpenAudio(&want, nullptr) != 0) {
      if (startedSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return fail(FMOD_ERR_INIT);
    }
    state.deviceOpen = true;
    state.startedAudioSubsystem = startedSubsystem;
  }
  state.manualActive = state.manualRequested;
  state.initialised = true;
  state.error = FMOD_ERR_NONE;
  if (state.deviceOpen) SDL_PauseAudio(0);
  return 1;
}

void FSOUND_Close() {
  if (!state.initialised) return;
  if (state.deviceOpen) {
    SDL_CloseAudio();  // joins the audio thread
    state.deviceOpen = false;
  }
  // Classic SDL 1.2 ends the audio subsystem in SDL_CloseAudio, sdl12-compat
  // does not; left running, it would keep the driver chosen now for the next
  // FSOUND_Init.
  if (state.startedAudioSubsystem && SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  state.startedAudioSubsystem = false;
  state.channels.clear();
  state.streams.clear();
  state.fftUnit.active = false;  // the analysis unit belongs to one initialised session
  clearWindow();
  state.spectrum.reset();
  state.manualActive = false;  // the requested mode stays for the next FSOUND_Init
  state.initialised = false;
}

int FSOUND_GetError() { return state.error; }

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
  // This library creates no samples, so no non-null handle can be one of ours.
  if (sample) fail(FMOD_ERR_INVALID_PARAM);
}

namespace vorn::sound {

void setManualMode(bool manual) { state.manualRequested = manual; }

int pullSamples(short* out, int frames) {
  if (!out || frames <= 0) return 0;
  if (!state.initialised || !state.manualActive) {
    std::fill(out, out + 2 * static_cast<size_t>(frames), static_cast<short>(0));
    return 0;
  }
  return mixFrames(out, frames);
}

}  // namespace vorn::sound
