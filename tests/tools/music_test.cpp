// The soundtrack as the show meets it: the written Ogg file decoded with
// libvorbisfile, its length and headroom, and the low-band checks that grow
// the box pile, walked in 0.05 s steps like the show does.
#include <gtest/gtest.h>
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
#include "tools/music_score.h"
#include "tools/music_writer.h"

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

// Written, decoded and rendered once more for the whole suite: generating the
// soundtrack takes seconds.
class MusicFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto dir = std::filesystem::temp_directory_path() / "vorn-tests" / "MusicFile";
    std::filesystem::create_directories(dir);
    path_ = new std::string((dir / "vorndemo.ogg").string());
    written_ = assets::writeMusic(*path_);
    decoded_ = new Decoded;
    decodedOk_ = written_ && decodeOgg(*path_, *decoded_);
    render_ = new std::vector<float>(music::renderSoundtrack());
  }
  static void TearDownTestSuite() {
    std::filesystem::remove(*path_);
    delete path_;
    delete decoded_;
    delete render_;
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
      mono[n] = frame < 0 ? 0.0f
                          : (decoded_->samples[2 * frame] + decoded_->samples[2 * frame + 1]) /
                                65536.0f;
    }
    float bands[kSpectrumBandCount];
    computeSpectrum(mono, bands);
    return bands[1] + bands[2] + bands[3];
  }

  static std::string* path_;
  static Decoded* decoded_;
  static std::vector<float>* render_;  // a second, independent render of the mix
  static bool written_;
  static bool decodedOk_;
};

std::string* MusicFile::path_ = nullptr;
Decoded* MusicFile::decoded_ = nullptr;
std::vector<float>* MusicFile::render_ = nullptr;
bool MusicFile::written_ = false;
bool MusicFile::decodedOk_ = false;

TEST_F(MusicFile, DecodesAsStereoAt44100HzLasting176Seconds) {
  EXPECT_EQ(decoded_->rate, kRate);
  EXPECT_EQ(decoded_->channels, 2);
  EXPECT_NEAR(decoded_->frames(), 176L * kRate, kRate * 5 / 1000) << "frames";
}

TEST_F(MusicFile, NoDecodedSampleReachesFullScale) {
  const auto [low, high] = std::minmax_element(decoded_->samples.begin(), decoded_->samples.end());
  EXPECT_GT(*low, -32768);
  EXPECT_LT(*high, 32767);
}

TEST_F(MusicFile, IsTheSameBytesAsASecondRender) {
  std::string bytes;
  ASSERT_TRUE(music::encodeVorbis(*render_, bytes));
  EXPECT_TRUE(bytes == test::readFile(*path_)) << "the soundtrack differs between two renders";
}

TEST_F(MusicFile, MixPeaksBelowTheCeilingBeforeEncoding) {
  ASSERT_EQ(render_->size(), 2u * music::kSoundtrackFrames);
  float peak = 0.0f;
  for (float v : *render_) peak = std::max(peak, std::fabs(v));
  EXPECT_LE(peak, music::kMasterCeiling);
  EXPECT_LT(peak, 0.98f);
  EXPECT_GT(peak, 0.5f) << "the mix should use its headroom";
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

TEST_F(MusicFile, EndsInSilenceAt176Seconds) {
  const long end = 176L * kRate;
  int peak = 0;
  for (long i = 2 * (end - kRate / 10); i < 2 * end; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(decoded_->samples[i])));
  EXPECT_LT(peak, 328) << "last 0.1 s should be below 1 % of full scale";
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
