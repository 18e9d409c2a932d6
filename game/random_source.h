#pragma once

#include <cstdint>

namespace keyfall {

// The game's one pseudo-random source: a 24-bit linear congruential generator that starts from
// the same state on every run, so every run draws the same sequence.
class RandomSource {
public:
    // The next value, uniform in [0, 1) in steps of 2^-24.
    float next()
    {
        state_ = (state_ * kMultiplier + kIncrement) & kMask;
        return static_cast<float>(state_) / static_cast<float>(kModulus);
    }

    std::uint32_t state() const { return state_; }
    void setState(std::uint32_t state) { state_ = state & kMask; }

private:
    static constexpr std::uint32_t kModulus = 1u << 24;
    static constexpr std::uint32_t kMask = kModulus - 1;
    static constexpr std::uint32_t kMultiplier = 1140671485u;
    static constexpr std::uint32_t kIncrement = 12820163u;

    std::uint32_t state_ = 327680;
};

}
