// A canonical 44-byte RIFF header followed by the samples, little-endian.
#include "app/wav_file.h"

#include "app/whole_file.h"

namespace vorn {

namespace {

void putLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<int16_t>& stereo, int rate, std::string& error) {
  const uint32_t dataBytes = static_cast<uint32_t>(stereo.size() * sizeof(int16_t));
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  for (char c : std::string("RIFF")) out.push_back(static_cast<uint8_t>(c));
  putLe(out, 36 + dataBytes, 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
  putLe(out, 16, 4);
  putLe(out, 1, 2);  // PCM
  putLe(out, 2, 2);  // stereo
  putLe(out, static_cast<uint32_t>(rate), 4);
  putLe(out, static_cast<uint32_t>(rate) * 4, 4);
  putLe(out, 4, 2);
  putLe(out, 16, 2);
  for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
  putLe(out, dataBytes, 4);
  for (int16_t s : stereo) putLe(out, static_cast<uint16_t>(s), 2);
  return writeWholeFile(path, out.data(), out.size(), error);
}

}  // namespace vorn
