// A walk over the pages of an Ogg file, without decoding, to tell whether the
// stream arrived whole: every page's checksum holds and the last page closes
// the stream. The decoder skips damaged pages silently; this names them.
#pragma once

#include <string>

namespace vorn::sound {

// Empty when the file's pages are all intact and the stream ends with its
// end-of-stream page; otherwise a short description of the damage.
std::string oggPageDamage(const std::string& path);

}  // namespace vorn::sound
