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

// The partner search takes its signs in blocks: blocks of any size, short
// ones and ones longer than a fill's working chunk, mixed with single
// terms, continue the same sequence.
TEST(LibcRandom, FillContinuesTheSequenceWhateverTheBlocks) {
  std::srand(1);
  LibcRandom ours;
  int32_t block[700];
  for (int count : {1, 2, 3, 30, 31, 32, 192, 255, 256, 257, 700, 5}) {
    ours.Fill(block, count);
    for (int k = 0; k < count; ++k) ASSERT_EQ(block[k], std::rand()) << count << " term " << k;
    ASSERT_EQ(ours.Next(), std::rand()) << "after a block of " << count;
  }
}
