// Encodes interleaved float samples as an Ogg Vorbis stream with libvorbisenc:
// the one encoder of the soundtrack writer and of the tests' sound clips.
#pragma once

#include <string>
#include <vector>

namespace vorn::music {

struct VorbisStream {
  int channels = 0;
  int rate = 0;          // frames per second
  float quality = 0.0f;  // VBR quality, -0.1 (smallest) .. 1 (best)
  int serial = 0;        // Ogg stream serial; fixed, so equal samples give equal bytes
  std::string title;     // TITLE comment; none when empty
};

// interleaved: whole frames of stream.channels samples in -1 .. 1. Appends the
// encoded stream to bytes. False when libvorbisenc refuses the set-up.
bool encodeVorbis(const std::vector<float>& interleaved, const VorbisStream& stream, std::string& bytes);

}  // namespace vorn::music
