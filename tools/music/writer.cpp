// Mixes the score's buses through a ping-pong delay, a reverb, ducking under
// the kick and a peak limiter, then encodes the mix as Ogg Vorbis. The
// composition itself is score.h's.
#include "tools/music/writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/assets.h"
#include "tools/music/score.h"
#include "tools/music/synth.h"
#include "tools/music/vorbis_encoder.h"

namespace vorn::music {

namespace {

constexpr int kDelayFrames = kRate * 3 / 8;  // a dotted eighth at 120 BPM
constexpr float kDelayFeedback = 0.38f;
constexpr float kDelayReturn = 0.8f;
constexpr float kDelayToReverb = 0.3f;
constexpr float kDuckDepth = 0.45f;    // music-bus cut right after a kick
constexpr float kDuckSeconds = 0.12f;  // time constant of its recovery
constexpr float kDuckAttackSeconds = 0.004f;
constexpr float kLimiterReleaseSeconds = 0.1f;
constexpr float kFadeInSeconds = 1.5f;     // the opening pads swell in
constexpr float kFadeOutSeconds = 8.0f;    // the closing picture's tile-wave fade
constexpr int kStreamSerial = 0x766f726e;  // fixed, so the file is the same every run

// A feedback comb with a one-pole low-pass in the loop (Schroeder/Moorer).
class Comb {
 public:
  explicit Comb(int length) : buffer_(length) {}
  float process(float in, float feedback, float damping) {
    const float out = buffer_[index_];
    store_ = out * (1.0f - damping) + store_ * damping;
    buffer_[index_] = in + store_ * feedback;
    if (++index_ == static_cast<int>(buffer_.size())) index_ = 0;
    return out;
  }

 private:
  std::vector<float> buffer_;
  int index_ = 0;
  float store_ = 0.0f;
};

class Allpass {
 public:
  explicit Allpass(int length) : buffer_(length) {}
  float process(float in) {
    const float delayed = buffer_[index_];
    buffer_[index_] = in + delayed * 0.5f;
    if (++index_ == static_cast<int>(buffer_.size())) index_ = 0;
    return delayed - in;
  }

 private:
  std::vector<float> buffer_;
  int index_ = 0;
};

// Eight parallel combs and four allpasses per side; the right side's delay
// lengths are a little longer, which decorrelates the two.
class Reverb {
 public:
  Reverb() {
    constexpr int kCombLengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    constexpr int kAllpassLengths[] = {556, 441, 341, 225};
    constexpr int kStereoSpread = 23;
    for (int length : kCombLengths) {
      combsL_.emplace_back(length);
      combsR_.emplace_back(length + kStereoSpread);
    }
    for (int length : kAllpassLengths) {
      allpassL_.emplace_back(length);
      allpassR_.emplace_back(length + kStereoSpread);
    }
  }
  void process(float in, float& left, float& right) {
    constexpr float kInputGain = 0.03f;
    constexpr float kFeedback = 0.83f;
    constexpr float kDamping = 0.3f;
    const float x = in * kInputGain;
    left = 0.0f;
    right = 0.0f;
    for (Comb& c : combsL_) left += c.process(x, kFeedback, kDamping);
    for (Comb& c : combsR_) right += c.process(x, kFeedback, kDamping);
    for (Allpass& a : allpassL_) left = a.process(left);
    for (Allpass& a : allpassR_) right = a.process(right);
  }

