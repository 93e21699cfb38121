// Mipmaps built here hold, level by level, the bytes GLU's gluBuild2DMipmaps
// gives the same picture, whether its sides are powers of two or resampled.
#include "res/mipmaps.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/res/texture_levels.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

class MipmapsTest : public test::GlTest {};

// Every level of the bound texture, level 0 first.
std::vector<test::Level> levels() {
  std::vector<test::Level> out;
  for (int k = 0, n = test::levelCount(); k < n; ++k) out.push_back(test::readLevel(k));
  return out;
}

TEST_F(MipmapsTest, LevelsMatchGlusByteForByte) {
  const int sizes[][2] = {
      {64, 64},   {32, 8},    {4, 16},    {1, 8},     {16, 1},    {1, 1},  // powers of two: halved only
      {800, 600}, {600, 800}, {512, 600}, {600, 512}, {767, 769},          // resampled up and down
      {3, 5},     {300, 7},   {1, 3},     {5, 1},     {129, 65},  {100, 100}, {1000, 3},
  };
  for (const auto& size : sizes) {
    const int w = size[0], h = size[1];
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    // Texels that make every rounding case come up, alpha included.
    // Four zero bytes past the end: where a resampling box's edge touches the
    // texel after the last, GLU reads it with weight 0.
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4 + 4);
    unsigned state = 12345u;
    for (size_t i = 0; i + 4 < rgba.size(); ++i) {
      state = state * 1103515245u + 12345u;
      rgba[i] = static_cast<unsigned char>(state >> 16);
    }
    GLuint names[2];
    glGenTextures(2, names);
    glBindTexture(GL_TEXTURE_2D, names[0]);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const auto expected = levels();
    glBindTexture(GL_TEXTURE_2D, names[1]);
    uploadMipmapped(w, h, rgba.data());
    const auto built = levels();
    glDeleteTextures(2, names);

    ASSERT_EQ(built.size(), expected.size()) << "level count";
    for (size_t level = 0; level < built.size(); ++level)
      EXPECT_TRUE(built[level] == expected[level]) << "level " << level;
  }
}

}  // namespace
}  // namespace vorn
