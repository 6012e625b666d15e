#pragma once
// The one vocabulary of 16.16 fixed point: positions, velocities and the
// monsters' angles are 32-bit words with 16 fraction bits. Fields can hold
// anything a saved game or a long run left in them, so every sum, product
// and shift here wraps as the 32-bit word does, without undefined behaviour.
#include <cstdint>

inline constexpr int32_t kFixedOne = 65536;  // 1.0 in 16.16

// The whole pixel of a 16.16 value: its upper half read as a signed 16-bit
// number, so -1313.0 reads as -1313.
constexpr int32_t WholePixel(int32_t fixed) {
  return static_cast<int16_t>(static_cast<uint32_t>(fixed) >> 16);
}
// A whole pixel as a 16.16 value (wrapping like the 32-bit shift it stands for).
constexpr int32_t ToFixed(int32_t pixels) {
  return static_cast<int32_t>(static_cast<uint32_t>(pixels) << 16);
}

namespace fixed {

// a + b and a - b as 32-bit words. A wider b (an offset worked out in 64
// bits) is first cut to its low 32 bits, which gives the same word.
constexpr int32_t Add(int32_t a, int64_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(static_cast<uint64_t>(b)));
}
constexpr int32_t Sub(int32_t a, int64_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(static_cast<uint64_t>(b)));
}
constexpr int32_t Mul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// v · 2^n as the shift of the 32-bit word it stands for.
constexpr int32_t Shl(int32_t v, int32_t n) { return static_cast<int32_t>(static_cast<uint32_t>(v) << n); }
// |v|, where the most negative word stays itself.
constexpr int32_t Abs(int32_t v) { return v < 0 ? Sub(0, v) : v; }
// The whole pixels between two 16.16 values (a - b, arithmetic shift).
constexpr int32_t WholeDifference(int32_t a, int32_t b) { return Sub(a, b) >> 16; }

}  // namespace fixed
