// The soundtrack as the show meets it: the written Ogg file decoded with
// libvorbisfile, its length and headroom, and the low-band checks that grow
// the box pile, walked in 0.05 s steps like the show does.
#include <gtest/gtest.h>
#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/spectrum.h"
#include "tests/support/test_files.h"
#include "tools/assets.h"
#include "tools/music/score.h"
#include "tools/music/synth.h"
#include "tools/music/writer.h"

namespace vorn {
namespace {

constexpr int kRate = 44100;
constexpr float kBoxThreshold = 0.7f;  // bands 1 + 2 + 3 above this add a box
constexpr double kCheckSeconds = 0.05;

struct Decoded {
  int rate = 0;
  int channels = 0;
  std::vector<short> samples;  // interleaved
  long frames() const { return channels > 0 ? static_cast<long>(samples.size()) / channels : 0; }
};

bool decodeOgg(const std::string& path, Decoded& out) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  OggVorbis_File vf;
  if (ov_open(file, &vf, nullptr, 0) != 0) {
    std::fclose(file);
    return false;
  }
  const vorbis_info* info = ov_info(&vf, -1);
  out.rate = static_cast<int>(info->rate);
  out.channels = info->channels;
  char buffer[16384];
  int section = 0;
  bool ok = true;
  for (;;) {
    const long got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section);
    if (got == 0) break;
    if (got < 0) {
      ok = false;
      break;
    }
    const auto* values = reinterpret_cast<const short*>(buffer);
    out.samples.insert(out.samples.end(), values, values + got / 2);
  }
  ov_clear(&vf);  // closes the file
  return ok;
}

// Bands 1 + 2 + 3 of a single instrument, 1024 frames ending at frame end.
float instrumentLowBands(const music::Mix& mix, int end) {
  float mono[kSpectrumWindow];
  for (int n = 0; n < kSpectrumWindow; ++n) {
    const int f = end - kSpectrumWindow + n;
    mono[n] = f < 0 ? 0.0f : (mix.drumsL[f] + mix.musicL[f] + mix.drumsR[f] + mix.musicR[f]) * 0.5f;
  }
  float bands[kSpectrumBandCount];
  computeSpectrum(mono, bands);
  return bands[1] + bands[2] + bands[3];
}

struct InstrumentRow {
  const char* name;
  void (*play)(music::Mix& mix, int start);
  float minLowBands, maxLowBands;  // 50 ms after the start
};

// The box pile follows the kick: it alone passes the threshold; the bass is
// heard in the low bands but stays under it, and the rest barely touch them.
TEST(MusicInstruments, OnlyKickAndBassReachTheLowBands) {
  const InstrumentRow rows[] = {
      {"kick", [](music::Mix& m, int s) { music::addKick(m, s, 1.0f, false); }, 0.7f, 3.0f},
      {"bass A1", [](music::Mix& m, int s) { music::addBass(m, s, music::kRate, 33, 1.0f, 0.7f); }, 0.05f, 0.7f},
      {"snare", [](music::Mix& m, int s) { music::addSnare(m, s, 1.0f); }, 0.0f, 0.2f},
      {"open hat", [](music::Mix& m, int s) { music::addHat(m, s, 1.0f, true); }, 0.0f, 0.02f},
      {"crash", [](music::Mix& m, int s) { music::addCrash(m, s, 1.0f); }, 0.0f, 0.02f},
      {"lead E5", [](music::Mix& m, int s) { music::addLead(m, s, music::kRate, 76, 1.0f); }, 0.0f, 0.02f},
      {"pluck A4", [](music::Mix& m, int s) { music::addPluck(m, s, 69, 1.0f, 0.0f); }, 0.0f, 0.02f},
      {"pad G3", [](music::Mix& m, int s) { music::addPad(m, s, music::kRate, 55, 1.0f, 1.0f); }, 0.0f, 0.05f},
  };
  constexpr int kStart = 2048;
  for (const InstrumentRow& row : rows) {
    music::Mix mix(kStart + 2 * music::kRate);
    row.play(mix, kStart);
    const float sum = instrumentLowBands(mix, kStart + music::kRate / 20);
    EXPECT_GE(sum, row.minLowBands) << row.name;
    EXPECT_LE(sum, row.maxLowBands) << row.name;
  }
}

