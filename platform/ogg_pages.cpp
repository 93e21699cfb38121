// Ogg page walk with libogg's sync layer, which checks each page's CRC.
#include "platform/ogg_pages.h"

#include <ogg/ogg.h>

#include <cstdio>
#include <cstring>

#include "platform/regular_file.h"

namespace vorn::sound {

namespace {

constexpr long kReadBlock = 65536;

}  // namespace

std::string oggPageDamage(const std::string& path) {
  FILE* f = openAssetFile(path.c_str(), "rb");
  if (!f) return "it cannot be read";
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  long skippedBytes = 0;  // bytes outside any intact page: damaged pages or junk
  long pages = 0;
  bool ended = false;  // the last page seen carries the end-of-stream flag
  bool readFailed = false;
  for (;;) {
    ogg_page page;
    const long step = ogg_sync_pageseek(&sync, &page);
    if (step > 0) {
      ended = ogg_page_eos(&page) != 0;
      ++pages;
      continue;
    }
    if (step < 0) {
      skippedBytes += -step;
      continue;
    }
    char* buffer = ogg_sync_buffer(&sync, kReadBlock);
    const size_t got = buffer ? std::fread(buffer, 1, kReadBlock, f) : 0;
    if (got == 0) {
      readFailed = std::ferror(f) != 0 || !buffer;
      break;
    }
    ogg_sync_wrote(&sync, static_cast<long>(got));
  }
  // Bytes left in the sync buffer are an incomplete last page.
  const long leftover = sync.fill - sync.returned;
  ogg_sync_clear(&sync);
  std::fclose(f);

  if (readFailed) return "reading it failed";
  if (pages == 0) return "it holds no Ogg page";
  std::string damage;
  if (skippedBytes > 0) damage = std::to_string(skippedBytes) + " bytes fail their page checksum (the music has gaps)";
  if (!ended || leftover > 0) {
    if (!damage.empty()) damage += "; ";
    damage += "the stream is cut short (it stops before its end)";
  }
  return damage;
}

}  // namespace vorn::sound