 private:
  std::vector<Comb> combsL_, combsR_;
  std::vector<Allpass> allpassL_, allpassR_;
};

// Ping-pong echo of the delay send: left, then right, then left again.
void applyDelay(Mix& mix) {
  std::vector<float> left(kDelayFrames), right(kDelayFrames);
  float tone = 0.0f;  // low-pass in the loop, so repeats darken
  for (int f = 0, i = 0; f < mix.frames; ++f) {
    const float outL = left[i];
    const float outR = right[i];
    tone += 0.45f * (mix.delaySend[f] + kDelayFeedback * outR - tone);
    left[i] = tone;
    right[i] = kDelayFeedback * outL;
    if (++i == kDelayFrames) i = 0;
    mix.musicL[f] += kDelayReturn * outL;
    mix.musicR[f] += kDelayReturn * outR;
    mix.reverbSend[f] += kDelayToReverb * (outL + outR);
  }
}

void applyReverb(Mix& mix) {
  Reverb reverb;
  for (int f = 0; f < mix.frames; ++f) {
    float left, right;
    reverb.process(mix.reverbSend[f], left, right);
    mix.musicL[f] += left;
    mix.musicR[f] += right;
  }
}

// Gain of the music bus at every frame: dips after each ducking kick and
// recovers exponentially.
std::vector<float> duckGains(const Mix& mix) {
  std::vector<int> kicks = mix.duckFrames;
  std::sort(kicks.begin(), kicks.end());
  std::vector<float> gains(mix.frames, 1.0f);
  const float attackFrames = kDuckAttackSeconds * kRate;
  const int span = static_cast<int>(6.0f * kDuckSeconds * kRate);
  for (size_t k = 0; k < kicks.size(); ++k) {
    const int end = std::min({mix.frames, kicks[k] + span, k + 1 < kicks.size() ? kicks[k + 1] : mix.frames});
    for (int f = kicks[k]; f < end; ++f) {
      const float since = static_cast<float>(f - kicks[k]);
      const float recovery = std::exp(-since / (kDuckSeconds * kRate));
      const float dip = std::min(1.0f, since / attackFrames) * recovery;
      gains[f] = 1.0f - kDuckDepth * dip;
    }
  }
  return gains;
}

float fadeAt(int frame) {
  const float t = static_cast<float>(frame) / kRate;
  const float in = std::min(1.0f, t / kFadeInSeconds);
  const float left = (kSoundtrackSeconds - t) / kFadeOutSeconds;
  const float out = std::clamp(left, 0.0f, 1.0f);
  return in * out * out;
}

// Sums the buses, then a peak limiter with instant attack: the gain drops at
// once to keep every sample within the ceiling and recovers smoothly.
std::vector<float> masterMix(const Mix& mix) {
  const std::vector<float> duck = duckGains(mix);
  const float release = 1.0f - std::exp(-1.0f / (kLimiterReleaseSeconds * kRate));
  std::vector<float> out(2 * static_cast<size_t>(mix.frames));
  float gain = 1.0f;
  for (int f = 0; f < mix.frames; ++f) {
    const float fade = fadeAt(f);
    const float left = fade * (mix.drumsL[f] + duck[f] * mix.musicL[f]);
    const float right = fade * (mix.drumsR[f] + duck[f] * mix.musicR[f]);
    gain += (1.0f - gain) * release;
    const float peak = std::max(std::fabs(left), std::fabs(right));
    if (peak * gain > kMasterCeiling) gain = kMasterCeiling / peak;
    out[2 * f] = std::clamp(left * gain, -kMasterCeiling, kMasterCeiling);
    out[2 * f + 1] = std::clamp(right * gain, -kMasterCeiling, kMasterCeiling);
  }
  return out;
}

}  // namespace

std::vector<float> renderSoundtrack() {
  Mix mix(kSoundtrackFrames);
  composeSoundtrack(mix);
  applyDelay(mix);
  applyReverb(mix);
  return masterMix(mix);
}

bool encodeSoundtrack(const std::vector<float>& interleaved, std::string& bytes) {
  VorbisStream stream;
  stream.channels = 2;
  stream.rate = kRate;
  stream.quality = kVorbisQuality;
  stream.serial = kStreamSerial;
  stream.title = "vorndemo";
  return encodeVorbis(interleaved, stream, bytes);
}

}  // namespace vorn::music

namespace vorn::assets {

bool writeMusic(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "vorn-assets: cannot write %s\n", path.c_str());
    return false;
  }
  std::string bytes;
  bool ok = music::encodeSoundtrack(music::renderSoundtrack(), bytes);
  ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "vorn-assets: cannot write %s\n", path.c_str());
    std::remove(path.c_str());
  }
  return ok;
}

}  // namespace vorn::assets
