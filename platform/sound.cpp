// Our sound library: FSOUND calls over SDL 1.2 audio. Streams are Ogg Vorbis
// files decoded by libvorbisfile on SDL's audio thread (or on the caller's
// thread in manual mode); the spectrum of what was mixed is handed to the
// main thread through a lock-free triple buffer.
#include "platform/sound.h"

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/stat.h>

#include "platform/spectrum.h"
#include "platform/regular_file.h"

static_assert(kSpectrumBands == vorn::kSpectrumBandCount, "one band count for the library and the analysis");

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
  int sourceRate = 0;             // Hz of the first logical stream; later links are assumed to match
  long long lengthFrames = -1;    // in source frames; -1 when the file cannot seek
  double lengthSeconds = -1.0;

  long long pendingSeek = -1;     // source frame to move to before the next mix; -1: none
  int channel = -1;               // mixing slot while playing, -1 otherwise

  // Decoded source frames, always stereo (mono duplicated), read from decodedPos.
  static constexpr int kDecodeFrames = 2048;
  short decoded[kDecodeFrames * 2] = {};
  int decodedPos = 0;
  int decodedCount = 0;
  bool atEnd = false;             // the decoder has nothing more to give

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

namespace {

constexpr int kMinMixRate = 4000;
constexpr int kMaxMixRate = 192000;
constexpr int kMaxSoftwareChannels = 256;
constexpr int kChannelHandleBase = 0x1000;  // channel handles are never 0: 0 means "did not start"
constexpr unsigned kLoadMemory = 0x8000;    // FSOUND_LOADMEMORY: memory streams are not supported
constexpr int kDefaultOutput = FSOUND_OUTPUT_DSOUND;
constexpr int kAutodetectOutput = -1;
constexpr int kMaxMixers = 7;
constexpr int kMixChunkFrames = 1024;
constexpr int kMaxDecodeHoles = 64;         // consecutive gaps skipped before a stream is given up
constexpr double kMaxRefreshSeconds = 0.025;
constexpr float kMonoScale = 1.0f / 65536.0f;  // (left + right) / 2, then 16-bit full scale to 1.0

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
  // Main-thread state.
  FMOD_ERRORS error = FMOD_ERR_NONE;
  bool initialised = false;
  bool manualRequested = false;
  bool manualActive = false;
  bool deviceOpen = false;
  int output = kDefaultOutput;
  int mixer = FSOUND_MIXER_QUALITY_FPU;
  int driver = 0;
  int mixRate = 44100;
  std::vector<std::unique_ptr<FSOUND_STREAM>> streams;  // every open stream, owned

  // Mixer state: touched by the API only under the audio lock.
  std::vector<FSOUND_STREAM*> channels;  // playing streams by slot; not owned
  float window[vorn::kSpectrumWindow] = {};  // last mixed mono samples, ring
  int windowHead = 0;                        // oldest sample of the ring

  FSOUND_DSPUNIT fftUnit;
  SpectrumExchange spectrum;
  float callerSpectrum[kSpectrumBands] = {};  // what FSOUND_DSP_GetSpectrum hands out; main thread only
};

SoundState state;

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

signed char fail(FMOD_ERRORS error) {
  state.error = error;
  return 0;
}

bool isOpenStream(const FSOUND_STREAM* stream) {
  if (!stream) return false;
  for (const auto& s : state.streams) {
    if (s.get() == stream) return true;
  }
  return false;
}

// The largest power of two of frames that plays within the refresh interval,
// so that the spectrum is recomputed at least that often.
Uint16 deviceBufferFrames(int mixRate) {
  const double limit = mixRate * kMaxRefreshSeconds;
  Uint16 frames = 256;
  while (frames * 2.0 <= limit && frames < 8192) frames = static_cast<Uint16>(frames * 2);
  return frames;
}

// ---- Mixer side: runs on the audio thread, or on the caller's in manual mode.

bool refill(FSOUND_STREAM& s) {
  if (s.atEnd) return false;
  static const int bigEndian = SDL_BYTEORDER == SDL_BIG_ENDIAN ? 1 : 0;
  short raw[FSOUND_STREAM::kDecodeFrames * 2];
  for (int holes = 0; holes < kMaxDecodeHoles;) {
    int link = 0;
    const long bytes = ov_read(&s.file, reinterpret_cast<char*>(raw), sizeof raw, bigEndian, 2, 1, &link);
    if (bytes == OV_HOLE) {
      ++holes;  // a gap in the data: the decoder resynchronises on the next packet
      continue;
    }
    if (bytes <= 0) break;
    const vorbis_info* info = ov_info(&s.file, link);
    const int channels = info && info->channels > 0 ? info->channels : 1;
    const int frames = static_cast<int>(bytes / (2 * channels));
    if (frames == 0) continue;
    for (int f = 0; f < frames; ++f) {
      const short left = raw[f * channels];
      s.decoded[2 * f] = left;
      s.decoded[2 * f + 1] = channels > 1 ? raw[f * channels + 1] : left;
    }
    s.decodedPos = 0;
    s.decodedCount = frames;
    return true;
  }
  s.atEnd = true;
  return false;
}

