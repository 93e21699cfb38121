// The show on real X screens: full screen at the screen's own size with the
// picture in the centred 4:3 rectangle and black around it, a resizable
// window, swap control, and direct drawing without framebuffer objects, with
// the classic SDL 1.2 and with sdl12-compat. Screenshots are compared with
// the program's own shot of the same still moment, scaled.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

#include "app/frame_target.h"
#include "tests/support/x_screen.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStill = "37.5";  // the pig picture: steady between its fade-in and fade-out
constexpr double kPictureSeconds = 180.0;
constexpr double kMaxMismatch = 0.01;  // fraction of channel values off by more than the tolerance
// An unscaled picture must match everywhere within one step: Mesa's software
// rasteriser rounds a few interpolated colours one step differently in the
// off-screen frame than in the window the shot is drawn in.
constexpr int kUnscaled = 1;
constexpr int kScaled = 12;

enum class Library { Classic, Compat };

const char* libraryName(Library l) { return l == Library::Classic ? "classic" : "compat"; }

std::string screenshotDir() {
  const fs::path dir = fs::temp_directory_path() / "vorn-tests" / "display-screenshots";
  fs::create_directories(dir);
  return dir.string();
}

// The command that runs the program with the given library; empty (and
// `why` set) when sdl12-compat cannot be had.
std::string programCommand(Library library, const std::string& env, const std::string& args, std::string& why) {
  std::string prefix;
  if (library == Library::Compat) {
    const std::string script = std::string(VORN_SCRIPTS) + "/with-sdl12-compat.sh";
    const std::string dir = std::string("VORN_SDL12COMPAT_DIR=") + VORN_BINARY_DIR + "/sdl12-compat";
    const int status = std::system((dir + " " + script + " true").c_str());
    if (status != 0) {
      why = "sdl12-compat packages could not be downloaded (with-sdl12-compat.sh said so)";
      return {};
    }
    prefix = dir + " " + script + " ";
  }
  return "SDL_AUDIODRIVER=dummy VORN_TEST_DISPLAY_REPORT=1 " + env + " " + prefix + VORN_PROGRAM + " " + args;
}

// The program's own 800 x 600 frame at the still moment, made once in each
// test process, in a file of the process's own: ctest runs the cases side by
// side, and a shared file could be read while another case rewrote it.
const test::Image& referenceFrame() {
  static test::Image frame;
  if (frame.empty()) {
    test::XServer server(800, 600);
    const std::string path = screenshotDir() + "/shot-" + kStill + "-" + std::to_string(getpid()) + ".png";
    test::ProgramProcess shot(server,
                              std::string("SDL_AUDIODRIVER=dummy ") + VORN_PROGRAM + " --shot " + kStill + " " + path);
    for (int i = 0; i < kPictureSeconds * 5 && shot.running(); ++i) usleep(200000);
    frame = test::readImagePng(path);
    std::error_code ignored;
    fs::remove(path, ignored);
  }
  return frame;
}

// Checks that the picture fills exactly `expected` (image coordinates, origin
// top left), that everything else is black, and that it is the reference
// frame scaled within `tolerance`; saves the screenshot under `name`.
void expectPicture(const test::Image& shown, const PictureRect& expected, int tolerance, const std::string& name) {
  ASSERT_FALSE(shown.empty()) << "no screenshot";
  test::writeImagePng(screenshotDir() + "/" + name + ".png", shown);
  const test::Box box = test::brightBox(shown, 0);
  EXPECT_EQ(box.x, expected.x) << name;
  EXPECT_EQ(box.y, expected.y) << name;
  EXPECT_EQ(box.width, expected.width) << name;
  EXPECT_EQ(box.height, expected.height) << name;
  const test::Image& frame = referenceFrame();
  ASSERT_FALSE(frame.empty()) << "no reference shot";
  EXPECT_LE(test::scaledMismatch(shown, box, frame, tolerance), tolerance <= kUnscaled ? 0.0 : kMaxMismatch) << name;
}

TEST(FitPicture, LargestCentredRectangleOfTheFramesAspect) {
  struct Row {
    const char* name;
    int windowWidth, windowHeight;
    PictureRect want;
  };
  const Row rows[] = {
      {"wide screen", 1920, 1080, {240, 0, 1440, 1080}}, {"5:4 screen", 1280, 1024, {0, 32, 1280, 960}},
      {"same size", 800, 600, {0, 0, 800, 600}},         {"2:1 window, side rounded up", 1000, 500, {166, 0, 667, 500}},
      {"tall window", 800, 900, {0, 150, 800, 600}},     {"empty window", 0, 0, {0, 0, 0, 0}},
  };
  for (const Row& r : rows) EXPECT_EQ(fitPicture(r.windowWidth, r.windowHeight, 800, 600), r.want) << r.name;
}

struct ScreenCase {
  int width, height;
  PictureRect picture;  // image coordinates
  int tolerance;        // per channel value
  Library library;
};

