// The sound library: errors, manual-mode streaming against the reference
// decode, the spectrum of what was mixed, and playback into SDL's disk driver.
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/spectrum.h"
#include "tests/audio_support/ogg_clip.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

using test::DecodedClip;

constexpr int kRate = 44100;

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::scratchDir();
    test::setVariable("SDL_AUDIODRIVER", "disk");
    test::setVariable("SDL_DISKAUDIOFILE", dir + "/device.raw");
    test::setVariable("SDL_DISKAUDIODELAY", "0");
  }
  void TearDown() override {
    FSOUND_Close();
    sound::setManualMode(false);
  }

  std::string clip(const char* name, double hz, double amplitude, double seconds, int rate = kRate, int channels = 2) {
    const std::string path = dir + "/" + name;
    EXPECT_TRUE(test::writeOggClip(path, test::sineClip(hz, amplitude, seconds, rate, channels), channels, rate));
    return path;
  }

  void initManual(int rate = kRate) {
    sound::setManualMode(true);
    ASSERT_NE(FSOUND_Init(rate, 32, 0), 0);
    ASSERT_NE(FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1), 0);
  }

  std::vector<short> pull(int frames, int* delivered = nullptr) {
    std::vector<short> out(static_cast<size_t>(frames) * 2, 123);
    const int n = sound::pullSamples(out.data(), frames);
    if (delivered) *delivered = n;
    return out;
  }

  std::string dir;
};

std::vector<float> spectrumCopy() {
  const float* s = FSOUND_DSP_GetSpectrum();
  return std::vector<float>(s, s + kSpectrumBands);
}

bool allZero(const std::vector<float>& v) {
  for (float x : v) {
    if (x != 0.0f) return false;
  }
  return true;
}

// The spectrum the library should show after mixing these stereo frames.
std::vector<float> expectedSpectrum(const std::vector<short>& stereo) {
  std::vector<float> mono(kSpectrumWindow, 0.0f);
  const size_t frames = stereo.size() / 2;
  for (size_t i = 0; i < kSpectrumWindow && i < frames; ++i) {
    const size_t f = frames - kSpectrumWindow + i;
    mono[i] = test::monoOf(stereo[2 * f], stereo[2 * f + 1]);
  }
  std::vector<float> bands(kSpectrumBandCount);
  computeSpectrum(mono.data(), bands.data());
  return bands;
}

TEST_F(SoundTest, SpectrumIsAValidSilentArrayBeforeInitAndAfterClose) {
  EXPECT_TRUE(allZero(spectrumCopy()));
  initManual();
  FSOUND_STREAM* s = FSOUND_Stream_OpenFile(clip("bass.ogg", 100.0, 1.0, 1.0).c_str(), 0, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
  pull(4096);
  EXPECT_FALSE(allZero(spectrumCopy()));
  FSOUND_Close();
  FSOUND_Close();  // twice is harmless
  EXPECT_TRUE(allZero(spectrumCopy()));
}

TEST_F(SoundTest, CallsBeforeInitFailWithErrorTwo) {
  const std::string path = clip("bass.ogg", 100.0, 1.0, 0.5);
  EXPECT_EQ(FSOUND_Stream_OpenFile(path.c_str(), 0, 0), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), 0);
  EXPECT_FALSE(sound::seekStream(nullptr, 1.0));
  short out[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(sound::pullSamples(out, 4), 0);
  for (short v : out) EXPECT_EQ(v, 0);
}

TEST_F(SoundTest, OpenFailuresReportTheirErrorNumbers) {
  initManual();
  const std::string text = dir + "/notes.ogg";
  test::writeFile(text, "This is a text file with an .ogg name, not an Ogg Vorbis stream.\n");
  const std::string empty = dir + "/empty.ogg";
  test::writeFile(empty, "");
  struct Row {
    const char* name;
    std::string path;
    int error;
  } rows[] = {
      {"missing file", dir + "/absent.ogg", FMOD_ERR_FILE_NOTFOUND},
      {"missing folder", dir + "/absent/x.ogg", FMOD_ERR_FILE_NOTFOUND},
      {"text named .ogg", text, FMOD_ERR_FILE_FORMAT},
      {"empty file", empty, FMOD_ERR_FILE_FORMAT},
      {"a directory", dir, FMOD_ERR_FILE_BAD},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FSOUND_Stream_OpenFile(row.path.c_str(), FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), row.error);
  }
}

