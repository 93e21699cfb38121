// The picture writers: every file of the show decodes as 8-bit RGBA at its
// size, layers are see-through around their panels, captions carry text,
// textures repeat without seams, and two runs give the same bytes. Also the
// bitmap font and the canvas's edge colouring on their own.
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "content/credits_layers.h"
#include "content/picture_layer.h"
#include "tests/support/test_files.h"
#include "tools/assets.h"
#include "tools/picture/canvas.h"
#include "tools/picture/catalogue.h"
#include "tools/picture/font.h"
#include "tools/picture/noise.h"

namespace vorn {
namespace {

using picture::PictureEntry;
using picture::PictureKind;
using picture::Rect;

// A decoded picture as 8-bit RGBA rows, top first, in memory byte order.
struct Decoded {
  int width = 0, height = 0, bytesPerPixel = 0;
  bool rgbaOrder = false;  // bytes in memory are R, G, B, A
  std::vector<std::uint8_t> pixels;
  const std::uint8_t* at(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

bool decode(const std::string& path, Decoded& out) {
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> surface(IMG_Load(path.c_str()), SDL_FreeSurface);
  if (!surface) return false;
  const SDL_PixelFormat* f = surface->format;
  out.width = surface->w;
  out.height = surface->h;
  out.bytesPerPixel = f->BytesPerPixel;
  if (out.bytesPerPixel != 4) return true;
  auto byteOf = [](std::uint32_t mask) {  // which byte of a pixel in memory the mask selects
    std::uint8_t bytes[4];
    std::memcpy(bytes, &mask, 4);
    for (int k = 0; k < 4; ++k)
      if (bytes[k] == 0xFF) return k;
    return -1;
  };
  out.rgbaOrder = byteOf(f->Rmask) == 0 && byteOf(f->Gmask) == 1 && byteOf(f->Bmask) == 2 && byteOf(f->Amask) == 3;
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
  for (int y = 0; y < out.height; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + static_cast<std::size_t>(y) * surface->pitch;
    std::copy(row, row + out.width * 4, out.pixels.begin() + static_cast<std::ptrdiff_t>(y) * out.width * 4);
  }
  return true;
}

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Canvas.

TEST(Canvas, TransparentPixelsTakeNeighbouringColourButStayTransparent) {
  picture::Canvas c(12, 1);
  c.set(0, 0, picture::rgb(1.0f, 0.5f, 0.0f, 1.0f));
  const std::vector<std::uint8_t> out = c.toRgba8();
  EXPECT_EQ(out[3], 255);
  for (int x = 1; x <= 3; ++x) {
    EXPECT_EQ(out[x * 4 + 0], 255) << x;
    EXPECT_EQ(out[x * 4 + 1], 128) << x;
    EXPECT_EQ(out[x * 4 + 3], 0) << x;
  }
  EXPECT_EQ(out[11 * 4 + 0], 0) << "colour reaches only a few pixels in";
}

TEST(Canvas, AntiAliasedCircleCoversInsideAndFadesAtItsEdge) {
  picture::Canvas c(20, 20);
  picture::fillCircle(c, {10.0f, 10.0f}, 5.0f, picture::rgb(1.0f, 1.0f, 1.0f));
  EXPECT_FLOAT_EQ(c.at(10, 10).a, 1.0f);
  EXPECT_FLOAT_EQ(c.at(1, 1).a, 0.0f);
  const float edge = c.at(14, 10).a;  // pixel centre 14.5 is 4.5 from the centre: half a pixel in
  EXPECT_GT(edge, 0.9f);
  const float rim = c.at(14, 12).a;  // centre (14.5, 12.5) lies about 0.15 outside the circle
  EXPECT_GT(rim, 0.0f);
  EXPECT_LT(rim, 1.0f);
}

TEST(Canvas, BlendsStraightAlphaOverAndAddsLight) {
  using picture::Blend;
  using picture::Colour;
  struct Row {
    const char* name;
    Colour under, paint;
    float coverage;
    Blend mode;
    Colour expected;
  } rows[] = {
      {"opaque over anything", {0, 0, 1, 1}, {1, 0, 0, 1}, 1.0f, Blend::Over, {1, 0, 0, 1}},
      {"half over opaque", {0, 0, 1, 1}, {1, 0, 0, 0.5f}, 1.0f, Blend::Over, {0.5f, 0, 0.5f, 1}},
      {"half coverage acts as half alpha", {0, 0, 1, 1}, {1, 0, 0, 1}, 0.5f, Blend::Over, {0.5f, 0, 0.5f, 1}},
      {"over nothing keeps its colour", {0, 0, 0, 0}, {1, 0.5f, 0, 0.5f}, 1.0f, Blend::Over, {1, 0.5f, 0, 0.5f}},
      {"half over half", {0, 0, 1, 0.5f}, {1, 0, 0, 0.5f}, 1.0f, Blend::Over, {2.0f / 3, 0, 1.0f / 3, 0.75f}},
      {"light adds by alpha, alpha kept",
       {0.2f, 0.2f, 0.2f, 1},
       {1, 0.5f, 0, 0.5f},
       1.0f,
       Blend::Add,
       {0.7f, 0.45f, 0.2f, 1}},
      {"no coverage changes nothing",
       {0.1f, 0.2f, 0.3f, 0.4f},
       {1, 1, 1, 1},
       0.0f,
       Blend::Over,
       {0.1f, 0.2f, 0.3f, 0.4f}},
  };
  for (const Row& row : rows) {
    picture::Canvas c(1, 1, row.under);
    c.put(0, 0, row.paint, row.coverage, row.mode);
    const Colour got = c.at(0, 0);
    EXPECT_NEAR(got.r, row.expected.r, 1e-5f) << row.name;
    EXPECT_NEAR(got.g, row.expected.g, 1e-5f) << row.name;
    EXPECT_NEAR(got.b, row.expected.b, 1e-5f) << row.name;
    EXPECT_NEAR(got.a, row.expected.a, 1e-5f) << row.name;
  }
  picture::Canvas c(2, 2);
  c.put(-1, 0, {1, 1, 1, 1}, 1.0f);
  c.put(2, 5, {1, 1, 1, 1}, 1.0f);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(c.at(x, y).a, 0.0f) << "writes off the canvas are dropped";
}

TEST(Canvas, PolygonDistanceIsNegativeInsideEvenWhereTheShapeIsConcave) {
  const std::vector<picture::Vec2> star = picture::starPolygon({0.0f, 0.0f}, 10.0f, 4.0f, 5);
  struct Row {
    const char* name;
    picture::Vec2 p;
    bool inside;
  } rows[] = {{"centre", {0.0f, 0.0f}, true},
              {"in the top point", {0.0f, -8.0f}, true},
              {"between two points", {5.0f, -6.0f}, false},
              {"far away", {30.0f, 30.0f}, false},
              {"just below the top tip", {0.0f, -9.5f}, true}};
  for (const Row& row : rows) EXPECT_EQ(picture::polygonSdf(row.p, star) < 0.0f, row.inside) << row.name;
  // Along a straight edge the distance is the plain distance to that edge.
  const std::vector<picture::Vec2> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_NEAR(picture::polygonSdf({5.0f, 2.0f}, square), -2.0f, 1e-5f);
  EXPECT_NEAR(picture::polygonSdf({5.0f, -3.0f}, square), 3.0f, 1e-5f);
  EXPECT_NEAR(picture::roundBoxSdf({5.0f, 2.0f}, {5.0f, 5.0f}, {5.0f, 5.0f}, 2.0f), -2.0f, 1e-5f);
  EXPECT_NEAR(picture::segmentSdf({5.0f, 4.0f}, {0.0f, 0.0f}, {10.0f, 0.0f}, 1.0f), 3.0f, 1e-5f);
}

// Noise.

TEST(Noise, StaysInRangeRepeatsWithItsPeriodAndFollowsItsSeed) {
  struct Row {
    const char* name;
    std::function<float(float, float, std::uint32_t, int)> noise;
  } rows[] = {
      {"value", [](float x, float y, std::uint32_t s, int p) { return picture::valueNoise(x, y, s, p); }},
      {"perlin", [](float x, float y, std::uint32_t s, int p) { return picture::perlinNoise(x, y, s, p); }},
      {"fractal", [](float x, float y, std::uint32_t s, int p) { return picture::fractalNoise(x, y, 4, s, p); }},
  };
  constexpr int kPeriod = 5;
  for (const Row& row : rows) {
    float lo = 1.0f, hi = 0.0f;
    int seedDiffers = 0;
    for (int i = 0; i < 400; ++i) {
      const float x = i * 0.173f - 20.0f, y = i * 0.291f - 37.0f;
      const float n = row.noise(x, y, 9u, kPeriod);
      lo = std::min(lo, n);
      hi = std::max(hi, n);
      ASSERT_NEAR(n, row.noise(x + kPeriod, y, 9u, kPeriod), 1e-4f) << row.name << " at " << x << ", " << y;
      ASSERT_NEAR(n, row.noise(x, y - 2 * kPeriod, 9u, kPeriod), 1e-4f) << row.name << " at " << x << ", " << y;
      ASSERT_EQ(n, row.noise(x, y, 9u, kPeriod)) << row.name;
      seedDiffers += std::fabs(n - row.noise(x, y, 10u, kPeriod)) > 1e-3f;
    }
    EXPECT_GE(lo, 0.0f) << row.name;
    EXPECT_LE(hi, 1.0f) << row.name;
    EXPECT_GT(hi - lo, 0.3f) << row.name << " hardly varies";
    EXPECT_GT(seedDiffers, 300) << row.name;
  }
}

TEST(Noise, RandomNumbersRepeatForASeedAndStayInRange) {
  picture::Rng a(42u), b(42u), c(43u);
  int differs = 0;
  for (int i = 0; i < 1000; ++i) {
    const std::uint32_t x = a.next();
    EXPECT_EQ(x, b.next());
    differs += x != c.next();
  }
  EXPECT_GT(differs, 990);
  picture::Rng r(7u);
  int counts[5] = {};
  for (int i = 0; i < 5000; ++i) {
    const float u = r.uniform();
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
    const int k = r.below(5);
    ASSERT_GE(k, 0);
    ASSERT_LT(k, 5);
    ++counts[k];
  }
  for (int k = 0; k < 5; ++k) EXPECT_GT(counts[k], 800) << k;
}

// Font.

float coverageAt(const font::TextMask& m, float glyphColumn, float glyphRow, float cell) {
  return m.at(static_cast<int>(m.margin + glyphColumn * cell), static_cast<int>(m.margin + glyphRow * cell));
}

TEST(Font, GlyphsFillTheirLitCellsOnly) {
  const float cell = 8.0f;
  const font::TextMask i = font::renderText("I", cell);
  EXPECT_EQ(i.width, static_cast<int>(std::ceil(font::textWidth("I", cell) + 2 * i.margin)));
  EXPECT_FLOAT_EQ(coverageAt(i, 2.5f, 3.5f, cell), 1.0f) << "the stem";
  EXPECT_FLOAT_EQ(coverageAt(i, 0.5f, 3.5f, cell), 0.0f) << "beside the stem";
  EXPECT_FLOAT_EQ(coverageAt(i, 1.5f, 0.5f, cell), 1.0f) << "the top serif";
  const font::TextMask space = font::renderText(" ", cell);
  for (float v : space.coverage) ASSERT_EQ(v, 0.0f);
  const font::TextMask unknown = font::renderText("~", cell);
  for (float v : unknown.coverage) ASSERT_EQ(v, 0.0f);
  EXPECT_EQ(font::renderText("a", cell).coverage, font::renderText("A", cell).coverage);
  // The second glyph starts one advance to the right.
  const font::TextMask two = font::renderText(" I", cell);
  EXPECT_FLOAT_EQ(coverageAt(two, font::kAdvanceColumns + 2.5f, 3.5f, cell), 1.0f);
}

TEST(Font, DiagonalStepsAreSmoothed) {
  // In "V" the arms step one column in across rows 4 to 6; the doubling fills
  // in the corner between the steps, so the outline runs diagonally.
  const float cell = 12.0f;
  const font::TextMask v = font::renderText("V", cell);
  ASSERT_TRUE(font::glyphPixel('V', 0, 4));
  ASSERT_FALSE(font::glyphPixel('V', 0, 5));
  ASSERT_TRUE(font::glyphPixel('V', 1, 5));
  const float inCorner = coverageAt(v, 0.8f, 5.2f, cell);  // dark in the plain bitmap, beside both lit pixels
  EXPECT_GT(inCorner, 0.5f);
  const float farCorner = coverageAt(v, 1.2f, 4.8f, cell);  // the opposite corner, inside a dark cell
  EXPECT_GT(farCorner, 0.5f);
  EXPECT_FLOAT_EQ(coverageAt(v, 0.1f, 6.9f, cell), 0.0f);
}

TEST(Font, TextIsSixGlyphColumnsAPieceLessTheLastSpacing) {
  struct Row {
    const char* text;
    float cell, width;
  } rows[] = {{"", 10.0f, 0.0f}, {"A", 10.0f, 50.0f}, {"AB", 10.0f, 110.0f}, {"JOSTU", 2.0f, 58.0f}};
  for (const Row& row : rows) EXPECT_FLOAT_EQ(font::textWidth(row.text, row.cell), row.width) << row.text;
}

TEST(Font, GrownMaskReachesRadiusBeyondTheGlyph) {
  const float cell = 6.0f;
  const font::TextMask m = font::renderText("I", cell);
  const font::TextMask g = font::grown(m, 4);
  EXPECT_EQ(g.width, m.width + 8);
  EXPECT_FLOAT_EQ(g.margin, m.margin + 4);
  // Three pixels left of the stem's left edge (column 2 starts at 2 * cell).
  const int stemLeft = static_cast<int>(g.margin + 2 * cell);
  const int row = static_cast<int>(g.margin + 3.5f * cell);
  EXPECT_GT(g.at(stemLeft - 3, row), 0.9f);
  EXPECT_FLOAT_EQ(g.at(stemLeft - 6, row), 0.0f);
}

TEST(Font, EveryCharacterThePicturesDrawHasAGlyph) {
  for (const PictureEntry& entry : picture::pictureCatalogue())
    for (char ch : entry.text)
      if (ch != '\n') {
        EXPECT_TRUE(font::hasGlyph(ch)) << entry.file << ": '" << ch << "'";
      }
}

// The written pictures.

class WrittenPictures : public testing::Test {
 protected:
  // One directory per process: test runners may run several of these tests
  // at once, each in a process of its own with its own copy of the pictures.
  static void SetUpTestSuite() {
    const std::string name = "WrittenPictures-" + std::to_string(getpid());
    dir_ = new std::string((std::filesystem::temp_directory_path() / "vorn-tests" / name).string());
    std::filesystem::remove_all(*dir_);
    written_ = assets::writePictures(*dir_);
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    std::filesystem::remove_all(*dir_, ignored);
    delete dir_;
    dir_ = nullptr;
  }

  static std::string path(const PictureEntry& entry) { return *dir_ + "/scenes/" + entry.file; }

  // Decodes every picture of the catalogue and hands the matching ones to check.
  static void forEach(const std::function<bool(const PictureEntry&)>& wanted,
                      const std::function<void(const PictureEntry&, const Decoded&)>& check) {
    ASSERT_TRUE(written_);
    for (const PictureEntry& entry : picture::pictureCatalogue()) {
      if (!wanted(entry)) continue;
      Decoded d;
      ASSERT_TRUE(decode(path(entry), d)) << entry.file << ": " << IMG_GetError();
      ASSERT_EQ(d.bytesPerPixel, 4) << entry.file;
      check(entry, d);
    }
  }

  static std::string* dir_;
  static bool written_;
};

std::string* WrittenPictures::dir_ = nullptr;
bool WrittenPictures::written_ = false;

TEST_F(WrittenPictures, TheShowsTwentySixFilesAllExist) {
  const std::set<std::string> expected = {
      "avaruus.png",   "hauki.png",        "nekku.png",    "shuttle.png",       "mothership.png", "shuttle6.png",
      "kyklohepo.png", "zolviapallo.png",  "vornlogo.png", "sika.png",          "sianpaa.png",    "vorn2003.png",
      "credits.png",   "piirijutu.png",    "jostu.png",    "jostucredits.png",  "prog.png",       "progcredits.png",
      "melti.png",     "melticredits.png", "rekoni.png",   "hobrikcredits.png", "vaske.png",      "vaskeharppu.png",
      "ondri.png",     "ondricredits.png"};
  ASSERT_TRUE(written_);
  std::set<std::string> catalogued;
  for (const PictureEntry& entry : picture::pictureCatalogue()) catalogued.insert(entry.file);
  EXPECT_EQ(catalogued, expected);
  for (const std::string& name : expected)
    EXPECT_TRUE(std::filesystem::is_regular_file(*dir_ + "/scenes/" + name)) << name;
}

TEST_F(WrittenPictures, DecodeAsRgbaOfTheirIntendedSize) {
  struct Row {
    const char* file;
    int width, height;
  } rows[] = {{"avaruus.png", 512, 512},     {"hauki.png", 256, 256},     {"vornlogo.png", 512, 512},
              {"credits.png", 512, 512},     {"piirijutu.png", 800, 600}, {"ondri.png", 128, 128},
              {"ondricredits.png", 800, 600}};
  forEach([](const PictureEntry&) { return true; },
          [&](const PictureEntry& entry, const Decoded& d) {
            EXPECT_TRUE(d.rgbaOrder) << entry.file;
            EXPECT_EQ(d.width, entry.width) << entry.file;
            EXPECT_EQ(d.height, entry.height) << entry.file;
            for (const Row& row : rows)
              if (entry.file == row.file) {
                EXPECT_EQ(d.width, row.width) << entry.file;
                EXPECT_EQ(d.height, row.height) << entry.file;
              }
            if (entry.kind == PictureKind::ModelTexture) {
              EXPECT_EQ(d.width, d.height) << entry.file;
              EXPECT_TRUE(isPowerOfTwo(d.width) && d.width >= 256) << entry.file << " is " << d.width;
            }
            if (entry.kind == PictureKind::Plane) {
              EXPECT_EQ(d.width, d.height) << entry.file;
            }
          });
}

TEST_F(WrittenPictures, LayersAreSeeThroughAtTheCornersAndOpaqueOnTheirPanel) {
  constexpr int kCorner = 8;
  forEach([](const PictureEntry& s) { return s.kind == PictureKind::Layer; },
          [&](const PictureEntry& entry, const Decoded& d) {
            ASSERT_FALSE(entry.solid.empty()) << entry.file;
            int visibleCorner = 0;
            for (int y = 0; y < kCorner; ++y)
              for (int x = 0; x < kCorner; ++x)
                for (const auto& p : {d.at(x, y), d.at(d.width - 1 - x, y), d.at(x, d.height - 1 - y),
                                      d.at(d.width - 1 - x, d.height - 1 - y)})
                  visibleCorner += p[3] != 0;
            EXPECT_EQ(visibleCorner, 0) << entry.file;
            int seeThrough = 0;
            for (int y = entry.solid.y0; y < entry.solid.y1; ++y)
              for (int x = entry.solid.x0; x < entry.solid.x1; ++x) seeThrough += d.at(x, y)[3] != 255;
            EXPECT_EQ(seeThrough, 0) << entry.file;
          });
}

TEST_F(WrittenPictures, OpaquePicturesHaveNoSeeThroughPixels) {
  forEach([](const PictureEntry& s) { return s.kind != PictureKind::Layer && !s.solid.empty(); },
          [&](const PictureEntry& entry, const Decoded& d) {
            int seeThrough = 0;
            for (int y = entry.solid.y0; y < entry.solid.y1; ++y)
              for (int x = entry.solid.x0; x < entry.solid.x1; ++x) seeThrough += d.at(x, y)[3] != 255;
            EXPECT_EQ(seeThrough, 0) << entry.file;
          });
}

TEST_F(WrittenPictures, CaptionsShowTheirTextWhereTheCatalogueSays) {
  int captions = 0;
  forEach([](const PictureEntry& s) { return !s.caption.empty(); },
          [&](const PictureEntry& entry, const Decoded& d) {
            ++captions;
            const Rect r = entry.caption;
            ASSERT_TRUE(r.x0 >= 0 && r.y0 >= 0 && r.x1 <= d.width && r.y1 <= d.height) << entry.file;
            const int target[3] = {static_cast<int>(std::lround(entry.textColour.r * 255)),
                                   static_cast<int>(std::lround(entry.textColour.g * 255)),
                                   static_cast<int>(std::lround(entry.textColour.b * 255))};
            auto isText = [&](const std::uint8_t* p) {
              return p[3] == 255 &&
                     std::abs(p[0] - target[0]) + std::abs(p[1] - target[1]) + std::abs(p[2] - target[2]) < 24;
            };
            int inside = 0;
            for (int y = r.y0; y < r.y1; ++y)
              for (int x = r.x0; x < r.x1; ++x) inside += isText(d.at(x, y));
            const int area = (r.x1 - r.x0) * (r.y1 - r.y0);
            EXPECT_GT(inside, area / 5) << entry.file << ": " << inside << " text pixels of " << area;
            EXPECT_LT(inside, area * 4 / 5) << entry.file << ": the box is not simply filled";
            // The same box moved off the text, just below it, holds next to none.
            int below = 0;
            const int height = r.y1 - r.y0;
            for (int y = r.y1 + 4; y < std::min(r.y1 + 4 + height / 4, d.height); ++y)
              for (int x = r.x0; x < r.x1; ++x) below += isText(d.at(x, y));
            EXPECT_LT(below, area / 50) << entry.file << ": " << below << " text pixels below the box";
          });
  EXPECT_GE(captions, 7) << "six credits captions and the doodle panel's title";
}

TEST_F(WrittenPictures, CreditsPairsNeverCoverEachOtherWhileTheySlideIn) {
  // The script's credits layers come in pairs that slide in at once; both
  // travel the same fraction of their way at every moment.
  struct Placed {
    Decoded picture;
    float homeX, homeY, offX, offY;  // top-left corner on the 800 x 600 screen
  };
  auto place = [&](const LayerRecipe& layer, Placed& out) {
    ASSERT_TRUE(decode(*dir_ + "/" + layer.picture, out.picture)) << layer.picture;
    ASSERT_EQ(out.picture.width, layer.width) << layer.picture << " is not drawn at its own size";
    ASSERT_EQ(out.picture.height, layer.height) << layer.picture << " is not drawn at its own size";
    const std::vector<KeyRow> keys = layerKeyRows(layer.x, layer.y, layer.width, layer.height, layer.kind, layer.inTime,
                                                  layer.holdTime, layer.outTime);
    ASSERT_EQ(keys.size(), 5u) << layer.picture << " does not slide in";
    const Vec3 off = *keys[1].position, home = *keys[2].position;  // the slide in: second key to third
    const float hw = static_cast<float>(layer.width / 2), hh = static_cast<float>(layer.height / 2);
    out.homeX = home.x - hw;
    out.homeY = home.y - hh;
    out.offX = off.x - hw;
    out.offY = off.y - hh;
  };
  ASSERT_TRUE(written_);
  for (int k = 0; k + 1 < kMaxLayers; k += 2) {
    const LayerRecipe& emblemLayer = kCreditsLayers[k];
    const LayerRecipe& captionLayer = kCreditsLayers[k + 1];
    ASSERT_EQ(emblemLayer.inTime, captionLayer.inTime) << emblemLayer.picture << " and its caption";
    Placed e, c;
    place(emblemLayer, e);
    place(captionLayer, c);
    if (HasFatalFailure()) return;
    for (int step = 0; step <= 10; ++step) {
      const float away = 1.0f - step / 10.0f;
      auto at = [away](float home, float off) { return static_cast<int>(std::lround(home + (off - home) * away)); };
      const int ex = at(e.homeX, e.offX), ey = at(e.homeY, e.offY);
      const int cx = at(c.homeX, c.offX), cy = at(c.homeY, c.offY);
      int covered = 0;
      for (int y = 0; y < e.picture.height; ++y)
        for (int x = 0; x < e.picture.width; ++x) {
          if (e.picture.at(x, y)[3] < 64) continue;
          const int sx = ex + x - cx, sy = ey + y - cy;  // the same screen point in the caption
          if (sx < 0 || sy < 0 || sx >= c.picture.width || sy >= c.picture.height) continue;
          covered += c.picture.at(sx, sy)[3] >= 64;
        }
      EXPECT_EQ(covered, 0) << emblemLayer.picture << " and " << captionLayer.picture << " at " << step * 10
                            << "% of the way in";
    }
  }
}

TEST_F(WrittenPictures, RepeatingTexturesHaveNoSeamAtTheirEdges) {
  forEach([](const PictureEntry& s) { return s.tiles; },
          [&](const PictureEntry& entry, const Decoded& d) {
            // Compare the step across the wrap (last column to first, last row to
            // first) with the picture's ordinary step between neighbours.
            auto step = [&](int x0, int y0, int x1, int y1) {
              const std::uint8_t *p = d.at(x0, y0), *q = d.at(x1, y1);
              return std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
            };
            const int n = d.width;
            double across = 0.0, inside = 0.0;
            for (int i = 0; i < n; ++i) {
              across += step(n - 1, i, 0, i) + step(i, n - 1, i, 0);
              for (int k = 0; k < n - 1; k += 8)
                inside += (step(k, i, k + 1, i) + step(i, k, i, k + 1)) * 8.0 / (n - 1);
            }
            EXPECT_LT(across, 2.0 * inside + 4.0 * n)
                << entry.file << ": wrap step " << across / (2 * n) << " against ordinary " << inside / (2 * n);
          });
}

TEST_F(WrittenPictures, ASecondRunWritesTheSameBytes) {
  ASSERT_TRUE(written_);
  const std::string again = test::scratchDir();
  ASSERT_TRUE(assets::writePictures(again));
  for (const PictureEntry& entry : picture::pictureCatalogue()) {
    const std::string first = test::readFile(path(entry));
    ASSERT_FALSE(first.empty()) << entry.file;
    EXPECT_TRUE(first == test::readFile(again + "/scenes/" + entry.file)) << entry.file;
  }
}

// The desktop icon: the title picture's colours on a 256 x 256 rounded square
// whose corners alone are see-through.
TEST(Icon, IsTheTitlePictureOnARoundedSquare) {
  const std::string path = test::scratchDir() + "/icon.png";
  ASSERT_TRUE(assets::writeIcon(path));
  Decoded icon;
  ASSERT_TRUE(decode(path, icon)) << IMG_GetError();
  ASSERT_EQ(icon.bytesPerPixel, 4);
  ASSERT_EQ(icon.width, 256);
  ASSERT_EQ(icon.height, 256);
  for (const auto& [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}})
    EXPECT_EQ(icon.at(x, y)[3], 0) << "corner " << x << "," << y;
  for (const auto& [x, y] : {std::pair{128, 128}, {0, 128}, {128, 0}, {255, 128}})
    EXPECT_EQ(icon.at(x, y)[3], 255) << x << "," << y;

  const auto& all = picture::pictureCatalogue();
  const auto logo =
      std::find_if(all.begin(), all.end(), [](const PictureEntry& e) { return e.file == "vornlogo.png"; });
  ASSERT_NE(logo, all.end());
  const picture::Canvas title = logo->draw(*logo);
  double iconSum[3] = {}, titleSum[3] = {};
  for (int y = 96; y < 160; ++y)  // the middle, where the title word lies
    for (int x = 0; x < 256; ++x)
      for (int k = 0; k < 3; ++k) iconSum[k] += icon.at(x, y)[k];
  for (int y = 192; y < 320; ++y)
    for (int x = 0; x < 512; ++x) {
      const picture::Colour c = title.at(x, y);
      titleSum[0] += picture::clamp01(c.r) * 255.0;
      titleSum[1] += picture::clamp01(c.g) * 255.0;
      titleSum[2] += picture::clamp01(c.b) * 255.0;
    }
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(iconSum[k] / (64 * 256), titleSum[k] / (128 * 512), 1.0) << "channel " << k;
}

TEST(WritePictures, NamesTheFileItCannotWriteAndFails) {
  struct Row {
    const char* name;
    std::function<void(const std::string& dir)> spoil;
    std::string file;  // the path the one message names, under dir
  } rows[] = {
      {"scenes is a file", [](const std::string& dir) { test::writeFile(dir + "/scenes", "not a directory"); },
       "/scenes/"},
      {"a directory holds a picture's name",
       [](const std::string& dir) { std::filesystem::create_directories(dir + "/scenes/vorn2003.png"); },
       "/scenes/vorn2003.png"},
  };
  const std::string base = test::scratchDir();
  for (const Row& row : rows) {
    const std::string dir = base + "/" + std::to_string(&row - rows);
    std::filesystem::create_directories(dir);
    row.spoil(dir);
    testing::internal::CaptureStderr();
    const bool written = assets::writePictures(dir);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(written) << row.name;
    EXPECT_NE(message.find(dir + row.file), std::string::npos) << row.name << ": " << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << row.name << ": " << message;
  }
}

}  // namespace
}  // namespace vorn
