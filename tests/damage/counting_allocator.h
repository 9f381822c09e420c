// Counts the allocations of the test program, to check that hot paths do
// not allocate once warmed up.  Include it in exactly one source of a test
// program: it replaces the global allocation functions.
#pragma once

#include <cstdlib>
#include <new>

namespace orvane_test {
inline long allocations = 0;
}

void* operator new(std::size_t size) {
  ++orvane_test::allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++orvane_test::allocations;
  return std::malloc(size == 0 ? 1 : size);
}
// The compiler cannot tell that these replace the global functions, whose
// memory comes from malloc above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop
