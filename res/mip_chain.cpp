// Mipmap levels as GLU builds them: a picture whose sides are not powers of
// two is first box-filtered to mipSide x mipSide in 32-bit floats (the same
// operations in the same order, so the same bytes), then every level is the
// rounded mean of 2 x 2 texels of the one above.
#include "res/mip_chain.h"

#include <cmath>
#include <cstring>

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

inline Channels texel(const unsigned char* p) {
  const IntChannels i = {p[0], p[1], p[2], p[3]};
  return __builtin_convertvector(i, Channels);
}

// Box-filters an inW x inH picture to outW x outH. The sum for one output
// texel runs in GLU's order: the first row of its box (left edge, inner
// texels, right edge), the last row, the left and right edges of the rows
// between (where GLU's edge pointers move one texel right for each row
// after the first), then the inner texels; the total over the box's area is
// truncated. A box's right edge may lie one texel past a row's end (with
// weight 0 or nearly so); GLU then reads the next row's first texel, and
// the caller provides kChannels readable bytes past the picture's end for
// the last row.
void boxScale(const unsigned char* in, int inW, int inH, unsigned char* out, int outW, int outH) {
  const std::size_t stride = static_cast<std::size_t>(inW) * kChannels;
  const float convx = static_cast<float>(inW) / outW;
  const float convy = static_cast<float>(inH) / outH;
  const float area = convx * convy;
  const std::vector<Span> columns = spans(inW, outW, false);
  const std::vector<Span> rows = spans(inH, outH, true);
  for (const Span& y : rows) {
    const unsigned char* rowStart = in + y.lowInt * stride;
    for (const Span& x : columns) {
      Channels totals = {0, 0, 0, 0};
      const unsigned char* first = rowStart + static_cast<std::size_t>(x.lowInt) * kChannels;
      const bool tall = y.highInt > y.lowInt;
      const bool wide = x.highInt > x.lowInt;
      if (tall && wide) {
        float rowWeight = 1 - y.lowFrac;
        const unsigned char* p = first;
        totals += texel(p) * (rowWeight * (1 - x.lowFrac));
        for (int l = x.lowInt + 1; l < x.highInt; ++l) totals += texel(p += kChannels) * rowWeight;
        p += kChannels;
        const unsigned char* right = p;
        totals += texel(p) * (rowWeight * x.highFrac);

        rowWeight = y.highFrac;
        p = in + static_cast<std::size_t>(x.lowInt) * kChannels + y.highInt * stride;
        totals += texel(p) * (rowWeight * (1 - x.lowFrac));
        for (int l = x.lowInt + 1; l < x.highInt; ++l) totals += texel(p += kChannels) * rowWeight;
        p += kChannels;
        totals += texel(p) * (rowWeight * x.highFrac);

        const unsigned char* left = first;
        for (int m = y.lowInt + 1; m < y.highInt; ++m) {
          left += stride;
          right += stride;
          totals += texel(left) * (1 - x.lowFrac) + texel(right) * x.highFrac;
          left += kChannels;
          right += kChannels;
        }
      } else if (tall) {
        const float colWeight = x.highFrac - x.lowFrac;
        const unsigned char* p = first;
        totals += texel(p) * ((1 - y.lowFrac) * colWeight);
        for (int m = y.lowInt + 1; m < y.highInt; ++m) totals += texel(p += stride) * colWeight;
        totals += texel(p + stride) * (colWeight * y.highFrac);
      } else if (wide) {
        const float rowWeight = y.highFrac - y.lowFrac;
        const unsigned char* p = first;
        totals += texel(p) * ((1 - x.lowFrac) * rowWeight);
        for (int l = x.lowInt + 1; l < x.highInt; ++l) totals += texel(p += kChannels) * rowWeight;
        totals += texel(p + kChannels) * (rowWeight * x.highFrac);
      } else {
        totals += texel(first) * ((y.highFrac - y.lowFrac) * (x.highFrac - x.lowFrac));
      }

      const unsigned char* body = first + kChannels + stride;
      for (int m = y.lowInt + 1; m < y.highInt; ++m, body += stride) {
        const unsigned char* p = body;
        for (int l = x.lowInt + 1; l < x.highInt; ++l, p += kChannels) totals += texel(p);
      }
      const IntChannels truncated = __builtin_convertvector(totals / area, IntChannels);
      for (int c = 0; c < kChannels; ++c) *out++ = static_cast<unsigned char>(truncated[c]);
    }
  }
}

// True when some box reaches a texel past a row's end (see boxScale).
bool readsPastRow(int inW, int outW) {
  for (const Span& x : spans(inW, outW, false))
    if ((x.highInt > x.lowInt ? x.highInt : x.lowInt) >= inW) return true;
  return false;
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
  unsigned char* next = storage_.get();

  if (scaled) {
    const unsigned char* source = rgba;
    std::unique_ptr<unsigned char[]> padded;
    if (readsPastRow(width, w)) {
      padded.reset(new unsigned char[levelBytes(width, height) + kChannels]());
      std::memcpy(padded.get(), rgba, levelBytes(width, height));
      source = padded.get();
    }
    boxScale(source, width, height, next, w, h);
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
