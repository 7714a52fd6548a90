#pragma once
// The random number service: seeded once from the clock, numbers uniform in
// [0, 1). A seam so that tests decide every number drawn.

#include <cstdint>
#include <random>

namespace platform {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual void Randomize() = 0;  // seed from the clock
    virtual float Rnd() = 0;       // next number in [0, 1)
};

class MersenneRandom final : public RandomSource {
  public:
    explicit MersenneRandom(std::uint32_t seed = 1) : engine_(seed) {}
    void Randomize() override;
    float Rnd() override {
        // 24 random bits fill a float's mantissa exactly, so 1.0 can never
        // come out (std::generate_canonical<float> can round up to it).
        return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
    }
    void seed(std::uint32_t s) { engine_.seed(s); }

  private:
    std::mt19937 engine_;
};

}  // namespace platform
