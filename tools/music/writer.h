// Mixing the soundtrack down to stereo and encoding it as Ogg Vorbis; the
// asset generator's writeMusic (tools/assets.h) is built from these.
#pragma once

#include <string>
#include <vector>

namespace vorn::music {

constexpr float kMasterCeiling = 0.89f;  // highest absolute sample of the mix
constexpr float kVorbisQuality = 0.4f;   // vorbis_encode_init_vbr quality

// The whole soundtrack, interleaved left/right floats at kRate, exactly
// kSoundtrackFrames frames, every sample within +-kMasterCeiling.
std::vector<float> renderSoundtrack();

// Encodes interleaved stereo floats at kRate as the soundtrack's Ogg Vorbis
// stream (VBR at kVorbisQuality, fixed stream serial, titled) into bytes.
// False if libvorbisenc refuses the set-up.
bool encodeSoundtrack(const std::vector<float>& interleaved, std::string& bytes);

}  // namespace vorn::music
