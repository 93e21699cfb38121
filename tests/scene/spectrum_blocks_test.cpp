// SpectrumBlocks with an injected spectrum: when it checks, when it adds a
// box, where the walker goes, how a box is keyed, and how the pile is drawn.
// The rand sequence is predicted by seeding it here; the object never seeds it.
#include "scene/spectrum_blocks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/sound.h"
#include "res/music_player.h"
#include "scene/generated_mesh.h"
#include "tests/scene/ortho_view.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

// The four rand values one box uses, as the object will draw them after srand(seed).
struct Draw {
  int dx;
  int dz;
  int colour;
};

Draw predict(unsigned seed) {
  std::srand(seed);
  const int dx = std::rand() % 3 - 1;
  std::rand();
  const int dz = std::rand() % 3 - 1;
  const int colour = std::rand() % 16;
  return {dx, dz, colour};
}

// Seeds rand so that the next box steps by (dx, dz); returns that box's draw.
Draw seedFor(int dx, int dz) {
  for (unsigned seed = 1; seed < 100000; ++seed) {
    const Draw d = predict(seed);
    if (d.dx == dx && d.dz == dz) {
      std::srand(seed);
      return d;
    }
  }
  ADD_FAILURE() << "no seed steps by " << dx << ", " << dz;
  return {};
}

GeneratedMesh* newestBox(SpectrumBlocks& blocks) { return dynamic_cast<GeneratedMesh*>(blocks.firstChild); }

int boxCount(const SpectrumBlocks& blocks) {
  int n = 0;
  for (const Node* b = blocks.firstChild; b; b = b->nextSibling) ++n;
  return n;
}

// A spectrum whose bands 1 to 3 are set; every update fetch is counted.
struct InjectedSpectrum {
  std::vector<float> bands = std::vector<float>(kSpectrumBands, 0.0f);
  int fetches = 0;
  void attach(SpectrumBlocks& blocks) {
    blocks.spectrumSource = [this] {
      ++fetches;
      return bands.data();
    };
  }
  void setLow(float b1, float b2, float b3) {
    bands[1] = b1;
    bands[2] = b2;
    bands[3] = b3;
  }
};

void expectKey(const Key& key, float time, float x, float y, float z) {
  EXPECT_FLOAT_EQ(key.time, time);
  EXPECT_FLOAT_EQ(key.x, x);
  EXPECT_FLOAT_EQ(key.y, y);
  EXPECT_FLOAT_EQ(key.z, z);
}

TEST(SpectrumBlocks, StartsEmptyWithItsPalette) {
  SpectrumBlocks blocks(nullptr);
  EXPECT_EQ(blocks.firstChild, nullptr);
  EXPECT_EQ(blocks.player, nullptr);
  EXPECT_EQ(blocks.walkX, 0);
  EXPECT_EQ(blocks.walkY, 0);
  EXPECT_EQ(blocks.walkZ, 0);
  EXPECT_EQ(blocks.lastCheckTime, 0.0f);
  ASSERT_NE(blocks.geometry, nullptr);
  for (const auto& row : blocks.grid) {
    for (uint8_t n : row) ASSERT_EQ(n, 0);
  }
  for (int i = 0; i < kPaletteSize; ++i) {
    SCOPED_TRACE(i);
    const Material& m = *blocks.palette[i];
    EXPECT_FLOAT_EQ(m.colour.r, i / 16.0f);
    EXPECT_FLOAT_EQ(m.colour.g, i / 32.0f);
    EXPECT_FLOAT_EQ(m.colour.b, 0.2f);
    EXPECT_FLOAT_EQ(m.colour.a, 0.4f);
    for (int f = 0; f < kMaterialFlagCount; ++f) {
      const bool set = f == FlatShade || f == AdditiveBlend || f == AlphaBlend;
      ASSERT_EQ(m.flags[f], set ? 1 : 0) << f;
    }
    for (const Texture* t : m.textures) EXPECT_EQ(t, nullptr);
  }
}

