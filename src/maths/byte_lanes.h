#pragma once
// Saturating byte arithmetic on 32-bit pixels: single words in plain
// integer operations (no carry crosses from one byte into the next), and
// rows sixteen bytes at a time in the compiler's generic vectors, which GCC
// and Clang lower to SSE2 or AVX2 on x86, NEON on aarch64 and SIMD128 on
// WebAssembly. The byte-by-byte forms with their clamps vectorise poorly.
// The one thing the compilers do not find by themselves is the saturating
// byte add and subtract every one of those vector units has: where the
// target has it for certain (SSE2 is part of x86-64, NEON of aarch64,
// SIMD128 when the browser build asks for it), it is named; elsewhere the
// same bytes come from a minimum and an add or a subtract. The same holds
// for the widening word product and the saturating narrowing to words,
// named beside their generic forms below.
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define VX_BYTE_LANES_SSE2 1
#elif defined(__ARM_NEON)
#include <arm_neon.h>
#define VX_BYTE_LANES_NEON 1
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#define VX_BYTE_LANES_SIMD128 1
#endif

namespace byte_lanes {

constexpr uint32_t kHigh = 0x80808080u;
constexpr uint32_t kLow = 0x7f7f7f7fu;

// min(255, a + b) per byte.
constexpr uint32_t AddSaturated(uint32_t a, uint32_t b) {
  const uint32_t sum = ((a & kLow) + (b & kLow)) ^ ((a ^ b) & kHigh);
  const uint32_t carry = ((a & b) | ((a | b) & ~sum)) & kHigh;
  return sum | (carry >> 7) * 0xffu;
}

// max(0, a - b) per byte.
constexpr uint32_t SubtractSaturated(uint32_t a, uint32_t b) {
  const uint32_t diff = ((a | kHigh) - (b & kLow)) ^ ((a ^ ~b) & kHigh);
  const uint32_t borrow = ((~a & b) | (~(a ^ b) & diff)) & kHigh;
  return diff & ~((borrow >> 7) * 0xffu);
}

namespace detail {

// Four pixels' bytes.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));

inline Bytes16 Load(const uint32_t* p) {
  Bytes16 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void Store(uint32_t* p, Bytes16 v) { std::memcpy(p, &v, sizeof v); }

// One pixel in all four lanes.
inline Bytes16 Splat(uint32_t pixel) {
  const uint32_t four[4] = {pixel, pixel, pixel, pixel};
  return Load(four);
}

// a + min(255 - a, b) and a - min(a, b): a byte minimum, an add and a
// subtract, which every vector unit has (SSE2's pminub among them); the
// forms through comparisons took half as long again.
inline Bytes16 Min(Bytes16 a, Bytes16 b) { return a < b ? a : b; }

inline Bytes16 AddSaturatedByMin(Bytes16 a, Bytes16 b) { return a + Min(~a, b); }

inline Bytes16 SubtractSaturatedByMin(Bytes16 a, Bytes16 b) { return a - Min(a, b); }

inline Bytes16 AddSaturated(Bytes16 a, Bytes16 b) {
#if defined(VX_BYTE_LANES_SSE2)
  return reinterpret_cast<Bytes16>(_mm_adds_epu8(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
#elif defined(VX_BYTE_LANES_NEON)
  return reinterpret_cast<Bytes16>(vqaddq_u8(reinterpret_cast<uint8x16_t>(a), reinterpret_cast<uint8x16_t>(b)));
#elif defined(VX_BYTE_LANES_SIMD128)
  return reinterpret_cast<Bytes16>(wasm_u8x16_add_sat(reinterpret_cast<v128_t>(a), reinterpret_cast<v128_t>(b)));
#else
  return AddSaturatedByMin(a, b);
#endif
}

inline Bytes16 SubtractSaturated(Bytes16 a, Bytes16 b) {
#if defined(VX_BYTE_LANES_SSE2)
  return reinterpret_cast<Bytes16>(_mm_subs_epu8(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
#elif defined(VX_BYTE_LANES_NEON)
  return reinterpret_cast<Bytes16>(vqsubq_u8(reinterpret_cast<uint8x16_t>(a), reinterpret_cast<uint8x16_t>(b)));
#elif defined(VX_BYTE_LANES_SIMD128)
  return reinterpret_cast<Bytes16>(wasm_u8x16_sub_sat(reinterpret_cast<v128_t>(a), reinterpret_cast<v128_t>(b)));
#else
  return SubtractSaturatedByMin(a, b);
#endif
}

// Eight signed words, and four 32-bit lanes.
typedef int16_t Words8 __attribute__((vector_size(16)));
typedef int32_t Ints4 __attribute__((vector_size(16)));

// a[i] · b[i] in 32 bits: lanes 0 .. 3 into low, 4 .. 7 into high. The
// generic form widens first and multiplies 32-bit lanes, which SSE2 has no
// instruction for (pmulld is SSE4.1); the targets' own widening word
// products are named where they are sure to be there.
inline void MultiplyWideByConversion(Words8 a, Words8 b, Ints4& low, Ints4& high) {
  low = __builtin_convertvector(__builtin_shufflevector(a, a, 0, 1, 2, 3), Ints4) *
        __builtin_convertvector(__builtin_shufflevector(b, b, 0, 1, 2, 3), Ints4);
  high = __builtin_convertvector(__builtin_shufflevector(a, a, 4, 5, 6, 7), Ints4) *
         __builtin_convertvector(__builtin_shufflevector(b, b, 4, 5, 6, 7), Ints4);
}

inline void MultiplyWide(Words8 a, Words8 b, Ints4& low, Ints4& high) {
#if defined(VX_BYTE_LANES_SSE2)
  const __m128i x = reinterpret_cast<__m128i>(a);
  const __m128i y = reinterpret_cast<__m128i>(b);
  const __m128i lo = _mm_mullo_epi16(x, y);
  const __m128i hi = _mm_mulhi_epi16(x, y);
  low = reinterpret_cast<Ints4>(_mm_unpacklo_epi16(lo, hi));
  high = reinterpret_cast<Ints4>(_mm_unpackhi_epi16(lo, hi));
#elif defined(VX_BYTE_LANES_NEON)
  const int16x8_t x = reinterpret_cast<int16x8_t>(a);
  const int16x8_t y = reinterpret_cast<int16x8_t>(b);
  low = reinterpret_cast<Ints4>(vmull_s16(vget_low_s16(x), vget_low_s16(y)));
  high = reinterpret_cast<Ints4>(vmull_high_s16(x, y));
#elif defined(VX_BYTE_LANES_SIMD128)
  low = reinterpret_cast<Ints4>(
      wasm_i32x4_extmul_low_i16x8(reinterpret_cast<v128_t>(a), reinterpret_cast<v128_t>(b)));
  high = reinterpret_cast<Ints4>(
      wasm_i32x4_extmul_high_i16x8(reinterpret_cast<v128_t>(a), reinterpret_cast<v128_t>(b)));
#else
  MultiplyWideByConversion(a, b, low, high);
#endif
}

// The lanes of low, then of high, as signed words: clamped to
// -32768 .. 32767. The generic form clamps 32-bit lanes, which SSE2 does
// through comparisons (pminsd is SSE4.1); packssdw does it in one.
inline Words8 NarrowSaturatedByClamp(Ints4 low, Ints4 high) {
  const Ints4 wordMin = Ints4{} - 32768;
  const Ints4 wordMax = Ints4{} + 32767;
  low = low < wordMin ? wordMin : low > wordMax ? wordMax : low;
  high = high < wordMin ? wordMin : high > wordMax ? wordMax : high;
  return __builtin_convertvector(__builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7), Words8);
}

inline Words8 NarrowSaturated(Ints4 low, Ints4 high) {
#if defined(VX_BYTE_LANES_SSE2)
  return reinterpret_cast<Words8>(
      _mm_packs_epi32(reinterpret_cast<__m128i>(low), reinterpret_cast<__m128i>(high)));
#elif defined(VX_BYTE_LANES_NEON)
  return reinterpret_cast<Words8>(vcombine_s16(vqmovn_s32(reinterpret_cast<int32x4_t>(low)),
                                               vqmovn_s32(reinterpret_cast<int32x4_t>(high))));
#elif defined(VX_BYTE_LANES_SIMD128)
  return reinterpret_cast<Words8>(
      wasm_i16x8_narrow_i32x4(reinterpret_cast<v128_t>(low), reinterpret_cast<v128_t>(high)));
#else
  return NarrowSaturatedByClamp(low, high);
#endif
}

}  // namespace detail

// line[i] = max(0, min(255, line[i] + up[i]) - down[i]) per byte, for
// i = 0 .. count - 1.
inline void AddThenSubtract(uint32_t* line, const uint32_t* up, const uint32_t* down, int32_t count) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    detail::Store(line + i, detail::SubtractSaturated(
                                detail::AddSaturated(detail::Load(line + i), detail::Load(up + i)),
                                detail::Load(down + i)));
  }
  for (; i < count; ++i) line[i] = SubtractSaturated(AddSaturated(line[i], up[i]), down[i]);
}

// The same with one up and one down for every pixel.
inline void AddThenSubtract(uint32_t* line, int32_t count, uint32_t up, uint32_t down) {
  const detail::Bytes16 u = detail::Splat(up);
  const detail::Bytes16 d = detail::Splat(down);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4)
    detail::Store(line + i, detail::SubtractSaturated(detail::AddSaturated(detail::Load(line + i), u), d));
  for (; i < count; ++i) line[i] = SubtractSaturated(AddSaturated(line[i], up), down);
}

// dst[i] = min(255, dst[i] + src[i]) per byte.
inline void AddRowSaturated(uint32_t* dst, const uint32_t* src, int32_t count) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4)
    detail::Store(dst + i, detail::AddSaturated(detail::Load(dst + i), detail::Load(src + i)));
  for (; i < count; ++i) dst[i] = AddSaturated(dst[i], src[i]);
}

