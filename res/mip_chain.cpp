// Mipmap levels as GLU builds them: a picture whose sides are not powers of
// two is first box-filtered to mipSide x mipSide in 32-bit floats (the same
// operations in the same order, so the same bytes), then every level is the
// rounded mean of 2 x 2 texels of the one above.
#include "res/mip_chain.h"

#include <algorithm>
#include <cmath>

#include "platform/prefault.h"

namespace vorn {

namespace {

constexpr int kChannels = 4;

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// One level down from a w x h level (not both 1); out gets (w/2 or 1) x (h/2 or 1).
void halve(const unsigned char* in, int w, int h, unsigned char* out) {
  const std::size_t row = static_cast<std::size_t>(w) * kChannels;
  if (w == 1 || h == 1) {
    // A single row or column: pairs along it, rounded down.
    const int pairs = (w == 1 ? h : w) / 2;
    for (int i = 0; i < pairs; ++i)
      for (int c = 0; c < kChannels; ++c)
        *out++ = static_cast<unsigned char>((in[(2 * i) * kChannels + c] + in[(2 * i + 1) * kChannels + c]) / 2);
    return;
  }
  for (int y = 0; y < h / 2; ++y) {
    const unsigned char* top = in + 2 * y * row;
    const unsigned char* bottom = top + row;
    for (int x = 0; x < w / 2; ++x)
      for (int c = 0; c < kChannels; ++c) {
        const int i = 2 * x * kChannels + c;
        *out++ = static_cast<unsigned char>((top[i] + top[i + kChannels] + bottom[i] + bottom[i + kChannels] + 2) / 4);
      }
  }
}

// One output texel's extent along a side, in input texels: from low to high,
// each a whole index plus a fraction in [0, 1] (1 is kept, not carried).
struct Span {
  int lowInt;
  float lowFrac;
  int highInt;
  float highFrac;
};

// The spans of `out` texels covering `in`, stepped as GLU steps them: the
// step's whole and fractional parts are added separately, the fraction
// carried only once it exceeds 1. Rows (clampHigh) keep high below `in`.
std::vector<Span> spans(int in, int out, bool clampHigh) {
  const float step = static_cast<float>(in) / out;
  const int stepInt = static_cast<int>(std::floor(static_cast<double>(step)));
  const float stepFrac = step - stepInt;
  std::vector<Span> result(static_cast<std::size_t>(out));
  int lowInt = 0, highInt = stepInt;
  float lowFrac = 0, highFrac = stepFrac;
  for (Span& s : result) {
    if (clampHigh && highInt >= in) highInt = in - 1;
    s = {lowInt, lowFrac, highInt, highFrac};
    lowInt = highInt;
    lowFrac = highFrac;
    highInt += stepInt;
    highFrac += stepFrac;
    if (highFrac > 1) {
      highFrac -= 1.0f;
      highInt++;
    }
  }
  return result;
}

// The four channels of a texel side by side; the arithmetic on them is the
// same float operation per channel as one channel at a time.
typedef float Channels __attribute__((vector_size(16)));
typedef int IntChannels __attribute__((vector_size(16)));

// The picture's texels as floats, a few rows at a time: row r holds the
// texels from the start of picture row r on, running on into the next rows
// (a box's edge can read past a row's end, as GLU reads its picture as one
// array) and 0 past the picture's end. Each row is converted once while it
// is in use, and every box reads from here.
class FloatRows {
 public:
  FloatRows(const unsigned char* picture, int width, int height, int rowsAtOnce, int length)
      : picture_(picture),
        texels_(static_cast<std::size_t>(width) * height),
        width_(width),
        length_(length),
        slots_(static_cast<std::size_t>(rowsAtOnce) * length),
        held_(static_cast<std::size_t>(rowsAtOnce), -1) {}

  const Channels* row(int r) {
    const std::size_t slot = static_cast<std::size_t>(r) % held_.size();
    Channels* texels = &slots_[slot * length_];
    if (held_[slot] != r) {
      held_[slot] = r;
      const std::size_t first = static_cast<std::size_t>(r) * width_;
      for (int x = 0; x < length_; ++x) {
        const std::size_t t = first + x;
        const unsigned char* p = picture_ + t * kChannels;
        const IntChannels i = t < texels_ ? IntChannels{p[0], p[1], p[2], p[3]} : IntChannels{0, 0, 0, 0};
        texels[x] = __builtin_convertvector(i, Channels);
      }
    }
    return texels;
  }

