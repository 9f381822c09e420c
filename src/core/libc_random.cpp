#include "core/libc_random.h"

#include <algorithm>

namespace orvane {

LibcRandom::LibcRandom(int32_t seed) {
  // r[0] = seed; r[i] = 16807 r[i-1] mod (2^31 - 1) for i < 31, computed as the
  // library does (Schrage's method); r[31..33] repeat r[0..2].
  int32_t r[34];
  r[0] = seed == 0 ? 1 : seed;
  for (int i = 1; i < 31; ++i) {
    const int32_t hi = r[i - 1] / 127773;
    const int32_t lo = r[i - 1] % 127773;
    int32_t word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    r[i] = word;
  }
  for (int i = 31; i < 34; ++i) r[i] = r[i - 31];
  // The ring starts at i = 34: r[3] .. r[33].
  for (int k = 0; k < kLag; ++k) state_[k] = static_cast<uint32_t>(r[k + 3]);
  oldest_ = 0;
  third_ = kLag - 3;
  // The library discards the first 310 terms.
  for (int i = 0; i < 310; ++i) Next();
}

void LibcRandom::Fill(int32_t* out, int count) {
  // The ring laid out oldest first with the new terms after it: each term
  // adds the one 31 back, read from memory, to the one 3 back, kept in a
  // register, so the chain of sums waits on no store.
  constexpr int kChunk = 256;
  uint32_t terms[kLag + kChunk];
  while (count > 0) {
    const int n = std::min(count, kChunk);
    std::rotate_copy(state_, state_ + oldest_, state_ + kLag, terms);
    uint32_t back3 = terms[kLag - 3], back2 = terms[kLag - 2], back1 = terms[kLag - 1];
    for (int k = 0; k < n; ++k) {
      const uint32_t value = terms[k] + back3;
      terms[kLag + k] = value;
      out[k] = static_cast<int32_t>(value >> 1);
      back3 = back2;
      back2 = back1;
      back1 = value;
    }
    std::copy(terms + n, terms + n + kLag, state_);
    oldest_ = 0;
    third_ = kLag - 3;
    out += n;
    count -= n;
  }
}

LibcRandom& ThermalSigns() {
  static LibcRandom signs;
  return signs;
}

}  // namespace orvane
