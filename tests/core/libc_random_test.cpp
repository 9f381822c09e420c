#include "core/libc_random.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace orvane;

// The thermal signs follow the sequence that the C library's rand() gives
// without a seed (the same as after srand(1)), term by term.
TEST(LibcRandom, ReproducesTheUnseededLibrarySequence) {
  std::srand(1);
  LibcRandom ours;
  for (int i = 0; i < 200000; ++i) ASSERT_EQ(ours.Next(), std::rand()) << "term " << i;
}

// A parallel run seeds one sequence per ion: each is the library's
// sequence after srand(seed), seed 0 giving that of seed 1.
TEST(LibcRandom, ReproducesTheSeededLibrarySequences) {
  for (int32_t seed : {0, 2, 12345, 2147483646}) {
    std::srand(static_cast<unsigned>(seed));
    LibcRandom ours(seed);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(ours.Next(), std::rand()) << "seed " << seed;
  }
}
