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
