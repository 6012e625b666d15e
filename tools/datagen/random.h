#pragma once
// The generator's own random numbers and hash noise: fixed algorithms, so
// the same seed gives the same data set on every machine and library.
#include <cstdint>

namespace datagen {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    // splitmix64
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [lo, hi).
  double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  // Uniform integer in [lo, hi].
  int32_t Int(int32_t lo, int32_t hi) {
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo + 1);
    return static_cast<int32_t>(lo + static_cast<int64_t>(Next() % span));
  }
  // Sum of three uniforms, centred: a cheap bell-shaped value in (-1, 1).
  double Bell() { return (Unit() + Unit() + Unit()) * (2.0 / 3.0) - 1.0; }

 private:
  uint64_t state_;
};

// A well-mixed 32-bit hash of a lattice point and a seed.
inline uint32_t Hash3(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9e3779b1u;
  h ^= static_cast<uint32_t>(x) * 0x85ebca6bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<uint32_t>(y) * 0xc2b2ae35u;
  h *= 0x27d4eb2fu;
  h ^= h >> 15;
  h *= 0x165667b1u;
  h ^= h >> 13;
  return h;
}

}  // namespace datagen