TEST_F(SoundTest, DriverThatCannotOpenFailsInitWithErrorThree) {
  test::setVariable("SDL_AUDIODRIVER", "nosuchdriver");
  EXPECT_EQ(FSOUND_Init(kRate, 32, 0), 0);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
  EXPECT_EQ(FSOUND_Stream_OpenFile(clip("bass.ogg", 100.0, 1.0, 0.5).c_str(), 0, 0), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
}

TEST_F(SoundTest, ManualPullDeliversTheDecodedClipThenSilence) {
  const std::string path = clip("tone.ogg", 440.0, 0.8, 1.0);
  const std::vector<short> reference = test::asStereo(test::decodeOgg(path));
  const int total = static_cast<int>(reference.size() / 2);
  ASSERT_GT(total, kRate - 10);

  initManual();
  FSOUND_STREAM* s = FSOUND_Stream_OpenFile(path.c_str(), FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0);
  ASSERT_NE(s, nullptr);
  // Nothing advances before play.
  int delivered = -1;
  pull(512, &delivered);
  EXPECT_EQ(delivered, 0);
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);

  std::vector<short> played;
  for (int chunk : {1, 1000, 4096, 777, 30000}) {
    const auto part = pull(chunk, &delivered);
    EXPECT_EQ(delivered, chunk);
    played.insert(played.end(), part.begin(), part.end());
  }
  const int rest = total - static_cast<int>(played.size() / 2);
  const auto tail = pull(rest + 500, &delivered);
  EXPECT_EQ(delivered, rest);
  played.insert(played.end(), tail.begin(), tail.begin() + 2 * rest);
  EXPECT_TRUE(played == reference);
  for (size_t i = 2 * static_cast<size_t>(rest); i < tail.size(); ++i) ASSERT_EQ(tail[i], 0) << i;

  pull(2048, &delivered);
  EXPECT_EQ(delivered, 0);
  EXPECT_TRUE(allZero(spectrumCopy()));  // nothing plays any more
}

