// rand() and srand() with the GNU C library's sequence, for the builds whose
// C library is another (the browser's, Windows'). The spectrum pile draws its
// walk and its colours from rand(); with another generator it would grow
// differently from the Linux program's. This is glibc's additive feedback
// generator (r[i] = r[i-31] + r[i-3], output r[i] >> 1) seeded by its LCG;
// seed 1 when srand is never called.
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kLag = 31;
uint32_t ring[kLag];
int front = 3;  // ring[front] + ring[rear] gives the next value
int rear = 0;
bool seeded = false;

void seed(unsigned s) {
  int32_t r[kLag];
  r[0] = static_cast<int32_t>(s == 0 ? 1 : s);
  for (int i = 1; i < kLag; ++i) {
    // 16807 * r mod (2^31 - 1) without overflow (Schrage), as glibc computes it.
    const int32_t hi = r[i - 1] / 127773;
    const int32_t lo = r[i - 1] % 127773;
    int32_t word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    r[i] = word;
  }
  for (int i = 0; i < kLag; ++i) ring[i] = static_cast<uint32_t>(r[i]);
  front = 3;
  rear = 0;
  seeded = true;
  // glibc discards the first 310 values.
  for (int i = 0; i < 310; ++i) std::rand();
}

}  // namespace

extern "C" {

void srand(unsigned s) { seed(s); }

int rand(void) {
  if (!seeded) seed(1);
  ring[front] += ring[rear];
  const uint32_t result = ring[front] >> 1;
  if (++front >= kLag) front = 0;
  if (++rear >= kLag) rear = 0;
  return static_cast<int>(result);
}

}  // extern "C"