// to[i] = (max(0, from[i] - down) & keep) | set per byte, for
// i = 0 .. count - 1; `from` and `to` are the same row or apart.
inline void SubtractKeepSet(const uint32_t* from, uint32_t* to, int32_t count, uint32_t down, uint32_t keep,
                            uint32_t set) {
  const detail::Bytes16 d = detail::Splat(down);
  const detail::Bytes16 k = detail::Splat(keep);
  const detail::Bytes16 s = detail::Splat(set);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4)
    detail::Store(to + i, (detail::SubtractSaturated(detail::Load(from + i), d) & k) | s);
  for (; i < count; ++i) to[i] = (SubtractSaturated(from[i], down) & keep) | set;
}

// Four pixels, as two little-endian 64-bit lanes of two, written as their
// twelve colour bytes at `to`, three a pixel (the packed 24-bit form). The
// write is 14 bytes: the last two are spare, for the next pixel's bytes to
// overwrite.
typedef uint64_t PixelPairs __attribute__((vector_size(16)));

inline void PackFourTo24(PixelPairs pairs, uint8_t* to) {
  static_assert(std::endian::native == std::endian::little, "the pixels are read as little-endian words");
  const PixelPairs six = (pairs & 0xffffffu) | ((pairs >> 8) & 0xffffff000000u);
  const uint64_t low = six[0];
  const uint64_t high = six[1];
  std::memcpy(to, &low, 8);
  std::memcpy(to + 6, &high, 8);
}

}  // namespace byte_lanes
