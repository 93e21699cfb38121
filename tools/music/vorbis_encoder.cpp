// Vorbis analysis in fixed chunks, packets into Ogg pages, pages into bytes.
#include "tools/music/vorbis_encoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace vorn::music {

namespace {

constexpr int kEncodeChunkFrames = 4096;

void appendPage(const ogg_page& page, std::string& bytes) {
  bytes.append(reinterpret_cast<const char*>(page.header), page.header_len);
  bytes.append(reinterpret_cast<const char*>(page.body), page.body_len);
}

// Moves every finished packet of the encoder into the Ogg stream and every
// full page into bytes.
void drainEncoder(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream, std::string& bytes) {
  ogg_packet packet;
  ogg_page page;
  while (vorbis_analysis_blockout(&dsp, &block) == 1) {
    vorbis_analysis(&block, nullptr);
    vorbis_bitrate_addblock(&block);
    while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
      ogg_stream_packetin(&stream, &packet);
      while (ogg_stream_pageout(&stream, &page) != 0) appendPage(page, bytes);
    }
  }
}

}  // namespace

bool encodeVorbis(const std::vector<float>& interleaved, const VorbisStream& settings, std::string& bytes) {
  if (settings.channels <= 0) return false;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, settings.channels, settings.rate, settings.quality) != 0) {
    vorbis_info_clear(&info);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  if (!settings.title.empty()) vorbis_comment_add_tag(&comment, "TITLE", settings.title.c_str());
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, settings.serial);

  ogg_packet header, commentHeader, codebooks;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) appendPage(page, bytes);

  const std::size_t channels = static_cast<std::size_t>(settings.channels);
  const std::size_t total = interleaved.size() / channels;
  for (std::size_t done = 0; done < total;) {
    const int count = static_cast<int>(std::min<std::size_t>(kEncodeChunkFrames, total - done));
    float** buffer = vorbis_analysis_buffer(&dsp, count);
    for (int i = 0; i < count; ++i)
      for (std::size_t c = 0; c < channels; ++c) buffer[c][i] = interleaved[(done + i) * channels + c];
    vorbis_analysis_wrote(&dsp, count);
    drainEncoder(dsp, block, stream, bytes);
    done += static_cast<std::size_t>(count);
  }
  vorbis_analysis_wrote(&dsp, 0);  // end of stream
  drainEncoder(dsp, block, stream, bytes);
  while (ogg_stream_flush(&stream, &page) != 0) appendPage(page, bytes);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return true;
}

}  // namespace vorn::music
