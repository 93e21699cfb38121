// Texture: suffix and existence checks, loading of every PNG layout as its own
// RGBA picture, refused files, creation at a size with its mipmap chain.
#include "res/texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "res/load_queue.h"
#include "tests/res/png_fixture.h"
#include "tests/res/texture_levels.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

using test::Level;
using test::levelCount;
using test::PngLayout;
using test::readLevel;
using test::Rgba8;

struct SuffixRow {
  const char* name;
  const char* path;
  const char* suffix;
  bool expected;
};

TEST(EndsWith, ComparesTheLastBytesCaseSensitively) {
  const SuffixRow rows[] = {
      {"lower-case png", "scenes/logo.png", "png", true},
      {"upper-case PNG", "scenes/logo.PNG", "png", false},
      {"mixed case", "scenes/logo.Png", "png", false},
      {"jpg", "scenes/logo.jpg", "png", false},
      {"no dot needed", "scenes/logopng", "png", true},
      {"path equals suffix", "png", "png", true},
      {"path shorter than suffix", "ng", "png", false},
      {"empty path", "", "png", false},
      {"empty suffix", "anything", "", true},
      {"both empty", "", "", true},
      {"suffix in the middle only", "a.png.bak", "png", false},
  };
  for (const auto& row : rows) EXPECT_EQ(endsWith(row.path, row.suffix), row.expected) << row.name;
}

TEST(FileExists, AnswersWhetherThePathOpensForReading) {
  const std::string dir = test::scratchDir();
  test::writeFile(dir + "/present.png", "x");
  test::writeFile(dir + "/empty.png", "");
  EXPECT_TRUE(fileExists(dir + "/present.png"));
  EXPECT_TRUE(fileExists(dir + "/empty.png"));
  EXPECT_FALSE(fileExists(dir + "/absent.png"));
  EXPECT_FALSE(fileExists(dir + "/no-such-dir/present.png"));
}

class TextureTest : public test::GlTest {};

