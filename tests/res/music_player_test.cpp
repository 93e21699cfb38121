// MusicPlayer: its lines on standard output, its state after each failure,
// its error texts, and playback through the library (disk driver or manual mode).
#include "res/music_player.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/sound.h"
#include "tests/audio_support/ogg_clip.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

constexpr int kRate = 44100;

class MusicPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::scratchDir();
    test::setVariable("SDL_AUDIODRIVER", "disk");
    test::setVariable("SDL_DISKAUDIOFILE", dir + "/device.raw");
    test::setVariable("SDL_DISKAUDIODELAY", "10");
    music = dir + "/music.ogg";
    ASSERT_TRUE(test::writeOggClip(music, test::sineClip(100.0, 1.0, 2.0, kRate, 2), 2, kRate));
  }
  void TearDown() override {
    FSOUND_Close();
    sound::setManualMode(false);
  }

  // True when the library is closed: a real file cannot be opened.
  bool libraryClosed() {
    return FSOUND_Stream_OpenFile(music.c_str(), 0, 0) == nullptr && FSOUND_GetError() == FMOD_ERR_UNINITIALIZED;
  }

  std::string dir;
  std::string music;
};

struct FailureRow {
  const char* name;
  const char* driver;
  const char* file;      // under the scratch folder
  const char* fileText;  // written there when not null
  const char* expectedOutput;
};

TEST_F(MusicPlayerTest, FailuresPrintTheirLinesCloseTheLibraryAndLeaveSilence) {
  const FailureRow rows[] = {
      {"missing file", "disk", "absent.ogg", nullptr, "Error!\nFile not found\n"},
      {"text file named .ogg", "disk", "notes.ogg", "not a vorbis stream\n", "Error!\nUnknown file format\n"},
      {"audio driver that cannot open", "nosuchdriver", "music.ogg", nullptr,
       "Could not initialize ludrasound\nError!\nError initializing output device.\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::setVariable("SDL_AUDIODRIVER", row.driver);
    const std::string path = dir + "/" + row.file;
    if (row.fileText) test::writeFile(path, row.fileText);

    testing::internal::CaptureStdout();
    {
      MusicPlayer player(kRate);
      EXPECT_EQ(player.open(path.c_str()), 1);
      EXPECT_EQ(player.stream, nullptr);
      test::setVariable("SDL_AUDIODRIVER", "disk");
      EXPECT_TRUE(libraryClosed());
      player.play();
      EXPECT_EQ(player.playing, 0);
      player.stop();
      EXPECT_EQ(player.playing, 0);
      const float* s = MusicPlayer::spectrum();
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s[1] + s[2] + s[3], 0.0f);
    }  // destruction closes the closed library again
    EXPECT_EQ(testing::internal::GetCapturedStdout(), row.expectedOutput);
  }
}

TEST_F(MusicPlayerTest, FailedInitKeepsThePlayerUsableAndSilent) {
  test::setVariable("SDL_AUDIODRIVER", "nosuchdriver");
  testing::internal::CaptureStdout();
  MusicPlayer player(kRate);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not initialize ludrasound\n");
  EXPECT_EQ(player.initialised, 0);
  EXPECT_EQ(player.mixRate, kRate);
  EXPECT_EQ(player.sampleCount, 0);
  player.play();
  EXPECT_EQ(player.playing, 0);
}

TEST_F(MusicPlayerTest, PlaysStopsAndClosesOnTheDiskDevice) {
  const std::string device = dir + "/device.raw";
  testing::internal::CaptureStdout();
  {
    MusicPlayer player(kRate);
    EXPECT_EQ(player.initialised, 1);
    ASSERT_EQ(player.open(music.c_str()), 0);
    ASSERT_NE(player.stream, nullptr);
    player.play();
    EXPECT_EQ(player.playing, 1);

    // The analysis was switched on by the constructor: the bass shows in bands 1 to 3.
    float low = 0.0f;
    for (int i = 0; i < 200 && low <= 0.7f; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      const float* s = MusicPlayer::spectrum();
      low = s[1] + s[2] + s[3];
    }
    EXPECT_GT(low, 0.7f);

    player.stop();
    EXPECT_EQ(player.playing, 0);
    const float* s = MusicPlayer::spectrum();
    EXPECT_EQ(s[1] + s[2] + s[3], 0.0f);
    player.stop();  // twice: nothing more happens
    EXPECT_EQ(player.playing, 0);
    EXPECT_NE(player.stream, nullptr);  // the stream stays open after stop
  }
  EXPECT_TRUE(libraryClosed());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  struct stat info {};
  EXPECT_EQ(stat(device.c_str(), &info), 0);
}

