// Instruments of the soundtrack: oscillators, envelopes and filters written
// out per note, adding into the Mix buses. Everything is plain float
// arithmetic over a sine table and our own noise, so every run gives the same
// samples.
#include "tools/music/synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vorn::music {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kSineTableSize = 4096;
constexpr int kFilterUpdateFrames = 32;      // cutoff sweeps are recomputed this often
constexpr float kKickSeconds = 0.5f;         // one beat: a kick never rings into the next
constexpr float kKickFadeSeconds = 0.04f;    // closing fade, so the cut does not click
constexpr float kRiserCloseSeconds = 0.03f;  // likewise at the top of a riser

// One period of a sine, with a guard entry so interpolation never wraps.
const std::array<float, kSineTableSize + 1>& sineTable() {
  static const std::array<float, kSineTableSize + 1> table = [] {
    std::array<float, kSineTableSize + 1> t{};
    for (int i = 0; i <= kSineTableSize; ++i)
      t[i] = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * i / kSineTableSize));
    return t;
  }();
  return table;
}

// phase in cycles, 0 .. 1.
float sine(float phase) {
  const auto& table = sineTable();
  const float position = phase * kSineTableSize;
  int index = static_cast<int>(position);
  if (index < 0) index = 0;
  if (index >= kSineTableSize) index = kSineTableSize - 1;
  const float fraction = position - static_cast<float>(index);
  return table[index] + (table[index + 1] - table[index]) * fraction;
}

void advance(float& phase, float increment) {
  phase += increment;
  while (phase >= 1.0f) phase -= 1.0f;
}

// Per-frame multiplier of an exponential decay with time constant tau seconds.
float decayFactor(float tauSeconds) { return std::exp(-1.0f / (tauSeconds * kRate)); }

int frames(float seconds) { return static_cast<int>(seconds * kRate); }

// Saw with polyBLEP corrections at the wrap, so high notes do not alias badly.
class Saw {
 public:
  Saw(float hz, float phase) : phase_(phase), step_(hz / kRate) {}
  void setFrequency(float hz) { step_ = hz / kRate; }
  float next() {
    float value = 2.0f * phase_ - 1.0f - blep(phase_, step_);
    advance(phase_, step_);
    return value;
  }

 private:
  static float blep(float t, float dt) {
    if (t < dt) {
      t /= dt;
      return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
      t = (t - 1.0f) / dt;
      return t * t + t + t + 1.0f;
    }
    return 0.0f;
  }
  float phase_;
  float step_;
};

// Topology-preserving state-variable filter: stable for any cutoff below
// Nyquist and under fast sweeps. resonance 0 .. 1 (1 rings).
class Svf {
 public:
  void set(float cutoffHz, float resonance) {
    cutoffHz = std::clamp(cutoffHz, 20.0f, 0.45f * kRate);
    const float g = std::tan(kPi * cutoffHz / kRate);
    k_ = 2.0f - 1.9f * resonance;
    a1_ = 1.0f / (1.0f + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
  }
  void process(float in) {
    const float v3 = in - ic2_;
    const float v1 = a1_ * ic1_ + a2_ * v3;
    const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0f * v1 - ic1_;
    ic2_ = 2.0f * v2 - ic2_;
    low = v2;
    band = v1;
    high = in - k_ * v1 - v2;
  }

  float low = 0.0f, band = 0.0f, high = 0.0f;

 private:
  float k_ = 2.0f, a1_ = 1.0f, a2_ = 0.0f, a3_ = 0.0f;
  float ic1_ = 0.0f, ic2_ = 0.0f;
};

// Attack, hold for a given number of frames, then exponential release.
class HoldEnvelope {
 public:
  HoldEnvelope(float attackSeconds, int holdFrames, float releaseTau)
      : attackStep_(1.0f / std::max(1.0f, attackSeconds * kRate)),
        holdFrames_(holdFrames),
        release_(decayFactor(releaseTau)) {}
  float next() {
    if (frame_ < holdFrames_) {
      level_ = std::min(1.0f, level_ + attackStep_);
    } else {
      level_ *= release_;
    }
    ++frame_;
    return level_;
  }
  bool finished() const { return frame_ > holdFrames_ && level_ < 1e-4f; }

