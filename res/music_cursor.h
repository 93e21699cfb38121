// The music of an offline run, pulled from a player with pulled output in
// pieces that end exactly at each frame's sample, so that the spectrum a frame
// sees is that of the music up to its time and no further.
#pragma once

#include <cstdint>
#include <vector>

#include "res/music_player.h"

namespace vorn {

class MusicCursor {
 public:
  // Moves the player's music one spectrum window before sample `first`, so
  // that the first frame's spectrum is already full. The player must outlive
  // the cursor and be playing.
  MusicCursor(MusicPlayer& player, long long first);

  // Pulls the music up to (not including) sample `until`; keeps the samples
  // in [keepFrom, keepUntil) as the soundtrack.
  void advanceTo(long long until, long long keepFrom, long long keepUntil);

  // The kept samples: 16-bit stereo interleaved at the player's mixing rate.
  const std::vector<int16_t>& kept() const { return kept_; }

 private:
  static constexpr long long kChunk = 4096;  // frames per pull
  MusicPlayer& player_;
  long long position_ = 0;  // next sample to pull
  std::vector<int16_t> chunk_;
  std::vector<int16_t> kept_;
};

}  // namespace vorn
