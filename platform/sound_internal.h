// Inside our sound library: the stream and analysis-unit records, the state
// shared by the device, stream and spectrum parts, and the calls they make of
// each other. Only platform/sound*.cpp include this.
#pragma once

#include <SDL/SDL.h>
#include <vorbis/vorbisfile.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/sound.h"
#include "platform/spectrum.h"

// A stream: one open Ogg Vorbis file and where the mixer stands in it.
// The API fields are written by the main thread only under the audio lock;
// the mixer fields belong to whichever thread mixes (SDL's audio thread, or
// the caller of pullSamples in manual mode).
struct FSOUND_STREAM {
  FSOUND_STREAM() = default;
  FSOUND_STREAM(const FSOUND_STREAM&) = delete;
  FSOUND_STREAM& operator=(const FSOUND_STREAM&) = delete;
  ~FSOUND_STREAM() { ov_clear(&file); }  // also closes the FILE handed to ov_open_callbacks

  OggVorbis_File file{};
  int sourceRate = 0;           // Hz of the first logical stream; later links are assumed to match
  long long lengthFrames = -1;  // in source frames; -1 when the file cannot seek
  double lengthSeconds = -1.0;

  long long pendingSeek = -1;  // source frame to move to before the next mix; -1: none
  int channel = -1;            // mixing slot while playing, -1 otherwise

  // Decoded source frames, always stereo (mono duplicated), read from decodedPos.
  static constexpr int kDecodeFrames = 2048;
  short decoded[kDecodeFrames * 2] = {};
  int decodedPos = 0;
  int decodedCount = 0;
  bool atEnd = false;  // the decoder has nothing more to give

  // Linear resampler between source frames a and b, phase in source frames past a.
  short a[2] = {};
  short b[2] = {};
  double phase = 0.0;
  bool primed = false;
};

// The spectrum analysis unit; only its on/off switch is visible.
struct FSOUND_DSPUNIT {
  std::atomic<bool> active{false};
};

namespace vorn::sound_internal {

constexpr int kMaxMixRate = 192000;  // Hz, for the device and for files
constexpr int kDefaultOutput = FSOUND_OUTPUT_DSOUND;

// Hands complete spectra from the mixing thread to the main thread. The writer
// fills its back slot and swaps it into the middle; the reader swaps the middle
// into its front slot only when a fresh one is there, so neither ever sees a
// slot the other is writing.
class SpectrumExchange {
 public:
  float* writeSlot() { return slots_[back_]; }
  void publish() { back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndexMask; }
  const float* latest() {
    if (middle_.load(std::memory_order_acquire) & kFresh) {
      front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndexMask;
    }
    return slots_[front_];
  }
  // Only while no other thread can write (device closed or audio locked and nothing reading).
  void reset() {
    std::memset(slots_, 0, sizeof slots_);
    middle_.store(1, std::memory_order_release);
    back_ = 2;
    front_ = 0;
  }

 private:
  static constexpr unsigned kFresh = 4;
  static constexpr unsigned kIndexMask = 3;
  float slots_[3][kSpectrumBands] = {};
  std::atomic<unsigned> middle_{1};
  unsigned back_ = 2;   // owned by the writer
  unsigned front_ = 0;  // owned by the reader
};

struct SoundState {
  // Main-thread state (sound.cpp defines the one instance).
  FMOD_ERRORS error = FMOD_ERR_NONE;
  bool initialised = false;
  bool manualRequested = false;
  bool manualActive = false;
  bool deviceOpen = false;
  bool startedAudioSubsystem = false;  // FSOUND_Init started SDL's audio, so FSOUND_Close ends it
  int output = kDefaultOutput;
  int mixer = FSOUND_MIXER_QUALITY_FPU;
  int driver = 0;
  int mixRate = 44100;
  std::vector<std::unique_ptr<FSOUND_STREAM>> streams;  // every open stream, owned

  // Mixer state: touched by the API only under the audio lock.
  std::vector<FSOUND_STREAM*> channels;      // playing streams by slot; not owned
  float window[vorn::kSpectrumWindow] = {};  // last mixed mono samples, ring
  int windowHead = 0;                        // oldest sample of the ring

  FSOUND_DSPUNIT fftUnit;
  SpectrumExchange spectrum;
  float callerSpectrum[kSpectrumBands] = {};  // what FSOUND_DSP_GetSpectrum hands out; main thread only
};

extern SoundState state;

// Brief exclusion from the audio thread; nothing to exclude without a device.
class AudioLock {
 public:
  AudioLock() : locked_(state.deviceOpen) {
    if (locked_) SDL_LockAudio();
  }
  ~AudioLock() {
    if (locked_) SDL_UnlockAudio();
  }
  AudioLock(const AudioLock&) = delete;
  AudioLock& operator=(const AudioLock&) = delete;

 private:
  bool locked_;
};

// Records error as the last error; returns 0 (failure) for the caller to pass on.
signed char fail(FMOD_ERRORS error);

// Stream side (sound_stream.cpp).
bool isOpenStream(const FSOUND_STREAM* stream);
// Adds up to frames stereo frames of the stream into mix; returns how many it
// had. Fewer than asked means the stream has ended.
int renderStream(FSOUND_STREAM& s, int32_t* mix, int frames, int mixRate);
// A stream that ran out leaves its slot and rewinds, so that a later play starts over.
void finishStream(FSOUND_STREAM& s);

// Spectrum side (sound_spectrum.cpp); the mixer calls these for every mix.
void pushWindow(const short* out, int frames);
void publishSpectrum(bool playing);
void clearWindow();
// Called under the audio lock when a stream leaves its slot from the API side.
void publishSilenceIfIdle();

}  // namespace vorn::sound_internal
