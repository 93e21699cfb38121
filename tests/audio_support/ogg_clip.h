// Test clips for the sound tests: sines written as Ogg Vorbis by the asset
// generator's encoder, and the reference decode of a file through ov_read.
// Header-only so that every test binary that plays sound can share it.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/music/vorbis_encoder.h"

namespace vorn::test {

// Interleaved samples in -1 .. 1: the same sine on every channel.
inline std::vector<float> sineClip(double hz, double amplitude, double seconds, int rate, int channels) {
  const size_t frames = static_cast<size_t>(std::lround(seconds * rate));
  std::vector<float> samples(frames * static_cast<size_t>(channels));
  for (size_t f = 0; f < frames; ++f) {
    const float v = static_cast<float>(amplitude * std::sin(6.283185307179586 * hz * static_cast<double>(f) / rate));
    for (int c = 0; c < channels; ++c) samples[f * static_cast<size_t>(channels) + static_cast<size_t>(c)] = v;
  }
  return samples;
}

// Encodes interleaved floats as Ogg Vorbis into path. False when the encoder
// refuses the set-up or the file cannot be written.
inline bool writeOggClip(const std::string& path, const std::vector<float>& interleaved, int channels, int rate) {
  music::VorbisStream stream;
  stream.channels = channels;
  stream.rate = rate;
  stream.quality = 0.6f;
  stream.serial = 20261208;
  std::string bytes;
  if (!music::encodeVorbis(interleaved, stream, bytes)) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

struct DecodedClip {
  int channels = 0;
  int rate = 0;
  std::vector<short> samples;  // interleaved, as ov_read gives them
};

// The reference decode: the whole file through ov_read, 16-bit signed host order.
inline DecodedClip decodeOgg(const std::string& path) {
  DecodedClip clip;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return clip;
  clip.channels = ov_info(&vf, -1)->channels;
  clip.rate = static_cast<int>(ov_info(&vf, -1)->rate);
  short buffer[4096];
  int link = 0;
  for (;;) {
    const long bytes = ov_read(&vf, reinterpret_cast<char*>(buffer), sizeof buffer, 0, 2, 1, &link);
    if (bytes == OV_HOLE) continue;
    if (bytes <= 0) break;
    clip.samples.insert(clip.samples.end(), buffer, buffer + bytes / 2);
  }
  ov_clear(&vf);
  return clip;
}

// Stereo frames of a decoded clip (mono duplicated), the form the library mixes.
inline std::vector<short> asStereo(const DecodedClip& clip) {
  if (clip.channels == 2) return clip.samples;
  std::vector<short> stereo;
  stereo.reserve(clip.samples.size() * 2);
  for (short s : clip.samples) {
    stereo.push_back(s);
    stereo.push_back(s);
  }
  return stereo;
}

// The mono window sample the library analyses for one stereo frame.
inline float monoOf(short left, short right) {
  return (static_cast<float>(left) + static_cast<float>(right)) * (1.0f / 65536.0f);
}

}  // namespace vorn::test
