// MusicPlayer: the program's only contact with sound. Sets up the sound
// library, opens the music as a stream, plays, moves and stops it, and offers
// the library's current spectrum. Offline rendering has no device: the player
// is then made with pulled output and the caller mixes the music piece by piece.
#pragma once

#include <cstdint>

// The sound library's stream and sample handles (platform/sound.h), opaque here.
struct FSOUND_STREAM;
struct FSOUND_SAMPLE;

namespace vorn {

constexpr int kMaxSamples = 64;
constexpr int kMixRate = 44100;  // Hz: the program's one mixing rate

// Where the mixed music goes: the sound device in real time, or to whoever
// calls pull (no device is opened).
enum class MusicOutput { Device, Pulled };

class MusicPlayer {
 public:
  explicit MusicPlayer(int mixRate, MusicOutput output = MusicOutput::Device);
  virtual ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  int open(const char* path);  // 0 when open, 1 on failure (messages on stdout)
  void play();
  void stop();
  // Moves the music to `seconds` (before or during play); a time past the
  // end, or no open stream, leaves it where it is.
  void seek(double seconds);
  // The same at sample `sample` of the mixing rate.
  void seekToSample(long long sample);
  // Pulled output: mixes the next `frames` stereo frames of the playing music
  // into out (16-bit interleaved, frames * 2 values), updates the spectrum
  // from exactly those frames and returns how many came from the music (the
  // rest is silence). With device output it writes silence and returns 0.
  int pull(int16_t* out, int frames);
  // The library's current spectrum (kSpectrumBands values in 0 .. 1,
  // platform/sound.h); valid whether or not any player exists.
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
