// Test clips for the sound tests: sines written as Ogg Vorbis with
// libvorbisenc, and the reference decode of a file through ov_read.
// Header-only so that every test binary that plays sound can share it.
#pragma once

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

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
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, 0.6f) != 0) {
    vorbis_info_clear(&info);
    std::fclose(file);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 20261208);

  bool ok = true;
  ogg_page page;
  auto writePage = [&] {
    ok = ok && std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file) == static_cast<size_t>(page.header_len);
    ok = ok && std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file) == static_cast<size_t>(page.body_len);
  };
  ogg_packet header, commentHeader, codebooks;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codebooks);
  while (ogg_stream_flush(&stream, &page) != 0) writePage();

  auto drain = [&] {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) writePage();
      }
    }
  };
  const size_t frames = interleaved.size() / static_cast<size_t>(channels);
  constexpr size_t kChunk = 1024;
  for (size_t start = 0; start < frames; start += kChunk) {
    const size_t count = std::min(kChunk, frames - start);
    float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
    for (size_t f = 0; f < count; ++f) {
      for (int c = 0; c < channels; ++c) {
        buffer[c][f] = interleaved[(start + f) * static_cast<size_t>(channels) + static_cast<size_t>(c)];
      }
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(count));
    drain();
  }
  vorbis_analysis_wrote(&dsp, 0);
  drain();
  while (ogg_stream_flush(&stream, &page) != 0) writePage();

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return std::fclose(file) == 0 && ok;
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
