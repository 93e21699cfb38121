// SpectrumBlocks: the spectrum check, the random walk on the column grid and
// the keyed boxes. Boxes are GeneratedMesh children; they draw themselves.
#include "scene/spectrum_blocks.h"

#include <GL/gl.h>

#include <cstdlib>

#include "res/music_player.h"
#include "scene/generated_mesh.h"

namespace vorn {

namespace {

constexpr int kGridHalf = kGridSize / 2;
constexpr int kWalkMin = -kGridHalf;
constexpr int kWalkMax = kGridHalf - 1;
constexpr float kBoxSpacing = 2.0f;  // a box's edge: neighbours and stacked boxes touch
constexpr float kBoxHalfSize = 1.0f;
constexpr float kFlightLead = 2.0f;    // seconds before creation at which the flight starts
constexpr float kFlightRest = 4.0f;    // seconds after creation at which the box rests
constexpr float kRestingTurn = 90.0f;  // degrees about y at rest
constexpr float kRedStep = 0.0625f;
constexpr float kGreenStep = 0.03125f;
constexpr float kPaletteBlue = 0.2f;
constexpr float kPaletteAlpha = 0.4f;

// A step of -1, 0 or +1 from one rand value.
int randomStep() { return std::rand() % 3 - 1; }

}  // namespace

SpectrumBlocks::SpectrumBlocks(MusicPlayer* owner) : player(owner) {
  lastCheckTime = 0.0f;
  geometry = std::make_unique<GeometryGenerator>();
  for (int i = 0; i < kPaletteSize; ++i) {
    auto material = std::make_unique<Material>();
    const float step = static_cast<float>(i);
    material->setColour(step * kRedStep, step * kGreenStep, kPaletteBlue, kPaletteAlpha);
    material->setFlag(FlatShade, 1);
    material->setFlag(AdditiveBlend, 1);
    material->setFlag(AlphaBlend, 1);
    palette[i] = std::move(material);
  }
  walkX = walkY = walkZ = 0;
}

void SpectrumBlocks::update(float t) {
  // The spectrum is a query of the sound library, valid with or without a player.
  const float* s = spectrumSource ? spectrumSource() : MusicPlayer::spectrum();
  if (t - lastCheckTime > kSpectrumCheckInterval) {
    // A missing array counts as silence.
    if (s && s[3] + s[2] + s[1] > kSpectrumThreshold) spawnBlock(t);
    lastCheckTime = t;
  }
  Node::update(t);
}

void SpectrumBlocks::render() {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_MODELVIEW);  // the matrix mode returns with the attribute pop
  glPushMatrix();
  applyTransform();
  if (firstChild) firstChild->render();
  glPopMatrix();
  glPopAttrib();
  if (nextSibling) nextSibling->render();
}

void SpectrumBlocks::spawnBlock(float t) {
  const int dx = randomStep();
  std::rand();  // drawn and discarded: the walker has no vertical step
  const int dz = randomStep();

  walkX += dx;
  walkY = 0;
  walkZ += dz;
  if (walkX < kWalkMin) walkX = kWalkMin;
  if (walkZ < kWalkMin) walkZ = kWalkMin;
  if (walkX > kWalkMax) walkX = kWalkMax;
  if (walkZ > kWalkMax) walkZ = kWalkMax;

  uint8_t& column = grid[walkX + kGridHalf][walkZ + kGridHalf];
  if (column > 0) walkY = column;

  auto* box = new GeneratedMesh();  // owned by this node through the child list
  box->setFormat(GL_T2F_N3F_V3F);
  box->attachTo(*this);

  box->setPosition(0.0f, 0.0f, 0.0f);
  box->setRotation(0.0f, 0.0f, 0.0f);
  box->setScale(0.0f, 0.0f, 0.0f);
  box->setKeyTime(t - kFlightLead);
  box->storeKeys(1, 1, 1);
  box->setPosition(static_cast<float>(walkX) * kBoxSpacing, static_cast<float>(walkY) * kBoxSpacing,
                   static_cast<float>(walkZ) * kBoxSpacing);
  box->setRotation(0.0f, kRestingTurn, 0.0f);
  box->setScale(1.0f, 1.0f, 1.0f);
  box->setKeyTime(t + kFlightRest);
  box->storeKeys(1, 1, 1);

  box->setMaterial(palette[std::rand() % kPaletteSize].get());
  geometry->addBox(*box, kBoxHalfSize, kBoxHalfSize, kBoxHalfSize);
  ++column;  // 8-bit: the 256th box on a column wraps it to 0
}

}  // namespace vorn
