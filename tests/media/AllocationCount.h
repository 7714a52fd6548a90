#pragma once
// Counts the heap allocations made on the calling thread while a Counting
// scope is open: C++ new (replaced in MediaTestMain.cpp) and SDL's own
// allocations (SDL's memory functions, set there before SDL is first used).

#include <cstddef>

namespace alloccount {

struct Tally {
    std::size_t count = 0;    // allocations
    std::size_t largest = 0;  // largest single allocation, bytes
    std::size_t total = 0;    // bytes
};

// Starts counting on this thread (from zero); the destructor stops it.
class Counting {
  public:
    Counting();
    ~Counting();
    Counting(const Counting&) = delete;
    Counting& operator=(const Counting&) = delete;
    Tally tally() const;
};

}  // namespace alloccount
