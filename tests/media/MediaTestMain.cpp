// main() of the media tests: no Qt application is needed here. It counts heap
// allocations per thread (AllocationCount.h) by replacing C++ new and by
// giving SDL memory functions of its own before SDL is first used.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "AllocationCount.h"

namespace alloccount {
namespace {
thread_local bool active = false;
thread_local Tally current;

void note(std::size_t n) {
    if (!active) return;
    ++current.count;
    current.total += n;
    if (n > current.largest) current.largest = n;
}
}  // namespace

Counting::Counting() {
    current = Tally{};
    active = true;
}
Counting::~Counting() {
    active = false;
}
Tally Counting::tally() const {
    return current;
}

}  // namespace alloccount

void* operator new(std::size_t n) {
    alloccount::note(n);
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    alloccount::note(n);
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    alloccount::note(n);
    return std::malloc(n == 0 ? 1 : n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    alloccount::note(n);
    return std::malloc(n == 0 ? 1 : n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {
void* SDLCALL sdlMalloc(size_t n) {
    alloccount::note(n);
    return std::malloc(n);
}
void* SDLCALL sdlCalloc(size_t count, size_t size) {
    alloccount::note(count * size);
    return std::calloc(count, size);
}
void* SDLCALL sdlRealloc(void* p, size_t n) {
    alloccount::note(n);
    return std::realloc(p, n);
}
void SDLCALL sdlFree(void* p) {
    std::free(p);
}
}  // namespace

int main(int argc, char** argv) {
    SDL_SetMemoryFunctions(sdlMalloc, sdlCalloc, sdlRealloc, sdlFree);
    // Tests choose their driver; SDL's dummy one unless the run says otherwise.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
