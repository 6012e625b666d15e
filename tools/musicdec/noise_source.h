// Our own random numbers for noise and start phases: the same score always
// gives the same bytes, on every standard library.
#pragma once

#include <cstdint>

namespace musicdec {

class NoiseSource {
 public:
  explicit NoiseSource(std::uint32_t seed = 1) : state_(seed != 0 ? seed : 0x6d2b79f5u) {}

  std::uint32_t NextBits() {
    // xorshift32
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

  // Uniform in [-1, 1).
  float NextSigned() {
    return static_cast<float>(static_cast<std::int32_t>(NextBits())) * (1.0f / 2147483648.0f);
  }

  // Uniform in [0, 1).
  float NextUnit() { return static_cast<float>(NextBits() >> 8) * (1.0f / 16777216.0f); }

 private:
  std::uint32_t state_;
};

// Spreads a small counter over all 32 bits, to seed one NoiseSource per note.
inline std::uint32_t MixSeed(std::uint32_t x) {
  x += 0x9e3779b9u;
  x ^= x >> 16;
  x *= 0x85ebca6bu;
  x ^= x >> 13;
  x *= 0xc2b2ae35u;
  x ^= x >> 16;
  return x;
}

}  // namespace musicdec
