// Counts the dynamic allocations of the test program, so that a test can
// show that a stretch of code allocates nothing.
#pragma once

namespace engine_test {

// Allocations made through operator new since the program started.
long AllocationCount();

}  // namespace engine_test
