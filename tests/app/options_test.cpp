// Command-line parsing: what is accepted, with which values, and what is refused.
#include "app/options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace vorn {
namespace {

ParsedOptions parse(std::vector<std::string> args) {
  std::vector<const char*> argv{"vorndemo"};
  for (const auto& a : args) argv.push_back(a.c_str());
  return parseOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(Options, NoArgumentsIsTheShowAsSpecified) {
  const auto r = parse({});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.options.mode, RunMode::Show);
  EXPECT_FALSE(r.options.window);
  EXPECT_FALSE(r.options.loop);
  EXPECT_EQ(r.options.start, 0.0f);
}

struct Accepted {
  const char* name;
  std::vector<std::string> args;
  RunMode mode;
  int fps;
  float from, to;
  std::string path;
};

class OptionsAccepted : public ::testing::TestWithParam<Accepted> {};

TEST_P(OptionsAccepted, Parses) {
  const auto& c = GetParam();
  const auto r = parse(c.args);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.mode, c.mode);
  EXPECT_EQ(r.options.fps, c.fps);
  EXPECT_EQ(r.options.from, c.from);
  EXPECT_EQ(r.options.to, c.to);
  EXPECT_EQ(r.options.path, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OptionsAccepted,
    ::testing::Values(
        Accepted{"capture_defaults", {"--capture", "out.mp4"}, RunMode::Capture, 60, 0.0f, 176.0f, "out.mp4"},
        Accepted{"capture_any_order",
                 {"--to", "2", "--fps", "10", "--capture", "frames", "--from", "1"},
                 RunMode::Capture,
                 10,
                 1.0f,
                 2.0f,
                 "frames"},
        Accepted{"capture_single_instant",
                 {"--capture", "d", "--from", "5", "--to", "5"},
                 RunMode::Capture,
                 60,
                 5.0f,
                 5.0f,
                 "d"},
        Accepted{"shot", {"--shot", "120.5", "x.png"}, RunMode::Shot, 60, 0.0f, 176.0f, "x.png"},
        Accepted{"shot_fps_first", {"--fps", "24", "--shot", "0", "x.png"}, RunMode::Shot, 24, 0.0f, 176.0f, "x.png"},
        Accepted{"benchmark_default_30", {"--benchmark"}, RunMode::Benchmark, 30, 0.0f, 176.0f, ""},
        Accepted{"benchmark_fps", {"--benchmark", "--fps", "5"}, RunMode::Benchmark, 5, 0.0f, 176.0f, ""},
        Accepted{"help", {"--help"}, RunMode::Help, 60, 0.0f, 176.0f, ""},
        Accepted{"version", {"--version"}, RunMode::Version, 60, 0.0f, 176.0f, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Options, LiveShowFlags) {
  const auto r = parse({"--loop", "--start", "96", "--window"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.mode, RunMode::Show);
  EXPECT_TRUE(r.options.window);
  EXPECT_TRUE(r.options.loop);
  EXPECT_EQ(r.options.start, 96.0f);
  EXPECT_TRUE(r.options.vsync);
}

TEST(Options, WindowSizeAndVsync) {
  const auto r = parse({"--size", "1000x500", "--no-vsync"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.options.window) << "a size means a window";
  EXPECT_EQ(r.options.windowWidth, 1000);
  EXPECT_EQ(r.options.windowHeight, 500);
  EXPECT_FALSE(r.options.vsync);
}

TEST(Options, DataFolderWithAnyMode) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--data", "d"}, std::vector<std::string>{"--shot", "1", "a.png", "--data", "d"}}) {
    const auto r = parse(args);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.options.dataDir, "d");
  }
}

// Every long option named in the help, and only those, has an entry (a tag
// line after .TP) in the manual page.
TEST(Options, ManualPageHasAnEntryForEveryOptionOfTheHelp) {
  const std::regex option("--[a-z][a-z-]*");
  auto options = [&](const std::string& text) {
    std::set<std::string> found;
    for (std::sregex_iterator i(text.begin(), text.end(), option), end; i != end; ++i) found.insert(i->str());
    return found;
  };
  std::ifstream manual(VORN_MANUAL);
  ASSERT_TRUE(manual) << VORN_MANUAL;
  std::string tags;
  for (std::string line, previous; std::getline(manual, line); previous = line)
    if (previous == ".TP" && line.rfind(".B vorndemo", 0) != 0) tags += line + "\n";
  tags = std::regex_replace(tags, std::regex(R"(\\-)"), "-");
  EXPECT_EQ(options(tags), options(usageText()));
}

struct Refused {
  const char* name;
  std::vector<std::string> args;
  const char* mentions;  // a word the one-line message must contain
};

class OptionsRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(OptionsRefused, SaysWhatIsWrong) {
  const auto& c = GetParam();
  const auto r = parse(c.args);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(c.mentions), std::string::npos) << r.error;
  EXPECT_EQ(r.error.find('\n'), std::string::npos) << "one line only";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OptionsRefused,
    ::testing::Values(
        Refused{"unknown_flag", {"--fullscreen"}, "--fullscreen"}, Refused{"stray_word", {"play"}, "play"},
        Refused{"fps_zero", {"--benchmark", "--fps", "0"}, "--fps"},
        Refused{"fps_word", {"--benchmark", "--fps", "abc"}, "--fps"},
        Refused{"fps_fraction", {"--benchmark", "--fps", "2.5"}, "--fps"},
        Refused{"fps_missing", {"--benchmark", "--fps"}, "--fps"}, Refused{"fps_live", {"--fps", "30"}, "--fps"},
        Refused{"from_after_to", {"--capture", "d", "--from", "20", "--to", "10"}, "--from"},
        Refused{"time_negative", {"--start", "-1"}, "--start"},
        Refused{"time_past_end", {"--capture", "d", "--to", "176.5"}, "--to"},
        Refused{"time_word", {"--shot", "soon", "a.png"}, "--shot"}, Refused{"time_nan", {"--start", "nan"}, "--start"},
        Refused{"shot_needs_png", {"--shot", "10", "a.jpg"}, "--shot"},
        Refused{"shot_missing_path", {"--shot", "10"}, "--shot"},
        Refused{"capture_missing_path", {"--capture"}, "--capture"},
        Refused{"two_modes", {"--benchmark", "--capture", "x.mp4"}, "--capture"},
        Refused{"range_without_capture", {"--benchmark", "--from", "3"}, "--from"},
        Refused{"start_offline", {"--capture", "x.mkv", "--start", "3"}, "--start"},
        Refused{"size_without_x", {"--size", "1000"}, "--size"}, Refused{"size_zero", {"--size", "0x500"}, "--size"},
        Refused{"size_trailing", {"--size", "10x10px"}, "--size"},
        Refused{"data_missing_dir", {"--shot", "1", "a.png", "--data"}, "--data"},
        Refused{"size_offline", {"--benchmark", "--size", "640x480"}, "--size"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorn
