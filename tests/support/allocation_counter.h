// Counts the dynamic allocations of a test or benchmark program, so that it
// can show that a hot path allocates nothing once warmed up.  The global
// allocation functions are replaced in allocation_counter.cpp, which every
// test and benchmark program links.
#pragma once

namespace orvane_test {

// Allocations made through operator new since the program started.
long Allocations();

}  // namespace orvane_test