struct CheckRow {
  const char* name;
  float lastCheck;
  float t;
  float b1, b2, b3;
  bool addsBox;
  float lastCheckAfter;
};

TEST(SpectrumBlocks, ChecksOnlyAfterMoreThanFiftyMillisecondsAndOnlyAboveThreshold) {
  const float justAbove = std::nextafter(0.7f, 1.0f);
  const CheckRow rows[] = {
      {"0.03 s after a check: not examined", 1.0f, 1.03f, 1.0f, 1.0f, 1.0f, false, 1.0f},
      {"exactly 0.05 s after: no check", 0.0f, 0.05f, 1.0f, 1.0f, 1.0f, false, 0.0f},
      {"0.06 s after, loud: a box", 0.0f, 0.06f, 0.3f, 0.3f, 0.3f, true, 0.06f},
      {"0.06 s after, sum exactly 0.7: checked, no box", 0.0f, 0.06f, 0.7f, 0.0f, 0.0f, false, 0.06f},
      {"0.06 s after, sum just above 0.7", 0.0f, 0.06f, justAbove, 0.0f, 0.0f, true, 0.06f},
      {"quiet passage", 2.0f, 2.5f, 0.2f, 0.2f, 0.2f, false, 2.5f},
      {"band 0 is not read", 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, false, 1.0f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SpectrumBlocks blocks(nullptr);
    InjectedSpectrum spectrum;
    spectrum.attach(blocks);
    spectrum.setLow(row.b1, row.b2, row.b3);
    spectrum.bands[0] = 1.0f;
    spectrum.bands[4] = 1.0f;
    blocks.lastCheckTime = row.lastCheck;
    const Draw step = seedFor(1, -1);

    blocks.update(row.t);

    EXPECT_EQ(spectrum.fetches, 1);  // fetched at every update, checked or not
    EXPECT_EQ(boxCount(blocks), row.addsBox ? 1 : 0);
    EXPECT_EQ(blocks.lastCheckTime, row.lastCheckAfter);
    EXPECT_EQ(blocks.walkX, row.addsBox ? step.dx : 0);
    EXPECT_EQ(blocks.walkZ, row.addsBox ? step.dz : 0);
  }
}

TEST(SpectrumBlocks, AddsAtMostOneBoxPerCheck) {
  SpectrumBlocks blocks(nullptr);
  InjectedSpectrum spectrum;
  spectrum.attach(blocks);
  spectrum.setLow(1.0f, 1.0f, 1.0f);
  // Frames every 0.02 s for one second: a check every third frame.
  for (int frame = 1; frame <= 50; ++frame) blocks.update(frame * 0.02f);
  EXPECT_EQ(boxCount(blocks), 16);
  EXPECT_EQ(spectrum.fetches, 50);
  // A long frame still adds only one box.
  blocks.update(5.0f);
  EXPECT_EQ(boxCount(blocks), 17);
}

TEST(SpectrumBlocks, FirstBoxLandsNextToTheOriginAndIsKeyedToFlyThere) {
  SpectrumBlocks blocks(nullptr);
  const Draw d = seedFor(-1, 1);
  blocks.spawnBlock(3.0f);

  GeneratedMesh* box = newestBox(blocks);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->getFormat(), GL_T2F_N3F_V3F);
  EXPECT_EQ(box->vertexCount, 36);
  EXPECT_EQ(box->material, blocks.palette[d.colour].get());
  EXPECT_EQ(blocks.walkY, 0);
  EXPECT_EQ(blocks.grid[128 - 1][128 + 1], 1);

  ASSERT_EQ(box->positionTrack.keyCount(), 2);
  ASSERT_EQ(box->rotationTrack.keyCount(), 2);
  ASSERT_EQ(box->scaleTrack.keyCount(), 2);
  expectKey(box->positionTrack.key(0), 1.0f, 0.0f, 0.0f, 0.0f);
  expectKey(box->rotationTrack.key(0), 1.0f, 0.0f, 0.0f, 0.0f);
  expectKey(box->scaleTrack.key(0), 1.0f, 0.0f, 0.0f, 0.0f);
  expectKey(box->positionTrack.key(1), 7.0f, -2.0f, 0.0f, 2.0f);
  expectKey(box->rotationTrack.key(1), 7.0f, 0.0f, 90.0f, 0.0f);
  expectKey(box->scaleTrack.key(1), 7.0f, 1.0f, 1.0f, 1.0f);

  // A second box on the same column stacks on the first.
  seedFor(0, 0);
  blocks.spawnBlock(3.5f);
  EXPECT_EQ(boxCount(blocks), 2);
  EXPECT_EQ(blocks.walkY, 1);
  expectKey(newestBox(blocks)->positionTrack.key(1), 7.5f, -2.0f, 2.0f, 2.0f);
  EXPECT_EQ(newestBox(blocks)->nextSibling, box);  // newest first
  EXPECT_EQ(blocks.grid[128 - 1][128 + 1], 2);
}