bool nextSourceFrame(FSOUND_STREAM& s, short frame[2]) {
  if (s.decodedPos == s.decodedCount && !refill(s)) return false;
  frame[0] = s.decoded[2 * s.decodedPos];
  frame[1] = s.decoded[2 * s.decodedPos + 1];
  ++s.decodedPos;
  return true;
}

void applyPendingSeek(FSOUND_STREAM& s) {
  if (s.pendingSeek < 0) return;
  s.atEnd = ov_pcm_seek(&s.file, s.pendingSeek) != 0;
  s.pendingSeek = -1;
  s.decodedPos = s.decodedCount = 0;
  s.primed = false;
  s.phase = 0.0;
}

// Adds up to frames stereo frames of the stream into mix; returns how many it
// had. Fewer than asked means the stream has ended.
int renderStream(FSOUND_STREAM& s, int32_t* mix, int frames, int mixRate) {
  applyPendingSeek(s);
  short f[2];
  int n = 0;
  if (s.sourceRate == mixRate) {
    for (; n < frames && nextSourceFrame(s, f); ++n) {
      mix[2 * n] += f[0];
      mix[2 * n + 1] += f[1];
    }
    return n;
  }
  if (!s.primed) {
    if (!nextSourceFrame(s, s.a)) return 0;
    if (!nextSourceFrame(s, s.b)) std::copy(s.a, s.a + 2, s.b);
    s.phase = 0.0;
    s.primed = true;
  }
  const double step = static_cast<double>(s.sourceRate) / mixRate;
  for (; n < frames; ++n) {
    bool more = true;
    while (s.phase >= 1.0 && more) {
      std::copy(s.b, s.b + 2, s.a);
      more = nextSourceFrame(s, s.b);
      s.phase -= 1.0;
    }
    if (!more) break;
    for (int c = 0; c < 2; ++c) {
      mix[2 * n + c] += static_cast<int32_t>(std::lround(s.a[c] + (s.b[c] - s.a[c]) * s.phase));
    }
    s.phase += step;
  }
  return n;
}

// A stream that ran out leaves its slot and rewinds, so that a later play starts over.
void finishStream(FSOUND_STREAM& s) {
  state.channels[static_cast<size_t>(s.channel)] = nullptr;
  s.channel = -1;
  s.pendingSeek = 0;
}

void pushWindow(const short* out, int frames) {
  const int first = std::max(0, frames - vorn::kSpectrumWindow);
  for (int f = first; f < frames; ++f) {
    state.window[state.windowHead] =
        (static_cast<float>(out[2 * f]) + static_cast<float>(out[2 * f + 1])) * kMonoScale;
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

void audioCallback(void*, Uint8* bytes, int length) {
  mixFrames(reinterpret_cast<short*>(bytes), length / 4);
}

// Called under the audio lock when a stream leaves its slot from the API side.
void publishSilenceIfIdle() {
  for (FSOUND_STREAM* s : state.channels) {
    if (s) return;
  }
  clearWindow();
  publishSpectrum(false);
}

FMOD_ERRORS openErrorFor(int ovResult) {
  switch (ovResult) {
    case OV_EREAD:
    case OV_EFAULT:
      return FMOD_ERR_FILE_BAD;
    case OV_EVERSION:
      return FMOD_ERR_VERSION;
    default:
      return FMOD_ERR_FILE_FORMAT;
  }
}

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
    SDL_CloseAudio();  // joins the audio thread; in SDL 1.2 this also ends the audio subsystem
    state.deviceOpen = false;
  }
  state.channels.clear();
  state.streams.clear();
  state.fftUnit.active = false;  // the analysis unit belongs to one initialised session
  clearWindow();
  state.spectrum.reset();
  state.manualActive = false;    // the requested mode stays for the next FSOUND_Init
  state.initialised = false;
}