// Notes that run past the end of the buses stop there, and only touch
// frames from their start on.
TEST(MusicInstruments, NotesAreCutAtTheEndOfTheMixAndStartOnTheirFrame) {
  const InstrumentRow rows[] = {
      {"kick", [](music::Mix& m, int s) { music::addKick(m, s, 1.0f, true); }, 0, 0},
      {"crash", [](music::Mix& m, int s) { music::addCrash(m, s, 1.0f); }, 0, 0},
      {"riser", [](music::Mix& m, int s) { music::addRiser(m, s, music::kRate, 1.0f); }, 0, 0},
      {"bass", [](music::Mix& m, int s) { music::addBass(m, s, music::kRate, 33, 1.0f, 1.0f); }, 0, 0},
      {"pad", [](music::Mix& m, int s) { music::addPad(m, s, music::kRate, 57, 1.0f, 1.0f); }, 0, 0},
      {"lead", [](music::Mix& m, int s) { music::addLead(m, s, music::kRate, 81, 1.0f); }, 0, 0},
      {"pluck", [](music::Mix& m, int s) { music::addPluck(m, s, 93, 1.0f, 1.0f); }, 0, 0},
  };
  constexpr int kFrames = 4000, kStart = 3000;
  for (const InstrumentRow& row : rows) {
    music::Mix mix(kFrames);
    row.play(mix, kStart);
    for (const std::vector<float>* bus :
         {&mix.drumsL, &mix.drumsR, &mix.musicL, &mix.musicR, &mix.delaySend, &mix.reverbSend}) {
      EXPECT_EQ(bus->size(), static_cast<size_t>(kFrames)) << row.name;
      const auto first = std::find_if(bus->begin(), bus->end(), [](float v) { return v != 0.0f; });
      if (first != bus->end()) {
        EXPECT_GE(first - bus->begin(), kStart) << row.name;
      }
    }
    const float heard =
        std::fabs(mix.drumsL[kFrames - 1]) + std::fabs(mix.musicL[kFrames - 1]) + std::fabs(mix.musicR[kFrames - 1]);
    EXPECT_GT(heard, 0.0f) << row.name << " is still sounding at the last frame";
  }
}

TEST(MusicNoise, SeedsGiveRepeatableSequencesInRange) {
  struct Row {
    const char* name;
    uint32_t seed;
  } const rows[] = {{"zero seed", 0u}, {"one", 1u}, {"high bits", 0x80000000u}};
  for (const Row& row : rows) {
    music::Noise a(row.seed), b(row.seed);
    float sum = 0.0f, lowest = 1.0f, highest = -1.0f;
    constexpr int kCount = 100000;
    for (int i = 0; i < kCount; ++i) {
      const float v = a.next();
      ASSERT_EQ(v, b.next()) << row.name;
      sum += v;
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
    }
    EXPECT_GE(lowest, -1.0f) << row.name;
    EXPECT_LE(highest, 1.0f) << row.name;
    EXPECT_LT(lowest, -0.99f) << row.name;
    EXPECT_GT(highest, 0.99f) << row.name;
    EXPECT_NEAR(sum / kCount, 0.0f, 0.01f) << row.name;
  }
}

// Written and decoded once per process: generating the soundtrack takes
// seconds, and ctest runs each test in a process of its own.
class MusicFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // One directory per process: ctest may run several of these tests at once.
    dir_ = new std::filesystem::path(std::filesystem::temp_directory_path() / "vorn-tests" /
                                     ("MusicFile-" + std::to_string(getpid())));
    std::filesystem::create_directories(*dir_);
    path_ = new std::string((*dir_ / "vorndemo.ogg").string());
    written_ = assets::writeMusic(*path_);
    decoded_ = new Decoded;
    decodedOk_ = written_ && decodeOgg(*path_, *decoded_);
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(*dir_);
    delete dir_;
    delete path_;
    delete decoded_;
  }
  void SetUp() override {
    ASSERT_TRUE(written_) << *path_;
    ASSERT_TRUE(decodedOk_) << *path_;
    ASSERT_GE(decoded_->frames(), 176L * kRate) << "shorter than the show";
  }

  // Bands 1 + 2 + 3 over the 1024 frames that end at the given second,
  // left and right mixed as the sound library does.
  static float lowBandSum(double seconds) {
    const long end = std::lround(seconds * kRate);
    float mono[kSpectrumWindow];
    for (int n = 0; n < kSpectrumWindow; ++n) {
      const long frame = end - kSpectrumWindow + n;
      mono[n] = frame < 0 ? 0.0f : (decoded_->samples[2 * frame] + decoded_->samples[2 * frame + 1]) / 65536.0f;
    }
    float bands[kSpectrumBandCount];
    computeSpectrum(mono, bands);
    return bands[1] + bands[2] + bands[3];
  }

  static std::filesystem::path* dir_;
  static std::string* path_;
  static Decoded* decoded_;
  static bool written_;
  static bool decodedOk_;
};

