// MusicPlayer: the program's only contact with sound. Sets up the sound
// library, opens the music as a stream, plays and stops it, and offers the
// library's current spectrum.
#pragma once

#include "platform/sound.h"

namespace vorn {

constexpr int kMaxSamples = 64;

class MusicPlayer {
 public:
  explicit MusicPlayer(int mixRate);
  virtual ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  int open(const char* path);  // 0 when open, 1 on failure (messages on stdout)
  void play();
  void stop();
  // The library's current spectrum; valid whether or not any player exists.
  static const float* spectrum();
  static const char* errorText(int error);

  FSOUND_STREAM* stream = nullptr;
  FSOUND_SAMPLE* samples[kMaxSamples] = {};
  int mixRate = 0;
  int initialised = 0;
  int playing = 0;
  int sampleCount = 0;
};

// The one player of the program; empty while the production is built and not
// cleared after the player is destroyed.
extern MusicPlayer* musicPlayer;

}  // namespace vorn