TEST_F(SoundTest, SeekThenPullGivesExactlyThoseSecondsAndTheirSpectrum) {
  const std::string path = clip("bass.ogg", 100.0, 1.0, 2.0);
  const std::vector<short> reference = test::asStereo(test::decodeOgg(path));
  ASSERT_GE(reference.size(), static_cast<size_t>(2 * kRate * 3 / 2));

  initManual();
  FSOUND_STREAM* s = FSOUND_Stream_OpenFile(path.c_str(), 0, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_TRUE(sound::seekStream(s, 1.0));
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
  int delivered = 0;
  const auto got = pull(kRate / 2, &delivered);
  ASSERT_EQ(delivered, kRate / 2);
  const std::vector<short> expected(reference.begin() + 2 * kRate, reference.begin() + 2 * kRate + kRate);
  EXPECT_TRUE(got == expected);

  const auto shown = spectrumCopy();
  const auto computed = expectedSpectrum(got);
  for (int k = 0; k < kSpectrumBands; ++k)
    ASSERT_NEAR(shown[static_cast<size_t>(k)], computed[static_cast<size_t>(k)], 1e-6f) << k;

  // Moving back while playing: the next pull starts at the new place.
  ASSERT_TRUE(sound::seekStream(s, 0.5));
  const auto again = pull(1000);
  EXPECT_TRUE(std::equal(again.begin(), again.end(), reference.begin() + kRate));

  EXPECT_FALSE(sound::seekStream(s, -0.1));
  EXPECT_FALSE(sound::seekStream(s, 60.0));
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

struct SpectrumRow {
  const char* name;
  double hz;
  double amplitude;
  bool loud;  // bands 1 to 3 sum above 0.7
};

TEST_F(SoundTest, StreamedClipsMoveTheLowBandsAsTheBoxPileExpects) {
  const SpectrumRow rows[] = {
      {"full-scale 100 Hz", 100.0, 1.0, true},
      {"100 Hz at -20 dB", 100.0, 0.1, false},
      {"silence", 100.0, 0.0, false},
      {"full-scale 5 kHz", 5000.0, 1.0, false},
  };
  initManual();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FSOUND_STREAM* s = FSOUND_Stream_OpenFile(clip("row.ogg", row.hz, row.amplitude, 1.0).c_str(), 0, 0);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
    pull(kRate / 2);
    const auto bands = spectrumCopy();
    const float sum = bands[3] + bands[2] + bands[1];
    if (row.loud) {
      EXPECT_GT(sum, 0.7f);
    } else {
      EXPECT_LT(sum, 0.7f);
    }
    if (row.amplitude == 0.0) {
      EXPECT_TRUE(allZero(bands));
    }
    if (row.hz > 1000.0) {
      EXPECT_LT(sum, 0.02f);
    }
    ASSERT_NE(FSOUND_Stream_Close(s), 0);
  }
}

TEST_F(SoundTest, StopSilencesAtOnceAndPlayStartsOver) {
  const std::string path = clip("tone.ogg", 100.0, 1.0, 1.0);
  const std::vector<short> reference = test::asStereo(test::decodeOgg(path));
  initManual();
  FSOUND_STREAM* s = FSOUND_Stream_OpenFile(path.c_str(), 0, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
  pull(5000);
  ASSERT_FALSE(allZero(spectrumCopy()));
  ASSERT_NE(FSOUND_Stream_Stop(s), 0);
  EXPECT_TRUE(allZero(spectrumCopy()));
  int delivered = -1;
  pull(100, &delivered);
  EXPECT_EQ(delivered, 0);
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
  const auto restart = pull(2000);
  EXPECT_TRUE(std::equal(restart.begin(), restart.end(), reference.begin()));
}

TEST_F(SoundTest, MonoClipAtAnotherRateIsDuplicatedAndResampled) {
  constexpr int kSourceRate = 22050;
  constexpr double kHz = 441.0;  // 100 output frames per period at 44100
  const std::string path = clip("mono.ogg", kHz, 0.5, 1.0, kSourceRate, 1);
  const DecodedClip source = test::decodeOgg(path);
  ASSERT_EQ(source.channels, 1);

  initManual();
  FSOUND_STREAM* s = FSOUND_Stream_OpenFile(path.c_str(), 0, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
  int delivered = 0;
  const auto out = pull(3 * kRate, &delivered);
  EXPECT_NEAR(delivered, 2 * static_cast<int>(source.samples.size()), 4);

  double errorPower = 0.0;
  double signalPower = 0.0;
  for (int f = 0; f < delivered; ++f) {
    ASSERT_EQ(out[2 * static_cast<size_t>(f)], out[2 * static_cast<size_t>(f) + 1]) << f;
    const double ideal = 0.5 * 32768.0 * std::sin(6.283185307179586 * kHz * f / kRate);
    const double diff = out[2 * static_cast<size_t>(f)] - ideal;
    errorPower += diff * diff;
    signalPower += ideal * ideal;
  }
  EXPECT_LT(errorPower / signalPower, 0.01);  // better than -20 dB against the ideal tone
}

TEST_F(SoundTest, ManualModeOutlivesClose) {
  initManual();
  FSOUND_Close();
  ASSERT_NE(FSOUND_Init(kRate, 32, 0), 0);  // still manual: no device, so no disk file appears
  struct stat info {};
  EXPECT_NE(stat((dir + "/device.raw").c_str(), &info), 0);
}

// ---- Playback through SDL's disk driver: the file is what the device got.

std::vector<short> readDevice(const std::string& path) {
  const std::string bytes = test::readFile(path);
  std::vector<short> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

size_t fileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) : 0;
}

bool waitForSize(const std::string& path, size_t bytes) {
  for (int i = 0; i < 1000 && fileSize(path) < bytes; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return fileSize(path) >= bytes;
}

size_t firstNonZeroFrame(const std::vector<short>& stereo) {
  size_t f = 0;
  while (2 * f + 1 < stereo.size() && stereo[2 * f] == 0 && stereo[2 * f + 1] == 0) ++f;
  return f;
}

TEST_F(SoundTest, DiskDeviceReceivesTheDecodedClip) {
  const std::string path = clip("tone.ogg", 440.0, 0.8, 1.0);
  const std::vector<short> reference = test::asStereo(test::decodeOgg(path));
  const std::string device = dir + "/device.raw";

  ASSERT_NE(FSOUND_Init(kRate, 32, 0), 0) << FSOUND_GetError();
  FSOUND_STREAM* s = FSOUND_Stream_OpenFile(path.c_str(), 0, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
  // With no delay the device writes silence as fast as it can until the stream starts, so on a busy
  // machine the lead can be any length. It is at most what the file held once play returned, plus the
  // buffer then being mixed (well under the second allowed for it here). The wait goes by the file's
  // size, as Windows' writer keeps the file closed to readers while it plays.
  const size_t leadBytesAtMost = fileSize(device) + 4 * kRate;
  ASSERT_TRUE(waitForSize(device, leadBytesAtMost + (reference.size() + 4 * kRate) * 2));
  FSOUND_Close();

  const auto got = readDevice(device);
  // The device may have played silence before the stream started.
  const size_t lead = firstNonZeroFrame(got) - firstNonZeroFrame(reference);
  ASSERT_LE(2 * lead + reference.size(), got.size());
  EXPECT_TRUE(std::equal(reference.begin(), reference.end(), got.begin() + static_cast<long>(2 * lead)));
  for (size_t i = 2 * lead + reference.size(); i < got.size(); ++i) ASSERT_EQ(got[i], 0) << i;
}

TEST_F(SoundTest, StopEndsPlaybackOnTheDiskDevice) {
  // About one buffer per real buffer time, so that stop lands mid-clip.
  test::setVariable("SDL_DISKAUDIODELAY", "20");
  const std::string path = clip("bass.ogg", 100.0, 1.0, 4.0);
  const std::vector<short> reference = test::asStereo(test::decodeOgg(path));
  const std::string device = dir + "/device.raw";

  ASSERT_NE(FSOUND_Init(kRate, 32, 0), 0) << FSOUND_GetError();
  ASSERT_NE(FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1), 0);
  FSOUND_STREAM* s = FSOUND_Stream_OpenFile(path.c_str(), 0, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
  const size_t atPlay = fileSize(device);  // the silence before play, however long a busy machine made it
  ASSERT_TRUE(waitForSize(device, atPlay + static_cast<size_t>(kRate) * 4 / 2));  // half a second played
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  const auto playing = spectrumCopy();
  EXPECT_GT(playing[1] + playing[2] + playing[3], 0.7f);  // published from the audio thread

  ASSERT_NE(FSOUND_Stream_Stop(s), 0);
  EXPECT_TRUE(allZero(spectrumCopy()));
  const size_t atStop = fileSize(device);
  ASSERT_TRUE(waitForSize(device, atStop + 8 * 1024 * 4));  // several more buffers
  FSOUND_Close();

  const auto got = readDevice(device);
  const size_t lead = firstNonZeroFrame(got) - firstNonZeroFrame(reference);
  size_t matched = 0;  // frames of the clip that reached the device
  while (2 * (lead + matched) + 1 < got.size() && 2 * matched + 1 < reference.size() &&
         got[2 * (lead + matched)] == reference[2 * matched] &&
         got[2 * (lead + matched) + 1] == reference[2 * matched + 1]) {
    ++matched;
  }
  EXPECT_GT(matched, static_cast<size_t>(kRate / 4));
  EXPECT_LT(matched, reference.size() / 2 / 2);  // stopped well before the clip's end
  for (size_t i = 2 * (lead + matched); i < got.size(); ++i) ASSERT_EQ(got[i], 0) << i;
}

}  // namespace
}  // namespace vorn
