// Counts the allocations of the target test program, so that a test can
// check that a hot path no longer allocates once warmed up.  The global
// allocation functions are replaced in allocation_counter.cpp.
#pragma once

namespace orvane_test {

long Allocations();

}  // namespace orvane_test