// Level 0 of the bound texture holds exactly the picture's pixels.
void expectLevelZeroHolds(const test::Picture& pic) {
  const Level level0 = readLevel(0);
  ASSERT_EQ(level0.width, pic.width);
  ASSERT_EQ(level0.height, pic.height);
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x) {
      const Rgba8 want = pic.at(x, y);
      const unsigned char* got = &level0.rgba[(static_cast<size_t>(y) * pic.width + x) * 4];
      ASSERT_TRUE(got[0] == want.r && got[1] == want.g && got[2] == want.b && got[3] == want.a)
          << "texel " << x << "," << y << " is " << int(got[0]) << " " << int(got[1]) << " " << int(got[2]) << " "
          << int(got[3]);
    }
}

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// Draws the texture over the whole window in replace mode, the picture's top
// row at the top of the window.
void drawOverWindow(const Texture& texture) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, 800.0, 600.0, 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  texture.bind();
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(0.0f, 0.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(800.0f, 0.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(800.0f, 600.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(0.0f, 600.0f);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

// Centres of the window quadrants, in the picture's quadrant order TL, TR, BL, BR.
constexpr int kQuadrantCentres[4][2] = {{200, 150}, {600, 150}, {200, 450}, {600, 450}};

void expectQuadrantColours(const Rgba8 (&colours)[4], const std::string& what) {
  for (int q = 0; q < 4; ++q) {
    const test::Rgba p = test::readPixelTop(kQuadrantCentres[q][0], kQuadrantCentres[q][1]);
    const Rgba8 c = colours[q];
    EXPECT_NEAR(p.r, c.r, 2) << what << ", quadrant " << q;
    EXPECT_NEAR(p.g, c.g, 2) << what << ", quadrant " << q;
    EXPECT_NEAR(p.b, c.b, 2) << what << ", quadrant " << q;
  }
}

int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

struct LayoutRow {
  const char* name;
  PngLayout layout;
  Rgba8 colours[4];  // TL, TR, BL, BR as written; also what the texture must hold
};

TEST_F(TextureTest, EveryPngLayoutShowsItsOwnPicture) {
  const LayoutRow rows[] = {
      {"RGBA", PngLayout::Rgba, {{255, 0, 0, 255}, {0, 255, 0, 200}, {0, 0, 255, 100}, {250, 240, 10, 0}}},
      {"RGBA 16-bit", PngLayout::Rgba16, {{200, 10, 20, 255}, {30, 220, 40, 128}, {50, 60, 230, 64}, {128, 128, 0, 1}}},
      {"RGB", PngLayout::Rgb, {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}}},
      {"grey", PngLayout::Grey, {{20, 20, 20, 255}, {90, 90, 90, 255}, {170, 170, 170, 255}, {250, 250, 250, 255}}},
      {"grey with alpha",
       PngLayout::GreyAlpha,
       {{20, 20, 20, 255}, {90, 90, 90, 30}, {170, 170, 170, 0}, {250, 250, 250, 129}}},
      {"palette, opaque",
       PngLayout::Palette,
       {{255, 128, 0, 255}, {0, 128, 255, 255}, {128, 0, 255, 255}, {40, 200, 90, 255}}},
      {"palette, one transparent entry",
       PngLayout::Palette,
       {{255, 128, 0, 255}, {0, 128, 255, 0}, {128, 0, 255, 255}, {40, 200, 90, 255}}},
      {"palette, translucent entries",
       PngLayout::Palette,
       {{255, 128, 0, 255}, {0, 128, 255, 60}, {128, 0, 255, 0}, {40, 200, 90, 180}}},
  };
  const std::string dir = test::scratchDir();
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir + "/layout" + std::to_string(n++) + ".png";
    const test::Picture pic = test::quadrants(8, 8, row.colours[0], row.colours[1], row.colours[2], row.colours[3]);
    ASSERT_TRUE(test::writePng(path, pic, row.layout));

    testing::internal::CaptureStderr();
    Texture texture(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_FALSE(texture.empty());
    EXPECT_EQ(texture.width(), 8);
    EXPECT_EQ(texture.height(), 8);
    EXPECT_FALSE(texture.holdsPixels());
    EXPECT_EQ(static_cast<GLuint>(test::getInteger(GL_TEXTURE_BINDING_2D)), texture.glName()) << "left bound";

    expectLevelZeroHolds(pic);

    glClear(GL_COLOR_BUFFER_BIT);
    drawOverWindow(texture);
    expectQuadrantColours(row.colours, row.name);
    if (n == 1) test::saveBackBuffer((dir + "/rgba-drawn.png").c_str());
  }
}

// The end chunk (length, "IEND", checksum) closes every PNG; the image data's
// single chunk ends right before it, with its own 4-byte checksum.
constexpr size_t kEndChunkBytes = 12;

struct RefusedRow {
  const char* name;
  const char* file;
  enum { ValidPng, Missing, Junk, Truncated, ImageDataCut, ImageDataCrc, Directory } content;
};

TEST_F(TextureTest, RefusedFilesStayEmptyReportOnceAndBindNothing) {
  const RefusedRow rows[] = {
      {"upper-case PNG suffix", "picture.PNG", RefusedRow::ValidPng},
      {"jpg suffix", "picture.jpg", RefusedRow::ValidPng},
      {"missing file", "absent.png", RefusedRow::Missing},
      {"not a picture", "junk.png", RefusedRow::Junk},
      {"truncated PNG", "cut.png", RefusedRow::Truncated},
      {"cut inside the image data's checksum", "cut-data.png", RefusedRow::ImageDataCut},
      {"image data with a bad checksum", "bad-data.png", RefusedRow::ImageDataCrc},
      {"directory", "folder.png", RefusedRow::Directory},
  };
  const std::string dir = test::scratchDir();
  const std::string valid = dir + "/valid.bin";
  ASSERT_TRUE(test::writePng(
      valid, test::quadrants(64, 64, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}),
      PngLayout::Rgba));
  const std::string validBytes = test::readFile(valid);

  GLuint other = 0;
  glGenTextures(1, &other);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir + "/" + row.file;
    switch (row.content) {
      case RefusedRow::ValidPng: test::writeFile(path, validBytes); break;
      case RefusedRow::Missing: break;
      case RefusedRow::Junk: test::writeFile(path, "this is not a picture\n"); break;
      case RefusedRow::Truncated: test::writeFile(path, validBytes.substr(0, validBytes.size() / 2)); break;
      case RefusedRow::ImageDataCut:
        test::writeFile(path, validBytes.substr(0, validBytes.size() - kEndChunkBytes - 2));
        break;
      case RefusedRow::ImageDataCrc: {
        std::string bytes = validBytes;
        bytes[bytes.size() - kEndChunkBytes - 1] ^= 0x01;
        test::writeFile(path, bytes);
        break;
      }
      case RefusedRow::Directory: ASSERT_TRUE(std::filesystem::create_directory(path)); break;
    }

    testing::internal::CaptureStderr();
    Texture texture(path);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lineCount(err), 1) << err;
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_TRUE(texture.empty());
    EXPECT_FALSE(texture.holdsPixels());

    glBindTexture(GL_TEXTURE_2D, other);
    texture.bind();
    EXPECT_EQ(test::getInteger(GL_TEXTURE_BINDING_2D), 0);
  }
  glDeleteTextures(1, &other);
}