 private:
  float attackStep_;
  int holdFrames_;
  float release_;
  float level_ = 0.0f;
  int frame_ = 0;
};

uint32_t seedFor(int start, uint32_t salt) { return static_cast<uint32_t>(start) * 2654435761u ^ salt; }

struct Pan {
  explicit Pan(float pan) : left(std::cos((pan + 1.0f) * kPi * 0.25f)), right(std::sin((pan + 1.0f) * kPi * 0.25f)) {}
  float left, right;
};

int lastFrame(const Mix& mix, int start, int length) { return std::min(mix.frames, start + length); }

}  // namespace

float Noise::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(static_cast<int32_t>(state_)) * (1.0f / 2147483648.0f);
}

Mix::Mix(int frameCount)
    : frames(frameCount),
      drumsL(frameCount),
      drumsR(frameCount),
      musicL(frameCount),
      musicR(frameCount),
      delaySend(frameCount),
      reverbSend(frameCount) {}

float midiToHz(int note) { return 440.0f * std::pow(2.0f, (note - 69) / 12.0f); }

// A sine falling from about 170 Hz to 52 Hz in the first few hundredths of a
// second, so its body sits in the 43 - 129 Hz bands the box pile listens to.
void addKick(Mix& mix, int start, float velocity, bool duck, float bodySeconds) {
  Noise noise(seedFor(start, 0x4b49434bu));
  const float pitchDecay = decayFactor(0.028f);
  const float bodyDecay = decayFactor(bodySeconds);
  const float clickDecay = decayFactor(0.0025f);
  float sweep = 1.0f, body = 1.0f, click = 1.0f, phase = 0.0f;
  const float gain = 0.62f * velocity;
  const int length = frames(kKickSeconds);
  const float fadeFrames = kKickFadeSeconds * kRate;
  const int end = lastFrame(mix, start, length);
  for (int f = start, i = 0; f < end; ++f, ++i) {
    advance(phase, (52.0f + 118.0f * sweep) / kRate);
    const float attack = std::min(1.0f, i / (0.0015f * kRate));
    const float fade = std::min(1.0f, (length - i) / fadeFrames);
    const float tone = std::tanh(1.4f * sine(phase)) * (1.0f / 0.8854f);  // tanh(1.4)
    const float s = gain * (attack * fade * body * tone + 0.25f * click * noise.next());
    mix.drumsL[f] += s;
    mix.drumsR[f] += s;
    sweep *= pitchDecay;
    body *= bodyDecay;
    click *= clickDecay;
  }
  if (duck) mix.duckFrames.push_back(start);
}

void addSnare(Mix& mix, int start, float velocity) {
  Noise noise(seedFor(start, 0x534e4152u));
  Svf filter;
  filter.set(2400.0f, 0.25f);
  const float bodyDecay = decayFactor(0.045f);
  const float noiseDecay = decayFactor(0.11f);
  float body = 1.0f, hiss = 1.0f, phase = 0.0f;
  const float gain = 0.30f * velocity;
  const Pan pan(0.05f);
  const int end = lastFrame(mix, start, frames(0.5f));
  for (int f = start, i = 0; f < end; ++f, ++i) {
    advance(phase, (185.0f + 60.0f * body * body) / kRate);
    filter.process(noise.next());
    const float attack = std::min(1.0f, i / (0.001f * kRate));
    const float rattle = hiss * (filter.band + 0.5f * filter.high);
    const float s = gain * attack * (0.7f * body * sine(phase) + rattle);
    mix.drumsL[f] += s * pan.left;
    mix.drumsR[f] += s * pan.right;
    mix.reverbSend[f] += 0.22f * s;
    body *= bodyDecay;
    hiss *= noiseDecay;
  }
}

