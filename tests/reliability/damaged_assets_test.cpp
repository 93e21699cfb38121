// Every asset kind (3DS model, PNG picture, Ogg music) loaded from damaged
// copies of the generated files: missing, empty, truncated, random, a few
// bytes changed, a directory, unreadable. Each must load or be refused
// without a crash or hang, say one line on stderr naming the file when
// something is wrong, and leave a harmless object behind.
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <lib3ds/chunk.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "res/music_player.h"
#include "res/texture.h"
#include "scene/model3ds.h"
#include "tests/reliability/damage.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

using test::Damage;
using test::DamageRow;

constexpr int kChangedSeeds = 6;
constexpr int kPullFrames = 4096;
// The show's 176 s at 44.1 kHz is about 1900 pulls; a stream still giving
// samples far beyond that does not end.
constexpr int kMaxPulls = 4000;

struct Outcome {
  bool refused = false;
  std::string err;
};

// Refused files say one line naming the file; files that load say nothing,
// except music, which names every damaged file, also one that partly plays.
enum class Report { WhenRefused, Always };

::testing::AssertionResult wellReported(const Outcome& o, const std::string& path, Report report) {
  const int lines = test::lineCount(o.err);
  if (o.refused || report == Report::Always) {
    if (lines == 1 && o.err.find(path) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected one line naming " << path << ", got: [" << o.err << "]";
  }
  if (lines == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "a file that loaded reported: [" << o.err << "]";
}

Outcome loadModel(const std::string& path) {
  testing::internal::CaptureStderr();
  Model3ds model(path, 0.0f, 10.0f);
  for (float t : {0.0f, 4.0f, 30.0f}) model.update(t);
  return {model.file == nullptr, testing::internal::GetCapturedStderr()};
}

Outcome loadPicture(const std::string& path) {
  testing::internal::CaptureStderr();
  Texture texture(path);
  return {texture.empty(), testing::internal::GetCapturedStderr()};
}

// Opens the music with pulled output (no device) and pulls it to its end.
Outcome playMusic(const std::string& path) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  Outcome o;
  int pulls = 0;
  {
    MusicPlayer player(kMixRate, MusicOutput::Pulled);
    o.refused = player.open(path.c_str()) != 0;
    if (!o.refused) {
      player.play();
      std::vector<int16_t> buffer(2 * kPullFrames);
      while (pulls < kMaxPulls && player.pull(buffer.data(), kPullFrames) == kPullFrames) ++pulls;
    }
    player.stop();
  }
  o.err = testing::internal::GetCapturedStderr();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_LT(pulls, kMaxPulls) << "the stream never ends";
  if (o.refused) {
    EXPECT_EQ(out.rfind("Error!\n", 0), 0u) << out;
  }
  return o;
}

// The same checks inside the unprivileged child, for the unreadable row.
template <Outcome (*load)(const std::string&)>
bool refusedWithOneLine(const std::string& path) {
  const Outcome o = load(path);
  return o.refused && test::lineCount(o.err) == 1 && o.err.find(path) != std::string::npos;
}

class DamagedAssets : public test::GlTest {
 protected:
  void SetUp() override {
    test::GlTest::SetUp();
    dir = test::scratchDir();
  }

  // What a copy cut after its headers does: refused; loaded and played in
  // part; or loaded whole when the cut leaves every byte of the picture's
  // image data (the last byte belongs to the end chunk) and refused otherwise.
  enum class Cut { Refused, PlaysInPart, LoadsWhenOnlyTheEndIsCut };

  // Runs every row on a damaged copy of the generated file `source`.
  template <Outcome (*load)(const std::string&)>
  void runRows(const std::string& source, const std::string& suffix, Report report, Cut cut,
               void (*afterLoad)(const std::string&, const Outcome&) = nullptr) {
    const std::string valid = test::readFile(source);
    ASSERT_GT(valid.size(), 100u) << "the generated asset " << source << " is missing; build the project first";
    for (const DamageRow& row : test::damageRows(kChangedSeeds)) {
      SCOPED_TRACE(row.name);
      const std::string path = dir + "/" + std::to_string(counter++) + suffix;
      test::makeDamaged(valid, row, path);
      if (row.kind == Damage::Unreadable) {
        EXPECT_TRUE(test::inUnprivilegedChild(refusedWithOneLine<load>, path));
        continue;
      }
      const Outcome o = load(path);
      const bool cutAfterHeaders = row.kind == Damage::Truncated && row.keep > 0.0;
      const bool onlyTheEndCut = row.kind == Damage::Truncated && row.keep >= 1.0;
      if (cut == Cut::LoadsWhenOnlyTheEndIsCut && onlyTheEndCut) {
        EXPECT_FALSE(o.refused);
      } else if (row.mustRefuse && !(cut == Cut::PlaysInPart && cutAfterHeaders)) {
        EXPECT_TRUE(o.refused);
      }
      EXPECT_TRUE(wellReported(o, path, report));
      if (afterLoad) afterLoad(path, o);
    }
  }

  std::string dir;
  int counter = 0;
};

// Sum of the red, green and blue bytes of the back buffer.
long frameSum() {
  std::vector<GLubyte> pixels(800 * 600 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  long sum = 0;
  for (GLubyte p : pixels) sum += p;
  return sum;
}

// Draws the model in white from a camera that sees the generated models
// whole; returns what reached the frame.
long drawnModel(const std::string& path) {
  Model3ds model(path, 0.0f, 10.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, 800.0 / 600.0, 0.5, 2000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -60.0f);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  model.update(2.0f);
  model.render();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return frameSum();
}

TEST_F(DamagedAssets, ModelsAreRefusedWholeOrLoadAndRefusedOnesDrawNothing) {
  const std::string source = test::runDir() + "/scenes/karhu.3ds";
  ASSERT_GT(drawnModel(source), 0) << "the undamaged model must show with this camera";
  runRows<loadModel>(source, ".3ds", Report::WhenRefused, Cut::Refused, [](const std::string& path, const Outcome& o) {
    testing::internal::CaptureStderr();
    const long drawn = drawnModel(path);
    testing::internal::GetCapturedStderr();
    if (o.refused) {
      EXPECT_EQ(drawn, 0) << "a refused model drew something";
    }
  });
}

bool modelRefusedWithOneLine(const std::string& path) { return refusedWithOneLine<loadModel>(path); }

// Offset of the first chunk with this id whose first child has childId; npos when none.
size_t chunkWithChild(const std::string& bytes, uint16_t id, uint16_t childId) {
  auto u16 = [&](size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
  };
  for (size_t at = 0; at + 14 <= bytes.size(); ++at) {
    if (u16(at) == id && u16(at + 6) == childId) return at;
  }
  return std::string::npos;
}

// A chunk of size 0 inside a chunk lib3ds walks made lib3ds read the same
// child forever (found by fuzzing, inside a material's colour). Such a file is
// refused at once, wherever the chunk sits.
TEST(DamagedModelChunks, AZeroSizeChunkInsideAWalkedChunkIsRefusedAtOnce) {
  struct Row {
    const char* name;
    uint16_t parent, child;
  };
  const Row rows[] = {
      {"colour inside a material's diffuse", LIB3DS_MAT_DIFFUSE, LIB3DS_COLOR_24},
      {"name inside a material", LIB3DS_MAT_ENTRY, LIB3DS_MAT_NAME},
      {"points inside a mesh", LIB3DS_N_TRI_OBJECT, LIB3DS_POINT_ARRAY},
      {"node id inside an object node", LIB3DS_OBJECT_NODE_TAG, LIB3DS_NODE_ID},
  };
  const std::string valid = test::readFile(test::runDir() + "/scenes/karhu.3ds");
  ASSERT_GT(valid.size(), 100u);
  const std::string dir = test::scratchDir();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string bytes = valid;
    const size_t parent = chunkWithChild(bytes, r.parent, r.child);
    ASSERT_NE(parent, std::string::npos) << "the generated model has no such chunk";
    for (int k = 0; k < 4; ++k) bytes[parent + 8 + k] = 0;  // the child's size
    const std::string path = dir + "/" + r.name + ".3ds";
    test::writeFile(path, bytes);
    EXPECT_TRUE(test::inUnprivilegedChild(modelRefusedWithOneLine, path));
  }
}

// lib3ds gives a node without a NODE_HDR chunk the parent id 0, so node 0
// without one is its own parent and lib3ds recursed until the stack ran out
// (found by fuzzing). The file is refused.
TEST(DamagedModelChunks, NodeZeroWithoutAHeaderIsRefused) {
  std::string bytes = test::readFile(test::runDir() + "/scenes/karhu.3ds");
  const size_t node = chunkWithChild(bytes, LIB3DS_OBJECT_NODE_TAG, LIB3DS_NODE_ID);
  ASSERT_NE(node, std::string::npos);
  ASSERT_EQ(bytes[node + 12], 0) << "the first object node is expected to be node 0";
  ASSERT_EQ(bytes[node + 13], 0);
  const size_t header = node + 6 + 8;  // after the 8-byte NODE_ID chunk
  ASSERT_EQ(static_cast<uint8_t>(bytes[header + 1]), LIB3DS_NODE_HDR >> 8);
  bytes[header] = static_cast<char>(0xFF);  // an id no reader knows: lib3ds skips the header
  const std::string path = test::scratchDir() + "/headless.3ds";
  test::writeFile(path, bytes);
  EXPECT_TRUE(test::inUnprivilegedChild(modelRefusedWithOneLine, path));
}

TEST_F(DamagedAssets, PicturesAreRefusedOrLoadAndRefusedOnesBindNothing) {
  runRows<loadPicture>(test::runDir() + "/scenes/ondri.png", ".png", Report::WhenRefused, Cut::LoadsWhenOnlyTheEndIsCut,
                       [](const std::string& path, const Outcome& o) {
                         if (!o.refused) return;
                         testing::internal::CaptureStderr();
                         Texture texture(path);
                         testing::internal::GetCapturedStderr();
                         texture.bind();
                         EXPECT_EQ(test::getInteger(GL_TEXTURE_BINDING_2D), 0);
                       });
}

TEST_F(DamagedAssets, MusicIsRefusedOrPlaysToAnEndAndDamageIsNamed) {
  runRows<playMusic>(test::runDir() + "/vorndemo.ogg", ".ogg", Report::Always, Cut::PlaysInPart);
}

}  // namespace
}  // namespace vorn
