// Our sound library's streams: Ogg Vorbis files decoded by libvorbisfile on
// whichever thread mixes, resampled linearly to the mixing rate, and the
// FSOUND stream calls.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include <sys/stat.h>

#include "platform/regular_file.h"
#include "platform/sound.h"
#include "platform/sound_internal.h"

using namespace vorn::sound_internal;

namespace {

constexpr int kChannelHandleBase = 0x1000;  // channel handles are never 0: 0 means "did not start"
constexpr unsigned kLoadMemory = 0x8000;    // FSOUND_LOADMEMORY: memory streams are not supported
constexpr int kMaxDecodeHoles = 64;         // consecutive gaps skipped before a stream is given up

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

FMOD_ERRORS openErrorFor(int ovResult) {
  switch (ovResult) {
    case OV_EREAD:
    case OV_EFAULT: return FMOD_ERR_FILE_BAD;
    case OV_EVERSION: return FMOD_ERR_VERSION;
    default: return FMOD_ERR_FILE_FORMAT;
  }
}

// Takes the stream off its channel, if it has one. Call with the audio locked.
void releaseChannel(FSOUND_STREAM* stream) {
  if (stream->channel < 0) return;
  state.channels[static_cast<size_t>(stream->channel)] = nullptr;
  stream->channel = -1;
  publishSilenceIfIdle();
}

}  // namespace

namespace vorn::sound_internal {

bool isOpenStream(const FSOUND_STREAM* stream) {
  if (!stream) return false;
  for (const auto& s : state.streams) {
    if (s.get() == stream) return true;
  }
  return false;
}

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

void finishStream(FSOUND_STREAM& s) {
  state.channels[static_cast<size_t>(s.channel)] = nullptr;
  s.channel = -1;
  s.pendingSeek = 0;
}

}  // namespace vorn::sound_internal

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
  state.streams.erase(
      std::find_if(state.streams.begin(), state.streams.end(), [stream](const auto& s) { return s.get() == stream; }));
  return 1;
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

}  // namespace vorn::sound
