// The PNG writer: every layout decodes back to the samples it was given, rows
// read back from GL land top first, and what cannot be written is refused with
// one line naming the file and leaves no file behind.
#include "platform/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace vorn {
namespace {

// Decodes any PNG to 8-bit RGBA, top row first; empty when it cannot.
std::vector<std::uint8_t> decodeRgba(const std::string& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return rgba;
}

PngFormat formatOf(PngColour colour, bool bottomRowFirst = false) {
  PngFormat format;
  format.colour = colour;
  format.bottomRowFirst = bottomRowFirst;
  return format;
}

TEST(PngFile, WrittenSamplesDecodeExactly) {
  PngFormat palette = formatOf(PngColour::Palette);
  palette.palette = {{255, 0, 0, 255}, {0, 0, 255, 64}};
  const struct Row {
    const char* name;
    PngFormat format;
    std::vector<std::uint8_t> samples;  // two pixels wide, two high
    std::vector<std::uint8_t> rgba;     // what decoding gives, top row first
  } rows[] = {
      {"rgba",
       formatOf(PngColour::Rgba),
       {255, 0, 0, 255, 0, 255, 0, 128, 10, 20, 30, 40, 1, 2, 3, 0},
       {255, 0, 0, 255, 0, 255, 0, 128, 10, 20, 30, 40, 1, 2, 3, 0}},
      {"rgb, bottom row first",
       formatOf(PngColour::Rgb, true),
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
       {7, 8, 9, 255, 10, 11, 12, 255, 1, 2, 3, 255, 4, 5, 6, 255}},
      {"palette with a translucent entry",
       palette,
       {0, 1, 1, 0},
       {255, 0, 0, 255, 0, 0, 255, 64, 0, 0, 255, 64, 255, 0, 0, 255}},
  };
  const std::string dir = test::scratchDir();
  for (const Row& row : rows) {
    const std::string path = dir + "/picture.png";
    std::string error;
    ASSERT_TRUE(writePng(path, 2, 2, row.samples, error, row.format)) << row.name << ": " << error;
    int width = 0, height = 0;
    EXPECT_EQ(decodeRgba(path, width, height), row.rgba) << row.name;
    EXPECT_EQ(width, 2) << row.name;
    EXPECT_EQ(height, 2) << row.name;
  }
}

TEST(PngFile, RefusesWhatItCannotWriteAndLeavesNoFile) {
  const std::string dir = test::scratchDir();
  PngFormat palette = formatOf(PngColour::Palette);
  palette.palette = {{0, 0, 0, 255}};
  const struct Row {
    const char* name;
    std::string path;
    int width;
    std::size_t bytes;
    PngFormat format;
  } rows[] = {
      {"missing directory", dir + "/no/such/dir/p.png", 2, 16, {}},
      {"too few samples", dir + "/short.png", 2, 15, {}},
      {"zero width", dir + "/empty.png", 0, 0, {}},
      {"index past the palette", dir + "/palette.png", 2, 4, palette},
      {"directory in place of the file", dir, 2, 16, {}},
  };
  for (const Row& row : rows) {
    // Samples of 1 index past a one-entry palette; for the other rows any value will do.
    std::string error;
    EXPECT_FALSE(writePng(row.path, row.width, 2, std::vector<std::uint8_t>(row.bytes, 1), error, row.format))
        << row.name;
    EXPECT_NE(error.find(row.path), std::string::npos) << row.name << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << row.name;
    if (row.path != dir) {
      EXPECT_FALSE(std::filesystem::exists(row.path)) << row.name;
    }
  }
}

}  // namespace
}  // namespace vorn