struct EdgeRow {
  const char* name;
  int startX, startZ;
  int dx, dz;
  int endX, endZ;
};

TEST(SpectrumBlocks, WalkerStaysOnTheGridEdge) {
  const EdgeRow rows[] = {
      {"beyond x = 127", 127, 5, 1, 0, 127, 5},         {"below x = -128", -128, 5, -1, 0, -128, 5},
      {"beyond z = 127", 5, 127, 0, 1, 5, 127},         {"below z = -128", 5, -128, 0, -1, 5, -128},
      {"into the corner", 127, -128, 1, -1, 127, -128}, {"away from the edge", 127, -128, -1, 1, 126, -127},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SpectrumBlocks blocks(nullptr);
    blocks.walkX = row.startX;
    blocks.walkZ = row.startZ;
    seedFor(row.dx, row.dz);
    blocks.spawnBlock(0.0f);
    EXPECT_EQ(blocks.walkX, row.endX);
    EXPECT_EQ(blocks.walkZ, row.endZ);
    EXPECT_EQ(blocks.grid[row.endX + 128][row.endZ + 128], 1);
    const Key& rest = newestBox(blocks)->positionTrack.key(1);
    EXPECT_FLOAT_EQ(rest.x, 2.0f * row.endX);
    EXPECT_FLOAT_EQ(rest.z, 2.0f * row.endZ);
  }
}

TEST(SpectrumBlocks, TheTwoHundredFiftySixthBoxOnAColumnWrapsItsCounter) {
  SpectrumBlocks blocks(nullptr);
  blocks.grid[128][128] = 255;
  seedFor(0, 0);
  blocks.spawnBlock(0.0f);
  EXPECT_EQ(blocks.walkY, 255);
  EXPECT_FLOAT_EQ(newestBox(blocks)->positionTrack.key(1).y, 510.0f);
  EXPECT_EQ(blocks.grid[128][128], 0);

  seedFor(0, 0);
  blocks.spawnBlock(0.1f);
  EXPECT_EQ(blocks.walkY, 0);
  EXPECT_FLOAT_EQ(newestBox(blocks)->positionTrack.key(1).y, 0.0f);
  EXPECT_EQ(blocks.grid[128][128], 1);
}