int FSOUND_GetError() { return state.error; }

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

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* path, unsigned int mode, int) {
  if (!state.initialised) {
    fail(FMOD_ERR_UNINITIALIZED);
    return nullptr;
  }
  if (!path || (mode & kLoadMemory)) {
    fail(FMOD_ERR_INVALID_PARAM);
    return nullptr;
  }
  // The sample-format bits of mode are not used: the file decides channels and rate.
  FILE* f = vorn::openAssetFile(path, "rb");
  if (!f) {
    fail(errno == ENOENT || errno == ENOTDIR ? FMOD_ERR_FILE_NOTFOUND : FMOD_ERR_FILE_BAD);
    return nullptr;
  }
  struct stat info {};
  if (fstat(fileno(f), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fclose(f);
    fail(FMOD_ERR_FILE_BAD);
    return nullptr;
  }

  auto stream = std::make_unique<FSOUND_STREAM>();
  const int opened = ov_open_callbacks(f, &stream->file, nullptr, 0, OV_CALLBACKS_DEFAULT);
  if (opened != 0) {
    std::fclose(f);  // a failed open leaves the FILE to us and the decoder state cleared
    fail(openErrorFor(opened));
    return nullptr;
  }
  const vorbis_info* vi = ov_info(&stream->file, -1);
  if (!vi || vi->channels < 1 || vi->channels > 2 || vi->rate < 1000 || vi->rate > kMaxMixRate) {
    fail(FMOD_ERR_FILE_FORMAT);
    return nullptr;
  }
  stream->sourceRate = static_cast<int>(vi->rate);
  if (ov_seekable(&stream->file)) {
    stream->lengthFrames = ov_pcm_total(&stream->file, -1);
    stream->lengthSeconds = ov_time_total(&stream->file, -1);
  }
  state.streams.push_back(std::move(stream));
  return state.streams.back().get();
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  if (!state.initialised) return fail(FMOD_ERR_UNINITIALIZED);
  if (!isOpenStream(stream)) return fail(FMOD_ERR_INVALID_PARAM);
  const int slots = static_cast<int>(state.channels.size());
  if (channel != FSOUND_FREE && (channel < 0 || channel >= slots)) return fail(FMOD_ERR_INVALID_PARAM);

  AudioLock lock;
  if (stream->channel >= 0) return kChannelHandleBase + stream->channel;  // already playing
  int slot = channel;
  if (slot == FSOUND_FREE) {
    slot = 0;
    while (slot < slots && state.channels[static_cast<size_t>(slot)]) ++slot;
    if (slot == slots) return fail(FMOD_ERR_PLAY);
  } else if (FSOUND_STREAM* previous = state.channels[static_cast<size_t>(slot)]) {
    previous->channel = -1;  // a stream asked onto a busy channel takes it over
    previous->pendingSeek = 0;
  }
  state.channels[static_cast<size_t>(slot)] = stream;
  stream->channel = slot;
  return kChannelHandleBase + slot;
}

namespace {

// Takes the stream off its channel, if it has one. Call with the audio locked.
void releaseChannel(FSOUND_STREAM* stream) {
  if (stream->channel < 0) return;
  state.channels[static_cast<size_t>(stream->channel)] = nullptr;
  stream->channel = -1;
  publishSilenceIfIdle();
}

}  // namespace

signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  if (!state.initialised) return fail(FMOD_ERR_UNINITIALIZED);
  if (!isOpenStream(stream)) return fail(FMOD_ERR_INVALID_PARAM);
  AudioLock lock;
  releaseChannel(stream);
  stream->pendingSeek = 0;  // stop rewinds: the next play starts at the beginning
  return 1;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  if (!state.initialised) return fail(FMOD_ERR_UNINITIALIZED);
  if (!isOpenStream(stream)) return fail(FMOD_ERR_INVALID_PARAM);
  {
    AudioLock lock;
    releaseChannel(stream);
  }
  state.streams.erase(std::find_if(state.streams.begin(), state.streams.end(),
                                   [stream](const auto& s) { return s.get() == stream; }));
  return 1;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
  // This library creates no samples, so no non-null handle can be one of ours.
  if (sample) fail(FMOD_ERR_INVALID_PARAM);
}

namespace vorn::sound {

bool seekStream(FSOUND_STREAM* stream, double seconds) {
  if (!state.initialised) return fail(FMOD_ERR_UNINITIALIZED);
  if (!isOpenStream(stream)) return fail(FMOD_ERR_INVALID_PARAM);
  if (stream->lengthFrames < 0 || !(seconds >= 0.0) || seconds > stream->lengthSeconds) {
    return fail(FMOD_ERR_INVALID_PARAM);
  }
  const long long frame = std::min(std::llround(seconds * stream->sourceRate), stream->lengthFrames);
  AudioLock lock;
  stream->pendingSeek = frame;
  return true;
}

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
