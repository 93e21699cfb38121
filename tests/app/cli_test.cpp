// The program end to end: options, offline capture to PNGs and video, shots
// equal to capture frames, the benchmark table, and failures that leave
// nothing behind. Runs the built program in the run directory.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

using test::ProgramRun;
using test::runProgram;

// Width and height from a PNG's IHDR chunk.
std::pair<int, int> pngSize(const std::string& bytes) {
  if (bytes.size() < 24) return {0, 0};
  auto be = [&](size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  return {be(16), be(20)};
}

int countFrames(const std::string& dir) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().rfind("frame-", 0) == 0) ++n;
  return n;
}

TEST(Cli, BadOptionsExitTwoWithOneLineAndUsage) {
  const ProgramRun r = runProgram("--fps 0 --benchmark");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("vorndemo: --fps", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("usage:"), std::string::npos);
  EXPECT_TRUE(r.out.empty());
}

TEST(Cli, HelpAndVersion) {
  const ProgramRun help = runProgram("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--capture PATH"), std::string::npos);
  const ProgramRun version = runProgram("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("vorndemo ", 0), 0u);
}

TEST(Cli, NoDisplayIsOneClearLineAndStatusOne) {
  const ProgramRun r = runProgram("--benchmark --fps 1", "DISPLAY=:4093");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
}

TEST(Cli, CaptureToDirectoryIsCompleteAndRepeatable) {
  const std::string dir = test::scratchDir();
  const std::string a = dir + "/a";
  const std::string b = dir + "/b";
  const ProgramRun first = runProgram("--capture " + a + " --fps 10 --from 0 --to 1");
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(countFrames(a), 11);
  EXPECT_EQ(pngSize(test::readFile(a + "/frame-000000.png")), std::make_pair(800, 600));
  EXPECT_EQ(pngSize(test::readFile(a + "/frame-000010.png")), std::make_pair(800, 600));
  // 11 frames own 1.1 s of 16-bit stereo music at 44.1 kHz, after a 44-byte header.
  EXPECT_EQ(test::readFile(a + "/music.wav").size(), 44u + 48510u * 4u);

  const ProgramRun second = runProgram("--capture " + b + " --fps 10 --from 0 --to 1");
  ASSERT_EQ(second.status, 0) << second.err;
  for (const auto& e : fs::directory_iterator(a)) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(test::readFile(e.path().string()) == test::readFile(b + "/" + name)) << name << " differs";
  }
}

TEST(Cli, ShotEqualsTheMatchingCaptureFrame) {
  const std::string dir = test::scratchDir();
  const ProgramRun capture = runProgram("--capture " + dir + "/frames --fps 10 --from 106 --to 107.5");
  ASSERT_EQ(capture.status, 0) << capture.err;
  const ProgramRun shot = runProgram("--shot 107.5 " + dir + "/shot.png --fps 10");
  ASSERT_EQ(shot.status, 0) << shot.err;
  const std::string shotBytes = test::readFile(dir + "/shot.png");
  EXPECT_FALSE(shotBytes.empty());
  EXPECT_TRUE(shotBytes == test::readFile(dir + "/frames/frame-000015.png")) << "the shot differs from the capture";
}

TEST(Cli, CaptureToVideoHasPictureAndMusic) {
  const std::string dir = test::scratchDir();
  const ProgramRun r = runProgram("--capture " + dir + "/clip.mp4 --fps 10 --from 23 --to 24");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(dir + "/clip.mp4\n"), std::string::npos) << "the path is printed at the end";
  const std::string probe = dir + "/probe.txt";
  const std::string command = "ffprobe -v error -show_entries stream=codec_type,width,height,duration -of csv=p=0 " +
                              dir + "/clip.mp4 > " + probe;
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string streams = test::readFile(probe);
  EXPECT_NE(streams.find("video,800,600"), std::string::npos) << streams;
  EXPECT_NE(streams.find("audio"), std::string::npos) << streams;
  double videoSeconds = 0.0, audioSeconds = 0.0;
  std::istringstream lines(streams);
  for (std::string line; std::getline(lines, line);) {
    const double d = std::atof(line.substr(line.rfind(',') + 1).c_str());
    if (line.rfind("video", 0) == 0) videoSeconds = d;
    if (line.rfind("audio", 0) == 0) audioSeconds = d;
  }
  EXPECT_NEAR(videoSeconds, 1.1, 0.05);
  EXPECT_NEAR(audioSeconds, 1.1, 0.1);
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(e.path().string().find(".partial"), std::string::npos) << "left behind: " << e.path();
}

