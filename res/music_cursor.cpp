// Frame-exact pulling of the music for offline runs.
#include "res/music_cursor.h"

#include <algorithm>

#include "platform/spectrum.h"

namespace vorn {

MusicCursor::MusicCursor(MusicPlayer& player, long long first) : player_(player) {
  position_ = std::max<long long>(0, first - kSpectrumWindow);
  player_.seekToSample(position_);
}

void MusicCursor::advanceTo(long long until, long long keepFrom, long long keepUntil) {
  while (position_ < until) {
    const int frames = static_cast<int>(std::min<long long>(until - position_, kChunk));
    chunk_.assign(static_cast<size_t>(frames) * 2, 0);
    player_.pull(chunk_.data(), frames);
    for (int i = 0; i < frames; ++i) {
      const long long s = position_ + i;
      if (s >= keepFrom && s < keepUntil) {
        kept_.push_back(chunk_[static_cast<size_t>(i) * 2]);
        kept_.push_back(chunk_[static_cast<size_t>(i) * 2 + 1]);
      }
    }
    position_ += frames;
  }
}

}  // namespace vorn