void addHat(Mix& mix, int start, float velocity, bool open) {
  Noise noise(seedFor(start, open ? 0x4f484154u : 0x43484154u));
  Svf filter;
  filter.set(open ? 6500.0f : 8000.0f, 0.2f);
  const float tau = open ? 0.16f : 0.028f;
  const float decay = decayFactor(tau);
  float level = 1.0f;
  const float gain = 0.13f * velocity * (0.88f + 0.12f * noise.next());  // no two hits alike
  const Pan pan(0.25f);
  const int end = lastFrame(mix, start, frames(6.0f * tau));
  for (int f = start; f < end; ++f) {
    filter.process(noise.next());
    const float s = gain * level * filter.high;
    mix.drumsL[f] += s * pan.left;
    mix.drumsR[f] += s * pan.right;
    mix.reverbSend[f] += 0.08f * s;
    level *= decay;
  }
}

// Two decorrelated noise channels, so the cymbal spreads across the stereo field.
void addCrash(Mix& mix, int start, float velocity) {
  Noise noiseL(seedFor(start, 0x43524c4cu));
  Noise noiseR(seedFor(start, 0x43525252u));
  Svf filterL, filterR;
  filterL.set(4200.0f, 0.35f);
  filterR.set(4600.0f, 0.35f);
  const float decay = decayFactor(1.1f);
  float level = 1.0f;
  const float gain = 0.16f * velocity;
  const int end = lastFrame(mix, start, frames(6.0f));
  for (int f = start; f < end; ++f) {
    filterL.process(noiseL.next());
    filterR.process(noiseR.next());
    const float l = gain * level * (filterL.high + 0.5f * filterL.band);
    const float r = gain * level * (filterR.high + 0.5f * filterR.band);
    mix.drumsL[f] += l;
    mix.drumsR[f] += r;
    mix.reverbSend[f] += 0.25f * (l + r);
    level *= decay;
  }
}

void addRiser(Mix& mix, int start, int length, float velocity) {
  if (length <= 0) return;
  Noise noise(seedFor(start, 0x52495345u));
  Svf filter;
  const float gain = 0.20f * velocity;
  const int end = lastFrame(mix, start, length);
  for (int f = start, i = 0; f < end; ++f, ++i) {
    const float progress = static_cast<float>(i) / length;
    if (i % kFilterUpdateFrames == 0) filter.set(300.0f * std::pow(25.0f, progress), 0.55f);
    filter.process(noise.next());
    const float close = std::min(1.0f, (length - i) / (kRiserCloseSeconds * kRate));
    const float s = gain * progress * progress * close * filter.band;
    mix.drumsL[f] += s;
    mix.drumsR[f] += s;
    mix.reverbSend[f] += 0.5f * s;
  }
}

// A saw through a low-pass whose cutoff snaps open at the note start, over a
// sine at the fundamental for weight.
void addBass(Mix& mix, int start, int length, int note, float velocity, float brightness) {
  const float hz = midiToHz(note);
  Saw saw(hz, 0.0f);
  Svf filter;
  HoldEnvelope amp(0.004f, length, 0.05f);
  const float sweepDecay = decayFactor(0.09f);
  float sweep = 1.0f, phase = 0.0f;
  const float gain = 0.24f * velocity;
  const int end = lastFrame(mix, start, length + frames(0.5f));
  for (int f = start, i = 0; f < end && !amp.finished(); ++f, ++i) {
    if (i % kFilterUpdateFrames == 0) filter.set(140.0f + brightness * (700.0f + 1600.0f * sweep), 0.3f);
    filter.process(saw.next());
    advance(phase, hz / kRate);
    const float s = gain * amp.next() * (0.6f * filter.low + 0.55f * sine(phase));
    mix.musicL[f] += s;
    mix.musicR[f] += s;
    sweep *= sweepDecay;
  }
}

