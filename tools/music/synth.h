// The soundtrack's instruments: each add* call synthesises one note or hit and
// adds it into the mix buses. Mixing the buses down is writer.h's job; what
// is played when is score.h's.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn::music {

constexpr int kRate = 44100;  // frames per second

// xorshift32: the same sequence on every platform and library version.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
  float next();  // uniform in -1 .. 1
 private:
  uint32_t state_;
};

// The buses every instrument writes into, one value per frame. Drums stay
// as they are; the music bus ducks under each kick that asks for it; the two
// send buses are mono inputs to the delay and the reverb.
struct Mix {
  explicit Mix(int frameCount);

  int frames;
  std::vector<float> drumsL, drumsR;
  std::vector<float> musicL, musicR;
  std::vector<float> delaySend;
  std::vector<float> reverbSend;
  std::vector<int> duckFrames;  // kick starts that duck the music bus, in call order
};

float midiToHz(int note);

// Drums. velocity is 0 .. 1 (a loud hit at 1).
// bodySeconds: time constant of the kick's low thump; longer is fuller.
void addKick(Mix& mix, int start, float velocity, bool duck, float bodySeconds = 0.3f);
void addSnare(Mix& mix, int start, float velocity);
void addHat(Mix& mix, int start, float velocity, bool open);
void addCrash(Mix& mix, int start, float velocity);
// Noise swept upward over length frames, growing louder: a build-up.
void addRiser(Mix& mix, int start, int length, float velocity);

// Tonal voices: length is the held part in frames; each adds its own release.
// brightness 0 .. 1 opens the filter.
void addBass(Mix& mix, int start, int length, int note, float velocity, float brightness);
void addPad(Mix& mix, int start, int length, int note, float velocity, float brightness);
void addLead(Mix& mix, int start, int length, int note, float velocity);
// A short plucked bell tone; pan -1 (left) .. 1 (right).
void addPluck(Mix& mix, int start, int note, float velocity, float pan);

}  // namespace vorn::music