 private:
  const unsigned char* picture_;
  std::size_t texels_;
  int width_;
  int length_;  // texels held per row
  std::vector<Channels> slots_;
  std::vector<int> held_;  // the row in each slot, -1 for none
};

// Box-filters an inW x inH picture to outW x outH. The sum for one output
// texel runs in GLU's order: the first row of its box (left edge, inner
// texels, right edge), the last row, the left and right edges of the rows
// between (where GLU's edge pointers move one texel right for each row
// after the first), then the inner texels; the total over the box's area is
// truncated.
void boxScale(const unsigned char* in, int inW, int inH, unsigned char* out, int outW, int outH) {
  const float convx = static_cast<float>(inW) / outW;
  const float convy = static_cast<float>(inH) / outH;
  const float area = convx * convy;
  const std::vector<Span> columns = spans(inW, outW, false);
  const std::vector<Span> rows = spans(inH, outH, true);
  int tallest = 1, furthest = 0;
  for (const Span& y : rows) tallest = std::max(tallest, y.highInt - y.lowInt + 1);
  for (const Span& x : columns) furthest = std::max(furthest, x.highInt);
  // The edge reads of a box's middle rows move right by one texel a row.
  FloatRows picture(in, inW, inH, tallest, furthest + tallest);

  for (const Span& y : rows) {
    const Channels* top = picture.row(y.lowInt);
    const bool tall = y.highInt > y.lowInt;
    for (const Span& x : columns) {
      Channels totals = {0, 0, 0, 0};
      const bool wide = x.highInt > x.lowInt;
      if (tall && wide) {
        const Channels* bottom = picture.row(y.highInt);
        float rowWeight = 1 - y.lowFrac;
        totals += top[x.lowInt] * (rowWeight * (1 - x.lowFrac));
        for (int l = x.lowInt + 1; l < x.highInt; ++l) totals += top[l] * rowWeight;
        totals += top[x.highInt] * (rowWeight * x.highFrac);

        rowWeight = y.highFrac;
        totals += bottom[x.lowInt] * (rowWeight * (1 - x.lowFrac));
        for (int l = x.lowInt + 1; l < x.highInt; ++l) totals += bottom[l] * rowWeight;
        totals += bottom[x.highInt] * (rowWeight * x.highFrac);

        for (int m = y.lowInt + 1, drift = 0; m < y.highInt; ++m, ++drift) {
          const Channels* middle = picture.row(m);
          totals += middle[x.lowInt + drift] * (1 - x.lowFrac) + middle[x.highInt + drift] * x.highFrac;
        }
      } else if (tall) {
        const float colWeight = x.highFrac - x.lowFrac;
        totals += top[x.lowInt] * ((1 - y.lowFrac) * colWeight);
        for (int m = y.lowInt + 1; m < y.highInt; ++m) totals += picture.row(m)[x.lowInt] * colWeight;
        totals += picture.row(y.highInt)[x.lowInt] * (colWeight * y.highFrac);
      } else if (wide) {
        const float rowWeight = y.highFrac - y.lowFrac;
        totals += top[x.lowInt] * ((1 - x.lowFrac) * rowWeight);
        for (int l = x.lowInt + 1; l < x.highInt; ++l) totals += top[l] * rowWeight;
        totals += top[x.highInt] * (rowWeight * x.highFrac);
      } else {
        totals += top[x.lowInt] * ((y.highFrac - y.lowFrac) * (x.highFrac - x.lowFrac));
      }

      for (int m = y.lowInt + 1; m < y.highInt; ++m) {
        const Channels* middle = picture.row(m);
        for (int l = x.lowInt + 1; l < x.highInt; ++l) totals += middle[l];
      }
      const IntChannels truncated = __builtin_convertvector(totals / area, IntChannels);
      for (int c = 0; c < kChannels; ++c) *out++ = static_cast<unsigned char>(truncated[c]);
    }
  }
}

std::size_t levelBytes(int w, int h) { return static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * kChannels; }

}  // namespace

int mipSide(int side) {
  if (side <= 0) return 0;
  int power = 1;
  for (unsigned v = static_cast<unsigned>(side);; v >>= 1, power *= 2) {
    if (v == 1) return power;
    if (v == 3) return power * 4;
  }
}

MipChain::MipChain(int width, int height, const unsigned char* rgba) {
  int w = mipSide(width), h = mipSide(height);
  const bool scaled = !(isPowerOfTwo(width) && isPowerOfTwo(height));
  std::size_t total = scaled ? levelBytes(w, h) : 0;
  for (int lw = w, lh = h; lw > 1 || lh > 1;) {
    lw = lw > 1 ? lw / 2 : 1;
    lh = lh > 1 ? lh / 2 : 1;
    total += levelBytes(lw, lh);
  }
  storage_.reset(new unsigned char[total]);
  prefault(storage_.get(), total);
  unsigned char* next = storage_.get();

  if (scaled) {
    boxScale(rgba, width, height, next, w, h);
    levels_.push_back({w, h, next});
    next += levelBytes(w, h);
  } else {
    levels_.push_back({w, h, rgba});
  }
  while (w > 1 || h > 1) {
    halve(levels_.back().rgba, w, h, next);
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
    levels_.push_back({w, h, next});
    next += levelBytes(w, h);
  }
}

}  // namespace vorn