TEST_F(TextureTest, WholeImageDataLoadsWithoutAGoodEndChunk) {
  const test::Picture pic = test::quadrants(8, 8, {255, 0, 0, 255}, {0, 255, 0, 200}, {0, 0, 255, 100}, {9, 9, 9, 0});
  const std::string path = test::scratchDir() + "/end.png";
  ASSERT_TRUE(test::writePng(path, pic, PngLayout::Rgba));
  const std::string valid = test::readFile(path);
  std::string badCrc = valid;
  badCrc.back() ^= 0x01;
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"end chunk missing", valid.substr(0, valid.size() - kEndChunkBytes)},
      {"end chunk with a bad checksum", badCrc},
      {"last byte missing", valid.substr(0, valid.size() - 1)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::writeFile(path, row.bytes);
    testing::internal::CaptureStderr();
    Texture texture(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_FALSE(texture.empty());
    expectLevelZeroHolds(pic);
  }
}

TEST_F(TextureTest, CreatedTextureUploadsBlackRgbaWithFullMipmapChain) {
  Texture texture(512, 512);
  EXPECT_TRUE(texture.empty()) << "creation does not upload";
  EXPECT_TRUE(texture.holdsPixels());
  texture.upload();
  EXPECT_FALSE(texture.empty());
  EXPECT_FALSE(texture.holdsPixels()) << "the creator's buffer is released by upload";
  EXPECT_EQ(static_cast<GLuint>(test::getInteger(GL_TEXTURE_BINDING_2D)), texture.glName());

  GLint minFilter = 0, magFilter = 0, internal = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(magFilter, GL_LINEAR);
  EXPECT_EQ(internal, GL_RGBA);

  ASSERT_EQ(levelCount(), 10) << "512 down to 1";
  for (int k = 0; k < 10; ++k) {
    const Level level = readLevel(k);
    EXPECT_EQ(level.width, 512 >> k);
    EXPECT_EQ(level.height, 512 >> k);
    EXPECT_TRUE(std::all_of(level.rgba.begin(), level.rgba.end(), [](unsigned char v) { return v == 0; }))
        << "level " << k << " is not transparent black";
  }
}

TEST_F(TextureTest, SecondUploadKeepsTheFirstTextureAndSaysSo) {
  Texture texture(4, 4);
  texture.upload();
  const GLuint first = texture.glName();
  testing::internal::CaptureStderr();
  texture.upload();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(texture.glName(), first);
  EXPECT_EQ(lineCount(err), 1) << err;
}

