#include "platform/system/Random.h"

#include <chrono>

namespace platform {

void MersenneRandom::Randomize() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    engine_.seed(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

}  // namespace platform