TEST(SpectrumBlocks, BoxMadeAtTenShowsHalfScaleThenRestsFromFourteen) {
  SpectrumBlocks blocks(nullptr);
  InjectedSpectrum spectrum;
  spectrum.attach(blocks);
  spectrum.setLow(1.0f, 0.0f, 0.0f);
  seedFor(1, 1);
  blocks.update(10.0f);
  ASSERT_EQ(boxCount(blocks), 1);
  const GeneratedMesh* box = newestBox(blocks);
  // Updated in the same call: one third of the way through its keys.
  EXPECT_NEAR(box->scale.x, 0.5f, 1e-5f);
  EXPECT_NEAR(box->scale.y, 0.5f, 1e-5f);
  EXPECT_NEAR(box->rotation.y, 45.0f, 1e-3f);
  EXPECT_NEAR(box->position.x, 1.0f, 1e-5f);
  EXPECT_NEAR(box->position.z, 1.0f, 1e-5f);

  spectrum.setLow(0.0f, 0.0f, 0.0f);  // quiet from here on: no more boxes
  for (float t = 10.0f; t < 16.0f; t += 1.0f / 60.0f) blocks.update(t);
  blocks.update(14.0f);
  blocks.update(20.0f);
  EXPECT_EQ(boxCount(blocks), 1);
  EXPECT_NEAR(box->scale.x, 1.0f, 1e-3f);
  EXPECT_NEAR(box->rotation.y, 90.0f, 0.1f);
  EXPECT_NEAR(box->position.x, 2.0f, 1e-3f);
  EXPECT_NEAR(box->position.y, 0.0f, 1e-6f);
  EXPECT_NEAR(box->position.z, 2.0f, 1e-3f);
}

TEST(SpectrumBlocks, WithoutAHookReadsTheSoundLibraryWhichIsSilentWithoutMusic) {
  ASSERT_EQ(musicPlayer, nullptr);  // as while the production is built
  SpectrumBlocks blocks(nullptr);
  blocks.update(1.0f);
  EXPECT_EQ(blocks.lastCheckTime, 1.0f);
  EXPECT_EQ(boxCount(blocks), 0);

  blocks.spectrumSource = [] { return static_cast<const float*>(nullptr); };  // no array: silence
  blocks.update(2.0f);
  EXPECT_EQ(blocks.lastCheckTime, 2.0f);
  EXPECT_EQ(boxCount(blocks), 0);
}

using SpectrumBlocksDrawTest = test::OrthoViewTest;
using test::lit;

TEST_F(SpectrumBlocksDrawTest, DrawsTheBoxesInItsOwnSpaceAndRestoresTheState) {
  SpectrumBlocks blocks(nullptr);
  blocks.setPosition(-4.0f, 0.0f, 0.0f);
  blocks.setScale(1.0f, 2.0f, 1.0f);
  seedFor(1, 0);
  blocks.spawnBlock(0.0f);  // rests at object-space x = 2: scene x = -2, 2 x 4 tall
  auto sibling = std::make_unique<GeneratedMesh>();
  sibling->setFormat(GL_T2F_N3F_V3F);
  GeometryGenerator().addBox(*sibling, 1.0f, 1.0f, 1.0f);
  sibling->setMaterial(blocks.palette[15].get());
  sibling->setPosition(6.0f, 0.0f, 0.0f);
  blocks.nextSibling = sibling.release();  // owned by blocks from here

  const auto depths = test::stackDepths();
  const auto modelview = test::getMatrix(GL_MODELVIEW_MATRIX);
  glMatrixMode(GL_PROJECTION);  // render must still move the model-view matrix, and hand this mode back
  blocks.render();

  EXPECT_TRUE(depths == test::stackDepths());
  EXPECT_EQ(modelview, test::getMatrix(GL_MODELVIEW_MATRIX));
  EXPECT_EQ(test::getInteger(GL_MATRIX_MODE), GL_PROJECTION);
  glMatrixMode(GL_MODELVIEW);
  EXPECT_EQ(test::getInteger(GL_BLEND), 0);  // the boxes' additive blending ends with the pop

  EXPECT_TRUE(lit(-2.0f, 0.0f));
  EXPECT_TRUE(lit(-2.0f, 1.8f));  // object scale y 2 stretches the box
  EXPECT_FALSE(lit(-2.0f, 2.3f));
  EXPECT_FALSE(lit(-4.0f, 0.0f));  // the object's origin has no box of its own
  EXPECT_TRUE(lit(6.0f, 0.0f));    // the sibling is drawn outside the object's transform
  EXPECT_FALSE(lit(6.0f, 1.5f));
}

}  // namespace
}  // namespace vorn