std::filesystem::path* MusicFile::dir_ = nullptr;
std::string* MusicFile::path_ = nullptr;
Decoded* MusicFile::decoded_ = nullptr;
bool MusicFile::written_ = false;
bool MusicFile::decodedOk_ = false;

TEST_F(MusicFile, DecodesAsThe176SecondStereoTrackWithHeadroom) {
  EXPECT_EQ(decoded_->rate, kRate);
  EXPECT_EQ(decoded_->channels, 2);
  EXPECT_NEAR(decoded_->frames(), 176L * kRate, kRate * 5 / 1000) << "frames";

  const auto [low, high] = std::minmax_element(decoded_->samples.begin(), decoded_->samples.end());
  EXPECT_GT(*low, -32768) << "full scale";
  EXPECT_LT(*high, 32767) << "full scale";

  const long end = 176L * kRate;
  int tail = 0;
  for (long i = 2 * (end - kRate / 10); i < 2 * end; ++i)
    tail = std::max(tail, std::abs(static_cast<int>(decoded_->samples[i])));
  EXPECT_LT(tail, 328) << "the last 0.1 s should be below 1 % of full scale";
}

// Every beat of the credits the kick should lift the low bands past the
// threshold, and over the 30 s the checks should add a few hundred boxes.
TEST_F(MusicFile, CreditsKickGrowsAPileOfAFewHundredBoxes) {
  constexpr double kStart = 106.0, kEnd = 136.0, kBeat = 0.5;
  constexpr int kChecksPerBeat = 10;
  int boxes = 0, beatsWithBox = 0, beats = 0;
  for (double beat = kStart; beat < kEnd - 1e-9; beat += kBeat, ++beats) {
    int inBeat = 0;
    for (int c = 1; c <= kChecksPerBeat; ++c)
      if (lowBandSum(beat + c * kCheckSeconds) > kBoxThreshold) ++inBeat;
    boxes += inBeat;
    if (inBeat > 0) ++beatsWithBox;
  }
  EXPECT_EQ(beats, 60);
  EXPECT_GE(boxes, 150);
  EXPECT_LE(boxes, 500);
  EXPECT_GE(beatsWithBox, beats * 9 / 10);
}

struct QuietStretch {
  const char* name;
  double from, to;  // seconds
};

// Stretches where the low bands should stay far below the box threshold.
TEST_F(MusicFile, QuietStretchesStayFarBelowTheBoxThreshold) {
  const QuietStretch rows[] = {
      {"calm opening", 0.0, 22.0},
      {"breakdown before the bass returns", 78.5, 86.0},
      {"last fade", 166.0, 176.0},
  };
  for (const QuietStretch& row : rows) {
    float loudest = 0.0f;
    for (double t = row.from + kCheckSeconds; t <= row.to + 1e-9; t += kCheckSeconds)
      loudest = std::max(loudest, lowBandSum(t));
    EXPECT_LT(loudest, kBoxThreshold / 2) << row.name;
  }
}

// The generator must give the same file on every run; the mix handed to the
// encoder must leave headroom for the codec's overshoot.
TEST(MusicRender, TwoRendersGiveTheSameFileAndStayUnderTheCeiling) {
  const std::vector<float> mix = music::renderSoundtrack();
  ASSERT_EQ(mix.size(), 2u * music::kSoundtrackFrames);
  float peak = 0.0f;
  for (float v : mix) peak = std::max(peak, std::fabs(v));
  EXPECT_LE(peak, music::kMasterCeiling);
  EXPECT_LT(peak, 0.98f);
  EXPECT_GT(peak, 0.5f) << "the mix should use its headroom";

  std::string bytes;
  ASSERT_TRUE(music::encodeSoundtrack(mix, bytes));
  const std::string path = test::scratchDir() + "/vorndemo.ogg";
  ASSERT_TRUE(assets::writeMusic(path));
  EXPECT_TRUE(bytes == test::readFile(path)) << "the soundtrack differs between two renders";
}

TEST(MusicWriter, UnwritablePathFailsWithOneLineNamingTheFile) {
  const std::string path = test::scratchDir() + "/missing-dir/vorndemo.ogg";
  ::testing::internal::CaptureStderr();
  const bool ok = assets::writeMusic(path);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(ok);
  EXPECT_NE(err.find(path), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace vorn