TEST(Cli, CaptureFailuresLeaveNothingThatLooksComplete) {
  const std::string dir = test::scratchDir();
  test::writeFile(dir + "/file", "x");
  const ProgramRun unwritable = runProgram("--capture " + dir + "/file/clip.mp4 --fps 10 --from 0 --to 0.5");
  EXPECT_NE(unwritable.status, 0);
  EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos) << unwritable.err;

  const ProgramRun noEncoder =
      runProgram("--capture " + dir + "/clip.mkv --fps 10 --from 0 --to 0.5", "PATH=/nonexistent");
  EXPECT_NE(noEncoder.status, 0);
  EXPECT_NE(noEncoder.err.find("ffmpeg was not found"), std::string::npos) << noEncoder.err;

  fs::create_directories(dir + "/bin");
  test::writeFile(dir + "/bin/ffmpeg", "#!/bin/sh\nexit 3\n");
  fs::permissions(dir + "/bin/ffmpeg", fs::perms::owner_all);
  const ProgramRun failing =
      runProgram("--capture " + dir + "/bad.mp4 --fps 10 --from 0 --to 0.5", "PATH=" + dir + "/bin:$PATH");
  EXPECT_NE(failing.status, 0);
  EXPECT_NE(failing.err.find("ffmpeg"), std::string::npos) << failing.err;

  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name == "file" || name == "bin") << "left behind: " << name;
  }
}

// From a folder without the show's files: the build tree's run folder, a
// moved install's share/vorndemo, and --data ahead of both; the shot always
// lands in the folder the program was started from.
TEST(Cli, FindsTheShowFromAnyFolder) {
  const std::string dir = test::scratchDir();
  const std::string user = dir + "/user";
  fs::create_directories(user);
  const std::string shot = "--shot 3 here.png --fps 1";
  const ProgramRun reference = runProgram("--shot 3 '" + dir + "/reference.png' --fps 1");
  ASSERT_EQ(reference.status, 0) << reference.err;
  const std::string expected = test::readFile(dir + "/reference.png");

  const ProgramRun build = runProgram(shot, "", user);
  ASSERT_EQ(build.status, 0) << build.err;
  EXPECT_TRUE(test::readFile(user + "/here.png") == expected) << "the build tree's run folder was not used";
  fs::remove(user + "/here.png");

  // A copy of the program with nothing beside it looks nowhere else.
  const std::string moved = dir + "/prefix/bin/vorndemo";
  fs::create_directories(dir + "/prefix/bin");
  fs::copy_file(VORN_PROGRAM, moved);
  const ProgramRun nowhere = runProgram(shot, "", user, moved);
  EXPECT_EQ(nowhere.status, 1);
  EXPECT_EQ(std::count(nowhere.err.begin(), nowhere.err.end(), '\n'), 1) << nowhere.err;
  for (const std::string& place : {user, dir + "/prefix/bin", dir + "/prefix/share/vorndemo"})
    EXPECT_NE(nowhere.err.find(place), std::string::npos) << place << " is not named: " << nowhere.err;
  EXPECT_FALSE(fs::exists(user + "/here.png"));

  fs::create_directories(dir + "/prefix/share");
  fs::create_directory_symlink(std::string(VORN_BINARY_DIR) + "/run", dir + "/prefix/share/vorndemo");
  const ProgramRun installed = runProgram(shot, "", user, moved);
  ASSERT_EQ(installed.status, 0) << installed.err;
  EXPECT_TRUE(test::readFile(user + "/here.png") == expected) << "the install's share/vorndemo was not used";

  // --data comes before the run folder: its empty scenes/ is the show's, and
  // each missing file is reported as in any damaged run folder.
  fs::create_directories(dir + "/data/scenes");
  const ProgramRun data = runProgram("--shot 3 data.png --fps 1 --data ../data", "", user);
  EXPECT_EQ(data.status, 0) << data.err;
  EXPECT_NE(data.err.find("scenes/karhu.3ds"), std::string::npos) << data.err;
  EXPECT_TRUE(fs::exists(user + "/data.png"));
}

TEST(Cli, BenchmarkPrintsARowPerEntry) {
  const ProgramRun r = runProgram("--benchmark --fps 1");
  ASSERT_EQ(r.status, 0) << r.err;
  for (int i = 0; i < 13; ++i) {
    const std::string row = "\n" + std::string(i < 10 ? "    " : "   ") + std::to_string(i) + "  ";
    EXPECT_NE(r.out.find(row), std::string::npos) << "no row for entry " << i << "\n" << r.out;
  }
  EXPECT_NE(r.out.find("start-up"), std::string::npos);
  EXPECT_NE(r.out.find("peak resident memory"), std::string::npos);
}

}  // namespace
}  // namespace vorn