TEST_F(TextureTest, NonPowerOfTwoPictureLoadsResampled) {
  const std::string path = test::scratchDir() + "/wide.png";
  const Rgba8 colours[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
  ASSERT_TRUE(
      test::writePng(path, test::quadrants(300, 200, colours[0], colours[1], colours[2], colours[3]), PngLayout::Rgb));
  Texture texture(path);
  ASSERT_FALSE(texture.empty());
  EXPECT_EQ(texture.width(), 300);
  EXPECT_EQ(texture.height(), 200);

  const int levels = levelCount();
  ASSERT_GT(levels, 1);
  for (int k = 0; k < levels; ++k) {
    const Level level = readLevel(k);
    EXPECT_TRUE(isPowerOfTwo(level.width) && isPowerOfTwo(level.height))
        << "level " << k << " is " << level.width << " x " << level.height;
  }
  const Level last = readLevel(levels - 1);
  EXPECT_EQ(last.width, 1);
  EXPECT_EQ(last.height, 1);

  drawOverWindow(texture);
  expectQuadrantColours(colours, "300 x 200");
}

TEST_F(TextureTest, PictureWiderThanTheLargestTextureIsRefused) {
  const int maxSize = test::getInteger(GL_MAX_TEXTURE_SIZE);
  ASSERT_GT(maxSize, 0);
  const std::string path = test::scratchDir() + "/too-wide.png";
  test::Picture strip = test::quadrants(maxSize + 1, 1, {9, 9, 9, 255}, {9, 9, 9, 255}, {9, 9, 9, 255}, {9, 9, 9, 255});
  ASSERT_TRUE(test::writePng(path, strip, PngLayout::Rgba));
  testing::internal::CaptureStderr();
  Texture texture(path);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(texture.empty());
  EXPECT_EQ(lineCount(err), 1) << err;
  EXPECT_NE(err.find(path), std::string::npos) << err;
}

// Textures asked for while a LoadQueue is active stay empty until its
// finish(), then hold the levels the same file gives when loaded at once, and
// the refused ones are named in the order they were asked for.
TEST_F(TextureTest, ThroughALoadQueuePicturesArriveAtFinishAsIfLoadedAtOnce) {
  const struct {
    const char* name;
    int width, height;
    PngLayout layout;
    bool valid;
  } rows[] = {
      {"resampled RGBA", 300, 200, PngLayout::Rgba, true},
      {"power-of-two RGB", 16, 8, PngLayout::Rgb, true},
      {"palette, through SDL_image", 8, 8, PngLayout::Palette, true},
      {"wider than what is read before the GL is known", 5000, 2, PngLayout::Rgba, true},
      {"damaged", 8, 8, PngLayout::Rgba, false},
      {"missing", 0, 0, PngLayout::Rgba, false},
  };
  const std::string dir = test::scratchDir();
  std::vector<std::string> queuedPaths, directPaths;
  for (const auto& row : rows) {
    const std::string name = std::to_string(queuedPaths.size());
    queuedPaths.push_back(dir + "/queued" + name + ".png");
    directPaths.push_back(dir + "/direct" + name + ".png");
    if (row.width == 0) continue;
    const test::Picture pic = test::quadrants(row.width, row.height, {250, 10, 20, 255}, {30, 240, 50, 128},
                                              {60, 70, 230, 60}, {200, 200, 0, 0});
    ASSERT_TRUE(test::writePng(directPaths.back(), pic, row.layout));
    std::string bytes = test::readFile(directPaths.back());
    if (!row.valid) bytes.resize(bytes.size() / 2);
    test::writeFile(queuedPaths.back(), bytes);
  }

  std::vector<std::unique_ptr<Texture>> queued;
  testing::internal::CaptureStderr();
  {
    LoadQueue queue;
    for (const std::string& path : queuedPaths) queued.push_back(std::make_unique<Texture>(path));
    for (const auto& texture : queued) EXPECT_TRUE(texture->empty()) << "before finish()";
    queue.finish();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(lineCount(err), 2) << err;
  const size_t damaged = err.find(queuedPaths[4]), missing = err.find(queuedPaths[5]);
  EXPECT_NE(damaged, std::string::npos) << err;
  EXPECT_NE(missing, std::string::npos) << err;
  EXPECT_LT(damaged, missing) << "reported in the order asked for";

  for (size_t i = 0; i < queued.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(queued[i]->empty(), !rows[i].valid);
    if (!rows[i].valid) continue;
    Texture direct(directPaths[i]);
    EXPECT_EQ(queued[i]->width(), direct.width());
    EXPECT_EQ(queued[i]->height(), direct.height());
    const int levels = levelCount();
    queued[i]->bind();
    ASSERT_EQ(levelCount(), levels);
    for (int k = 0; k < levels; ++k) {
      queued[i]->bind();
      const Level got = readLevel(k);
      direct.bind();
      const Level want = readLevel(k);
      EXPECT_TRUE(got == want) << "level " << k;
    }
  }
}

}  // namespace
}  // namespace vorn
