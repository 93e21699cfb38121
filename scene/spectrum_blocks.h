// SpectrumBlocks: a Node that grows a pile of boxes while the music plays.
// At most every 0.05 s of entry-local time it reads spectrum bands 1 to 3;
// when they sum above 0.7 a walker steps on a 256 x 256 grid and a new box
// flies from the object's origin onto the top of the column under it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "scene/geometry.h"
#include "scene/material.h"
#include "scene/node.h"

namespace vorn {

class MusicPlayer;

constexpr int kGridSize = 256;
constexpr int kPaletteSize = 16;
constexpr float kSpectrumCheckInterval = 0.05f;
constexpr float kSpectrumThreshold = 0.7f;

class SpectrumBlocks : public Node {
 public:
  // player may be null: the spectrum is a query of the sound library, not of a player.
  explicit SpectrumBlocks(MusicPlayer* player);

  void update(float t) override;
  void render() override;
  void spawnBlock(float t);

  // Test hook: where update reads the spectrum from (default: the sound library).
  std::function<const float*()> spectrumSource;

  uint8_t grid[kGridSize][kGridSize] = {};  // boxes per column, [x + 128][z + 128], wrapping
  MusicPlayer* player = nullptr;            // not owned; may be null
  std::unique_ptr<Material> palette[kPaletteSize];
  std::unique_ptr<GeometryGenerator> geometry;
  int walkX = 0;
  int walkY = 0;
  int walkZ = 0;
  float lastCheckTime = 0.0f;
};

}  // namespace vorn