class FullScreen : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(FullScreen, PictureFillsTheCentredFourByThreeAreaWithBlackAround) {
  const ScreenCase& c = GetParam();
  std::string why;
  const std::string command = programCommand(c.library, std::string("VORN_TEST_STILL=") + kStill, "", why);
  if (command.empty()) GTEST_SKIP() << why;
  test::XServer server(c.width, c.height);
  ASSERT_TRUE(server.ok()) << "Xvfb did not start";
  test::ProgramProcess program(server, command);
  const test::Image shown =
      test::waitForSteadyPicture([&] { return server.grabRoot(); }, c.picture.width, c.picture.height, kPictureSeconds);
  EXPECT_NE(program.errors().find("display " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                                  ", frame 800x600 off screen"),
            std::string::npos)
      << program.errors();
  EXPECT_NE(program.errors().find("swap control asked 1"), std::string::npos) << program.errors();
  expectPicture(shown, c.picture, c.tolerance,
                std::string("fullscreen-") + libraryName(c.library) + "-" + std::to_string(c.width) + "x" +
                    std::to_string(c.height));
}

INSTANTIATE_TEST_SUITE_P(Screens, FullScreen,
                         ::testing::Values(ScreenCase{1920, 1080, {240, 0, 1440, 1080}, kScaled, Library::Classic},
                                           ScreenCase{1280, 1024, {0, 32, 1280, 960}, kScaled, Library::Classic},
                                           ScreenCase{800, 600, {0, 0, 800, 600}, kUnscaled, Library::Classic},
                                           ScreenCase{1920, 1080, {240, 0, 1440, 1080}, kScaled, Library::Compat},
                                           ScreenCase{1280, 1024, {0, 32, 1280, 960}, kScaled, Library::Compat},
                                           ScreenCase{800, 600, {0, 0, 800, 600}, kUnscaled, Library::Compat}),
                         [](const auto& info) {
                           return std::string(libraryName(info.param.library)) + "_" +
                                  std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

class ResizableWindow : public ::testing::TestWithParam<Library> {};

TEST_P(ResizableWindow, PictureKeepsItsAspectAndFollowsAResize) {
  std::string why;
  const std::string command =
      programCommand(GetParam(), std::string("VORN_TEST_STILL=") + kStill, "--window --size 1000x500 --no-vsync", why);
  if (command.empty()) GTEST_SKIP() << why;
  test::XServer server(1280, 1024);
  ASSERT_TRUE(server.ok()) << "Xvfb did not start";
  test::ProgramProcess program(server, command);
  const std::string name = std::string("window-") + libraryName(GetParam());
  auto grab = [&] { return server.grabTopWindow(); };
  const test::Image first = test::waitForSteadyPicture(grab, 667, 500, kPictureSeconds);
  EXPECT_EQ(first.width, 1000);
  EXPECT_EQ(first.height, 500);
  expectPicture(first, {166, 0, 667, 500}, kScaled, name + "-1000x500");
  EXPECT_NE(program.errors().find("swap control asked 0"), std::string::npos) << program.errors();

  ASSERT_TRUE(server.resizeTopWindow(800, 760));  // still on the screen wherever the window was placed
  EXPECT_TRUE(program.waitForError("display 800x760", 30.0)) << program.errors();
  const test::Image resized = test::waitForSteadyPicture(grab, 800, 600, kPictureSeconds);
  EXPECT_EQ(resized.width, 800);
  EXPECT_EQ(resized.height, 760);
  expectPicture(resized, {0, 80, 800, 600}, kUnscaled, name + "-800x760");
  EXPECT_EQ(program.errors().find("GL context was replaced"), std::string::npos) << program.errors();
}

INSTANTIATE_TEST_SUITE_P(Libraries, ResizableWindow, ::testing::Values(Library::Classic, Library::Compat),
                         [](const auto& info) { return std::string(libraryName(info.param)); });

TEST(NoFramebufferObjects, SaysSoOnceAndDrawsStraightAt800x600) {
  std::string why;
  const std::string command =
      programCommand(Library::Classic, std::string("VORN_TEST_NO_FBO=1 VORN_TEST_STILL=") + kStill, "", why);
  test::XServer server(800, 600);
  ASSERT_TRUE(server.ok()) << "Xvfb did not start";
  test::ProgramProcess program(server, command);
  const test::Image shown = test::waitForSteadyPicture([&] { return server.grabRoot(); }, 800, 600, kPictureSeconds);
  const std::string errors = program.errors();
  const std::string line = "drawing straight into an 800x600 full-screen mode";
  ASSERT_NE(errors.find(line), std::string::npos) << errors;
  EXPECT_EQ(errors.find(line), errors.rfind(line)) << "said more than once";
  EXPECT_NE(errors.find("frame 800x600 direct"), std::string::npos) << errors;
  expectPicture(shown, {0, 0, 800, 600}, 0, "no-fbo-800x600");  // drawn like the shot: exact
}

}  // namespace
}  // namespace vorn
