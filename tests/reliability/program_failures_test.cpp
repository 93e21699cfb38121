// The program end to end when its input or surroundings fail: bad options,
// damaged assets in the run directory, a display without GLX, no audio device (live and captured),
// and a disk that fills up or refuses large files during a capture.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/reliability/damage.h"
#include "tests/support/program_run.h"
#include "tests/support/test_files.h"
#include "tests/support/x_screen.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

using test::ProgramRun;

// Peak of the 16-bit samples after the 44-byte header of our WAV files.
int wavPeak(const std::string& bytes) {
  int peak = 0;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
    const auto s = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  return peak;
}

TEST(ProgramFailures, BadOptionsAreOneLineAndUsageWithStatusTwo) {
  const char* const rows[] = {
      "--fps",
      "--fps abc",
      "--fps -1",
      "--fps 1e12",
      "--fps nan",
      "--fps 0x10",
      "--fps 2147483648",
      "--start nan",
      "--start -1",
      "--start inf",
      "--start 1e40",
      "--capture",
      "--capture ''",
      "--shot",
      "--shot 1",
      "--shot nan x.png",
      "--shot 1e30 x.png",
      "--to 1e308 --capture x",
      "--from -5 --capture x",
      "--from 10 --to 5 --capture x",
      "--start 5 --capture x",
      "--loop --capture x",
      "--bogus",
  };
  const std::string dir = test::scratchDir();
  for (const char* args : rows) {
    SCOPED_TRACE(args);
    const ProgramRun r = test::runProgram(args, "", dir);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err.rfind("vorndemo: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  EXPECT_FALSE(fs::exists(dir + "/x")) << "a refused capture wrote something";
}

TEST(ProgramFailures, DamagedAssetsAreNamedOnceEachAndTheShowGoesOn) {
  const std::string dir = test::scratchDir();
  fs::copy(test::runDir() + "/scenes", dir + "/scenes");
  const std::string model = test::readFile(dir + "/scenes/karhu.3ds");
  ASSERT_GT(model.size(), 100u);
  test::writeFile(dir + "/scenes/karhu.3ds", model.substr(0, model.size() / 2));
  test::makeDamaged(test::readFile(dir + "/scenes/vornlogo.png"), {"random", test::Damage::RandomBytes, 0, 3, true},
                    dir + "/scenes/vornlogo.png");
  fs::remove(dir + "/scenes/sika.png");
  // No vorndemo.ogg at all.

  const ProgramRun r = test::runProgram("--shot 30 shot.png --fps 5", "SDL_AUDIODRIVER=dummy", dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_GT(test::readFile(dir + "/shot.png").size(), 1000u);
  EXPECT_EQ(r.out.rfind("Error!\nFile not found\n", 0), 0u) << r.out;
  for (const char* name : {"scenes/karhu.3ds", "scenes/vornlogo.png", "scenes/sika.png", "vorndemo.ogg"}) {
    const size_t first = r.err.find(name);
    EXPECT_NE(first, std::string::npos) << name << " is not named:\n" << r.err;
    if (first == std::string::npos) continue;
    EXPECT_EQ(r.err.find(name, first + 1), std::string::npos) << name << " is named twice:\n" << r.err;
  }
}

TEST(ProgramFailures, ADisplayWithoutGlxIsOneLineAndStatusOne) {
  const test::XServer server(800, 600, false);
  ASSERT_TRUE(server.ok()) << "Xvfb did not start";
  const std::string dir = test::runDir();
  const std::string out = test::scratchDir() + "/shot.png";
  const ProgramRun r =
      test::runProgram("--shot 1 '" + out + "'", "SDL_AUDIODRIVER=dummy DISPLAY=" + server.name(), dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(test::lineCount(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("OpenGL"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out));
}

TEST(ProgramFailures, NoAudioDeviceGivesTheMessageAndASilentShowToItsEnd) {
  const ProgramRun r = test::runProgram("--window --start 174.5", "SDL_AUDIODRIVER=nosuchdriver", test::runDir());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Could not initialize ludrasound\nError!\nError initializing output device.\n");
  EXPECT_GE(r.seconds, 1.4) << "the show did not run on to 176 s";
}

TEST(ProgramFailures, CaptureWithoutAudioDeviceStillTakesTheMusicFromTheFile) {
  const std::string dir = test::scratchDir();
  const ProgramRun r = test::runProgram("--capture '" + dir + "/frames' --fps 5 --from 100 --to 101",
                                        "SDL_AUDIODRIVER=nosuchdriver", test::runDir());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_GT(wavPeak(test::readFile(dir + "/frames/music.wav")), 1000);
}

struct DiskRow {
  const char* name;
  const char* target;  // under the scratch folder
};

const DiskRow kDiskRows[] = {
    {"frames and music.wav", "out/frames"},
    {"video", "out/clip.mp4"},
};

// A capture whose writes fail leaves a non-zero status, one reason, and no
// frames, music or video behind.
void expectCleanFailure(const ProgramRun& r, const std::string& outDir) {
  EXPECT_NE(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("vorndemo: "), std::string::npos) << r.err;
  if (!fs::exists(outDir)) return;
  for (const auto& e : fs::recursive_directory_iterator(outDir)) {
    const std::string name = e.path().filename().string();
    EXPECT_FALSE(name.rfind("frame-", 0) == 0 || name == "music.wav" || name == "clip.mp4" ||
                 name.find(".partial") != std::string::npos)
        << "left behind: " << e.path();
  }
}

TEST(ProgramFailures, CaptureHittingTheFileSizeLimitFailsCleanly) {
  for (const DiskRow& row : kDiskRows) {
    SCOPED_TRACE(row.name);
    const std::string dir = test::scratchDir();
    fs::create_directories(dir + "/out");
    // Writes past 64 KiB fail with EFBIG once SIGXFSZ is ignored, for the
    // program and the ffmpeg it starts.
    const ProgramRun r = test::runProgram(
        "--capture '" + dir + "/" + row.target + "' --fps 5 --from 0 --to 3",
        "SDL_AUDIODRIVER=dummy bash -c 'trap \"\" XFSZ; ulimit -f 64; exec \"$0\" \"$@\"'", test::runDir());
    expectCleanFailure(r, dir + "/out");
  }
}

TEST(ProgramFailures, CaptureOntoAFullDiskFailsCleanly) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root; the file-size limit test covers EFBIG";
  for (const DiskRow& row : kDiskRows) {
    SCOPED_TRACE(row.name);
    const std::string dir = test::scratchDir();
    const std::string disk = dir + "/out";
    fs::create_directories(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    const ProgramRun r = test::runProgram("--capture '" + dir + "/" + row.target + "' --fps 5 --from 0 --to 3",
                                          "SDL_AUDIODRIVER=dummy", test::runDir());
    expectCleanFailure(r, disk);
    EXPECT_EQ(umount(disk.c_str()), 0) << std::strerror(errno);
  }
}

}  // namespace
}  // namespace vorn