// Three saws twelve cents apart, spread left, centre and right, through a
// slowly breathing low-pass.
void addPad(Mix& mix, int start, int length, int note, float velocity, float brightness) {
  const float hz = midiToHz(note);
  Noise noise(seedFor(start + note, 0x50414400u));
  Saw centre(hz, 0.5f + 0.5f * noise.next());
  Saw left(hz * 0.99309f, 0.5f + 0.5f * noise.next());
  Saw right(hz * 1.00696f, 0.5f + 0.5f * noise.next());
  Svf filterL, filterR;
  HoldEnvelope amp(0.45f, length, 0.35f);
  const float gain = 0.042f * velocity;
  const float baseCutoff = 350.0f + 2400.0f * brightness;
  const int end = lastFrame(mix, start, length + frames(3.0f));
  for (int f = start, i = 0; f < end && !amp.finished(); ++f, ++i) {
    if (i % kFilterUpdateFrames == 0) {
      const float breath = 0.85f + 0.15f * sine(std::fmod(i / (4.0f * kRate), 1.0f));
      filterL.set(baseCutoff * breath, 0.2f);
      filterR.set(baseCutoff * breath * 1.05f, 0.2f);
    }
    const float c = 0.7f * centre.next();
    filterL.process(c + left.next());
    filterR.process(c + right.next());
    const float level = gain * amp.next();
    const float l = level * filterL.low;
    const float r = level * filterR.low;
    mix.musicL[f] += l;
    mix.musicR[f] += r;
    mix.reverbSend[f] += 0.45f * (l + r);
  }
}

// Two slightly detuned saws with a delayed vibrato and a plucky filter.
void addLead(Mix& mix, int start, int length, int note, float velocity) {
  const float hz = midiToHz(note);
  Saw first(hz, 0.0f);
  Saw second(hz * 1.0046f, 0.37f);
  Svf filter;
  HoldEnvelope amp(0.012f, length, 0.07f);
  const float sweepDecay = decayFactor(0.22f);
  float sweep = 1.0f, vibratoPhase = 0.0f;
  const float gain = 0.12f * velocity;
  const int end = lastFrame(mix, start, length + frames(1.0f));
  for (int f = start, i = 0; f < end && !amp.finished(); ++f, ++i) {
    if (i % kFilterUpdateFrames == 0) {
      const float t = static_cast<float>(i) / kRate;
      const float depth = std::clamp((t - 0.18f) * 2.0f, 0.0f, 1.0f) * 0.006f;
      const float bend = 1.0f + depth * sine(vibratoPhase);
      first.setFrequency(hz * bend);
      second.setFrequency(hz * 1.0046f * bend);
      filter.set(1100.0f + 2600.0f * sweep, 0.3f);
    }
    advance(vibratoPhase, 5.3f / kRate);
    filter.process(first.next() + 0.7f * second.next());
    const float s = gain * amp.next() * filter.low;
    mix.musicL[f] += s;
    mix.musicR[f] += s;
    mix.delaySend[f] += 0.30f * s;
    mix.reverbSend[f] += 0.22f * s;
    sweep *= sweepDecay;
  }
}

// A sine with quickly fading second and third harmonics: a soft bell.
void addPluck(Mix& mix, int start, int note, float velocity, float pan) {
  const float hz = midiToHz(note);
  const float decay = decayFactor(0.26f);
  const float brightDecay = decayFactor(0.05f);
  float level = 1.0f, bright = 1.0f, phase1 = 0.0f, phase2 = 0.0f, phase3 = 0.0f;
  const float gain = 0.075f * velocity;
  const Pan place(pan);
  const int end = lastFrame(mix, start, frames(1.3f));
  for (int f = start, i = 0; f < end; ++f, ++i) {
    advance(phase1, hz / kRate);
    advance(phase2, 2.0f * hz / kRate);
    advance(phase3, 3.0f * hz / kRate);
    const float attack = std::min(1.0f, i / (0.002f * kRate));
    const float tone = sine(phase1) + bright * (0.4f * sine(phase2) + 0.2f * sine(phase3));
    const float s = gain * attack * level * tone;
    mix.musicL[f] += s * place.left;
    mix.musicR[f] += s * place.right;
    mix.delaySend[f] += 0.35f * s;
    mix.reverbSend[f] += 0.25f * s;
    level *= decay;
    bright *= brightDecay;
  }
}

}  // namespace vorn::music
