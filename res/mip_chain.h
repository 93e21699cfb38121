// The mipmap levels of an RGBA picture, computed on the CPU with the same
// arithmetic as GLU's gluBuild2DMipmaps, so that any thread can build them and
// the GL thread only uploads. No GL here.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace vorn {

// The power of two GLU resamples a side to: the nearest one, where a side
// counts as its top two bits (600 -> 512, 768 and 800 -> 1024). 0 for 0.
int mipSide(int side);

struct MipLevel {
  int width;
  int height;
  const unsigned char* rgba;  // width * height * 4 bytes, rows without padding
};

// Level 0 has both sides powers of two (mipSide of the picture's); each later
// level halves them, a side stopping at 1, down to 1 x 1.
class MipChain {
 public:
  // Builds from a width * height RGBA picture (rows without padding). When
  // the sides already are powers of two, level 0 is the picture itself and
  // must outlive the chain; otherwise the picture may go once this returns.
  MipChain(int width, int height, const unsigned char* rgba);
  MipChain(const MipChain&) = delete;
  MipChain& operator=(const MipChain&) = delete;

  int levelCount() const { return static_cast<int>(levels_.size()); }
  const MipLevel& level(int n) const { return levels_[static_cast<std::size_t>(n)]; }

 private:
  std::unique_ptr<unsigned char[]> storage_;  // every level this chain computed, back to back
  std::vector<MipLevel> levels_;
};

}  // namespace vorn