TEST_F(MusicPlayerTest, SpectrumReachesTheCallerThroughPulledOutput) {
  MusicPlayer player(kRate, MusicOutput::Pulled);
  ASSERT_EQ(player.initialised, 1);
  ASSERT_EQ(player.open(music.c_str()), 0);
  player.play();
  ASSERT_EQ(player.playing, 1);
  std::vector<int16_t> out(2 * 4096);
  EXPECT_EQ(player.pull(out.data(), 4096), 4096);
  const float* s = MusicPlayer::spectrum();
  EXPECT_GT(s[1] + s[2] + s[3], 0.7f);
  EXPECT_EQ(s, FSOUND_DSP_GetSpectrum());  // one array, owned by the library
}

// Pulled output from sample s after a seek equals the same stretch pulled
// from the start: the seek lands on the exact sample.
TEST_F(MusicPlayerTest, SeekToSampleIsSampleExact) {
  constexpr int kSkip = 12345, kFrames = 1000;
  std::vector<int16_t> whole(2 * (kSkip + kFrames)), tail(2 * kFrames);
  {
    MusicPlayer player(kRate, MusicOutput::Pulled);
    ASSERT_EQ(player.open(music.c_str()), 0);
    player.play();
    ASSERT_EQ(player.pull(whole.data(), kSkip + kFrames), kSkip + kFrames);
  }
  MusicPlayer player(kRate, MusicOutput::Pulled);
  ASSERT_EQ(player.open(music.c_str()), 0);
  player.play();
  player.seekToSample(kSkip);
  ASSERT_EQ(player.pull(tail.data(), kFrames), kFrames);
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), whole.begin() + 2 * kSkip));
}

TEST_F(MusicPlayerTest, DeviceOutputCannotBePulled) {
  MusicPlayer player(kRate);
  ASSERT_EQ(player.open(music.c_str()), 0);
  player.play();
  std::vector<int16_t> out(2 * 64, 7);
  EXPECT_EQ(player.pull(out.data(), 64), 0);
  EXPECT_EQ(std::count(out.begin(), out.end(), 0), 128);
}

TEST(MusicPlayerErrorText, EveryNumberHasItsExactText) {
  const struct {
    int error;
    const char* text;
  } rows[] = {
      {0, "No errors"},
      {1, "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first."},
      {2, "This command failed because FSOUND_Init was not called"},
      {3, "Error initializing output device."},
      {4, "The output device is already in use and cannot be reused."},
      {5, "Playing the sound failed."},
      {6, "Soundcard does not support the features needed for this soundsystem (16bit stereo output)"},
      {7, "Error setting cooperative level for hardware."},
      {8, "Error creating hardware sound buffer."},
      {9, "File not found"},
      {10, "Unknown file format"},
      {11, "Error loading file"},
      {12, "Not enough memory "},
      {13, "The version number of this file format is not supported"},
      {14, "An invalid parameter was passed to this function"},
      {15, "Tried to use an EAX command on a non EAX enabled channel or output."},
      {16, "Failed to allocate a new channel"},
      {17, "Recording not supported on this device"},
      {18, "Required Mediaplayer codec is not installed"},
      {19, "Unknown error"},
      {-1, "Unknown error"},
      {1000000, "Unknown error"},
  };
  for (const auto& row : rows) {
    EXPECT_STREQ(MusicPlayer::errorText(row.error), row.text) << row.error;
  }
}

}  // namespace
}  // namespace vorn
