// The row kernels of the picture blits. On x86-64 they work on 8 pixels at a
// time with AVX2 when the processor has it, else on 4 with SSE2 (the packed
// 24-bit rows with SSSE3's byte shuffle where the processor has it), as far
// as the kernel level (platform/cpu_features.h) allows. Every form
// gives results bit-identical to the scalar arithmetic of draw_internal.h,
// which handles the pixels left over at the end of a row.
#include <algorithm>
#include <bit>
#include <cstring>

#include "gfx/draw_internal.h"
#include "maths/byte_lanes.h"
#include "platform/cpu_features.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VX_X86_KERNELS 1
#include <immintrin.h>
#endif

namespace draw_detail {
namespace {

void BlendRowScalar(uint32_t* dst, const uint32_t* src, int32_t count, uint32_t opacity) {
  for (int32_t i = 0; i < count; ++i) dst[i] = BlendPixel(src[i], dst[i], opacity);
}

void CopyPacked24Scalar(uint32_t* dst, const uint8_t* src, int32_t count) {
  // Nothing past the row's packed bytes is read: four pixels take exactly
  // their twelve bytes, the pixels left over four each but the last, which
  // reads only its own three.
  //
  // Four pixels from their twelve bytes: two 64-bit lanes of two pixels'
  // six bytes each, split by shifts in the compiler's generic vectors (SSE2,
  // NEON, SIMD128), twice as fast as word by word.
  typedef uint64_t Lanes __attribute__((vector_size(16)));
  static_assert(std::endian::native == std::endian::little, "the packed bytes are read as little-endian words");
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    uint64_t first;
    uint64_t second;
    std::memcpy(&first, src + 3 * static_cast<int64_t>(i), 8);
    std::memcpy(&second, src + 3 * static_cast<int64_t>(i) + 4, 8);
    const Lanes pairs = {first, second >> 16};
    const Lanes out = (pairs & 0xffffffu) | ((pairs >> 24) & 0xffffffu) << 32 | 0xff000000ff000000ull;
    std::memcpy(dst + i, &out, sizeof out);
  }
  for (; i + 1 < count; ++i) {
    uint32_t v;
    std::memcpy(&v, src + 3 * static_cast<int64_t>(i), 4);
    dst[i] = v | kAlphaMask;
  }
  for (; i < count; ++i) {
    const uint8_t* p = src + 3 * static_cast<int64_t>(i);
    dst[i] = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | kAlphaMask;
  }
}

#if defined(__aarch64__)
#define VX_BYTE_SHUFFLE 1
// On aarch64 the compiler's generic byte shuffle is one tbl: four pixels
// from a 16-byte load, as SSSE3's pshufb on x86-64 (where, without pshufb,
// the generic shuffle goes byte by byte). Each pixel's fourth byte is any
// byte: the alpha covers it. A load reads 4 bytes past its four pixels, so
// the loop leaves at least two pixels for the lanes' end. (WebAssembly's
// i8x16.shuffle ran no faster than the lanes in V8, so the page keeps them.)
typedef uint8_t Bytes16 __attribute__((vector_size(16)));

void CopyPacked24Shuffle(uint32_t* dst, const uint8_t* src, int32_t count) {
  const Bytes16 alpha = {0, 0, 0, 0xff, 0, 0, 0, 0xff, 0, 0, 0, 0xff, 0, 0, 0, 0xff};
  int32_t i = 0;
  for (; i + 6 <= count; i += 4) {
    Bytes16 v;
    std::memcpy(&v, src + 3 * static_cast<int64_t>(i), sizeof v);
#if defined(__clang__)
    const Bytes16 spread = __builtin_shufflevector(v, v, 0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0);
#else
    const Bytes16 spread = __builtin_shuffle(v, Bytes16{0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0});
#endif
    const Bytes16 out = spread | alpha;
    std::memcpy(dst + i, &out, sizeof out);
  }
  CopyPacked24Scalar(dst + i, src + 3 * static_cast<int64_t>(i), count - i);
}
#endif

void SpreadScalar(const uint32_t* screen, uint32_t* top, uint32_t* bottom, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t p = screen[i] | kMarkerBit;
    top[2 * i] = top[2 * i + 1] = bottom[2 * i] = bottom[2 * i + 1] = p;
  }
}

// Four pixels as the compiler's generic vectors, whose 32-bit lane shuffles
// every vector unit has (SSE2's pshufd and shufps, NEON, SIMD128).
typedef uint32_t Pixels4 __attribute__((vector_size(16)));

inline Pixels4 LoadPixels(const uint32_t* p) {
  Pixels4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void StorePixels(uint32_t* p, Pixels4 v) { std::memcpy(p, &v, sizeof v); }

typedef uint16_t Halves8 __attribute__((vector_size(16)));
typedef int32_t Masks4 __attribute__((vector_size(16)));

// BlendRowScalar four pixels at a time: the blend in 16-bit lanes (blue
// and red the low bytes of each pixel's halves, green and alpha the high
// bytes; every product and sum stays below 65536), as the SSE2 form, in
// generic vectors. Groups whose four pixels are all clear are skipped, and
// at full opacity groups all opaque are copied (a picture's ground and sky
// are long runs of each). The alpha taken is a 16-bit minimum: both
// numbers are below 256 with zero high halves, and every vector unit has
// the signed one (SSE2's pminsw, NEON, SIMD128).
void BlendRowLanes(uint32_t* dst, const uint32_t* src, int32_t count, uint32_t opacity) {
  typedef int16_t SignedHalves8 __attribute__((vector_size(16)));
  typedef uint64_t Pairs2 __attribute__((vector_size(16)));
  const SignedHalves8 op = reinterpret_cast<SignedHalves8>(Pixels4{} + std::min(opacity, 255u));
  const bool solid = opacity >= 255;
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const Pixels4 s = LoadPixels(src + i);
    const Pairs2 alphas = reinterpret_cast<Pairs2>(s & kAlphaMask);
    if ((alphas[0] | alphas[1]) == 0) continue;
    if (solid && (alphas[0] & alphas[1]) == 0xff000000ff000000ull) {
      StorePixels(dst + i, s);
      continue;
    }
    const Pixels4 d = LoadPixels(dst + i);
    const Pixels4 as = s >> 24;
    const SignedHalves8 asHalves = reinterpret_cast<SignedHalves8>(as);
    const Pixels4 a = reinterpret_cast<Pixels4>(asHalves < op ? asHalves : op);
    const Halves8 a2 = reinterpret_cast<Halves8>(a | a << 16);
    const Halves8 ia = 255 - a2;
    const Halves8 rb = (reinterpret_cast<Halves8>(s & 0x00ff00ffu) * a2 +
                        reinterpret_cast<Halves8>(d & 0x00ff00ffu) * ia) >> 8;
    const Halves8 ga = (reinterpret_cast<Halves8>(s) >> 8) * a2 + (reinterpret_cast<Halves8>(d) >> 8) * ia;
    const Pixels4 mixed = reinterpret_cast<Pixels4>(rb) | (reinterpret_cast<Pixels4>(ga) & 0x0000ff00u) | a << 24;
    const Masks4 whole = a == 255u;
    const Masks4 clear = as == 0u;
    StorePixels(dst + i, clear ? d : (whole ? s : mixed));
  }
  BlendRowScalar(dst + i, src + i, count - i, opacity);
}

// SpreadScalar four pixels at a time.
void SpreadLanes(const uint32_t* screen, uint32_t* top, uint32_t* bottom, int32_t count) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const Pixels4 p = LoadPixels(screen + i) | kMarkerBit;
    const Pixels4 first = __builtin_shufflevector(p, p, 0, 0, 1, 1);
    const Pixels4 second = __builtin_shufflevector(p, p, 2, 2, 3, 3);
    StorePixels(top + 2 * i, first);
    StorePixels(top + 2 * i + 4, second);
    StorePixels(bottom + 2 * i, first);
    StorePixels(bottom + 2 * i + 4, second);
  }
  SpreadScalar(screen + i, top + 2 * i, bottom + 2 * i, count - i);
}

void AverageScalar(uint32_t* screen, const uint32_t* top, const uint32_t* bottom, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t a = top[2 * i];
    const uint32_t b = top[2 * i + 1];
    const uint32_t c = bottom[2 * i];
    const uint32_t d = bottom[2 * i + 1];
    const uint32_t rb =
        (((a & 0xff00ffu) + (b & 0xff00ffu) + (c & 0xff00ffu) + (d & 0xff00ffu)) >> 2) & 0xff00ffu;
    const uint32_t g = (((a & 0xff00u) + (b & 0xff00u) + (c & 0xff00u) + (d & 0xff00u)) >> 2) & 0xff00u;
    screen[i] = rb | g | (a & kAlphaMask);
  }
}

// AverageScalar four pixels at a time: the even and odd samples of each
// row gathered by lane shuffles, then the same sums.
void AverageLanes(uint32_t* screen, const uint32_t* top, const uint32_t* bottom, int32_t count) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const Pixels4 t0 = LoadPixels(top + 2 * i);
    const Pixels4 t1 = LoadPixels(top + 2 * i + 4);
    const Pixels4 b0 = LoadPixels(bottom + 2 * i);
    const Pixels4 b1 = LoadPixels(bottom + 2 * i + 4);
    const Pixels4 a = __builtin_shufflevector(t0, t1, 0, 2, 4, 6);
    const Pixels4 b = __builtin_shufflevector(t0, t1, 1, 3, 5, 7);
    const Pixels4 c = __builtin_shufflevector(b0, b1, 0, 2, 4, 6);
    const Pixels4 d = __builtin_shufflevector(b0, b1, 1, 3, 5, 7);
    const Pixels4 rb = (((a & 0xff00ffu) + (b & 0xff00ffu) + (c & 0xff00ffu) + (d & 0xff00ffu)) >> 2) & 0xff00ffu;
    const Pixels4 g = (((a & 0xff00u) + (b & 0xff00u) + (c & 0xff00u) + (d & 0xff00u)) >> 2) & 0xff00u;
    StorePixels(screen + i, rb | g | (a & kAlphaMask));
  }
  AverageScalar(screen + i, top + 2 * i, bottom + 2 * i, count - i);
}

#if defined(VX_X86_KERNELS)

// The blend works in 16-bit lanes without unpacking: blue and red are the
// low bytes of the two halves of each pixel, green and alpha the high bytes.
// Every product and sum stays below 65536, so the lanes are exact.
__attribute__((target("avx2"))) void BlendRowAvx2(uint32_t* dst, const uint32_t* src, int32_t count,
                                                  uint32_t opacity) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i op = _mm256_set1_epi32(static_cast<int>(opacity));
  const __m256i lowBytes = _mm256_set1_epi32(0x00ff00ff);
  const __m256i greenByte = _mm256_set1_epi32(0x0000ff00);
  const __m256i c255 = _mm256_set1_epi16(255);
  const __m256i full = _mm256_set1_epi32(255);
  const bool solid = opacity >= 255;
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i as = _mm256_srli_epi32(s, 24);
    const __m256i clear = _mm256_cmpeq_epi32(as, zero);
    if (_mm256_movemask_epi8(clear) == -1) continue;
    if (solid && _mm256_movemask_epi8(_mm256_cmpeq_epi32(as, full)) == -1) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
      continue;
    }
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i a = _mm256_min_epu32(as, op);
    const __m256i a2 = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
    const __m256i ia = _mm256_sub_epi16(c255, a2);
    const __m256i rb =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, lowBytes), a2),
                                           _mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), ia)),
                          8);
    const __m256i ga = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(s, 8), a2),
                                        _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), ia));
    const __m256i mixed =
        _mm256_or_si256(_mm256_or_si256(rb, _mm256_and_si256(ga, greenByte)), _mm256_slli_epi32(a, 24));
    __m256i out = _mm256_blendv_epi8(mixed, s, _mm256_cmpeq_epi32(a, full));
    out = _mm256_blendv_epi8(out, d, clear);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), out);
  }
  BlendRowScalar(dst + i, src + i, count - i, opacity);
}

void BlendRowSse2(uint32_t* dst, const uint32_t* src, int32_t count, uint32_t opacity) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i op = _mm_set1_epi32(static_cast<int>(opacity));
  const __m128i lowBytes = _mm_set1_epi32(0x00ff00ff);
  const __m128i greenByte = _mm_set1_epi32(0x0000ff00);
  const __m128i c255 = _mm_set1_epi16(255);
  const __m128i full = _mm_set1_epi32(255);
  const bool solid = opacity >= 255;
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i as = _mm_srli_epi32(s, 24);
    const __m128i clear = _mm_cmpeq_epi32(as, zero);
    if (_mm_movemask_epi8(clear) == 0xffff) continue;
    if (solid && _mm_movemask_epi8(_mm_cmpeq_epi32(as, full)) == 0xffff) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    // Both below 256 with zero high halves: a 16-bit minimum does.
    const __m128i a = _mm_min_epi16(as, op);
    const __m128i a2 = _mm_or_si128(a, _mm_slli_epi32(a, 16));
    const __m128i ia = _mm_sub_epi16(c255, a2);
    const __m128i rb = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, lowBytes), a2),
                                                    _mm_mullo_epi16(_mm_and_si128(d, lowBytes), ia)),
                                      8);
    const __m128i ga =
        _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 8), a2), _mm_mullo_epi16(_mm_srli_epi16(d, 8), ia));
    const __m128i mixed = _mm_or_si128(_mm_or_si128(rb, _mm_and_si128(ga, greenByte)), _mm_slli_epi32(a, 24));
    const __m128i whole = _mm_cmpeq_epi32(a, full);
    __m128i out = _mm_or_si128(_mm_and_si128(whole, s), _mm_andnot_si128(whole, mixed));
    out = _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, out));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
  }
  BlendRowScalar(dst + i, src + i, count - i, opacity);
}

// The last pixels of an added row: four at once, then one at a time, each
// with the same saturating byte add as the wide loops.
inline void AddRowEnd(uint32_t* dst, const uint32_t* src, int32_t count) {
  int32_t i = 0;
  if (count >= 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_adds_epu8(s, d));
    i = 4;
  }
  for (; i < count; ++i) {
    const __m128i s = _mm_cvtsi32_si128(static_cast<int>(src[i]));
    const __m128i d = _mm_cvtsi32_si128(static_cast<int>(dst[i]));
    dst[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_adds_epu8(s, d)));
  }
}

__attribute__((target("avx2"))) void AddRowAvx2(uint32_t* dst, const uint32_t* src, int32_t count) {
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_adds_epu8(s, d));
  }
  AddRowEnd(dst + i, src + i, count - i);
}

void AddRowSse2(uint32_t* dst, const uint32_t* src, int32_t count) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(s, d));
  }
  AddRowEnd(dst + i, src + i, count - i);
}

// Eight pixels from 24 bytes: two 16-byte loads 12 bytes apart, each spread
// to four pixels by a byte shuffle. The second load reads 4 bytes past the
// eight pixels, so the loop leaves at least two pixels for the scalar end.
__attribute__((target("avx2"))) void CopyPacked24Avx2(uint32_t* dst, const uint8_t* src, int32_t count) {
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0, 1, 2, -1,
                                          3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(kAlphaMask));
  int32_t i = 0;
  for (; i + 10 <= count; i += 8) {
    const uint8_t* p = src + 3 * static_cast<int64_t>(i);
    const __m256i v =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)), 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        _mm256_or_si256(_mm256_shuffle_epi8(v, spread), alpha));
  }
  CopyPacked24Scalar(dst + i, src + 3 * static_cast<int64_t>(i), count - i);
}

// The AVX2 form's spread at 16 bytes: four pixels to a load and SSSE3's
// byte shuffle (pshufb), eight a round as two loads 12 bytes apart, then
// four while a load stays inside the row. A load reads 4 bytes past its
// four pixels, so both loops leave at least two pixels for the scalar end.
__attribute__((target("ssse3"), always_inline)) inline void Packed24Four(uint32_t* dst, const uint8_t* src,
                                                                         int32_t i) {
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(kAlphaMask));
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * static_cast<int64_t>(i)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_shuffle_epi8(v, spread), alpha));
}

__attribute__((target("ssse3"))) void CopyPacked24Ssse3(uint32_t* dst, const uint8_t* src, int32_t count) {
  int32_t i = 0;
  for (; i + 10 <= count; i += 8) {
    Packed24Four(dst, src, i);
    Packed24Four(dst, src, i + 4);
  }
  for (; i + 6 <= count; i += 4) Packed24Four(dst, src, i);
  CopyPacked24Scalar(dst + i, src + 3 * static_cast<int64_t>(i), count - i);
}

// Each screen pixel, marked, into its 2 x 2 block: pixels i..i+7 become
// samples 2i..2i+15 of both rows.
__attribute__((target("avx2"), always_inline)) inline void Spread8(const uint32_t* screen, uint32_t* top,
                                                                   uint32_t* bottom, int32_t i) {
  const __m256i marker = _mm256_set1_epi32(static_cast<int>(kMarkerBit));
  const __m256i p = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(screen + i)), marker);
  const __m256i lo = _mm256_unpacklo_epi32(p, p);  // 0 0 1 1 | 4 4 5 5
  const __m256i hi = _mm256_unpackhi_epi32(p, p);  // 2 2 3 3 | 6 6 7 7
  const __m256i first = _mm256_permute2x128_si256(lo, hi, 0x20);
  const __m256i second = _mm256_permute2x128_si256(lo, hi, 0x31);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(top + 2 * i), first);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(top + 2 * i + 8), second);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(bottom + 2 * i), first);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(bottom + 2 * i + 8), second);
}

// The last pixels of a row go as its last eight again, overlapping the ones
// before, which come out the same: the transformed blit copies many short
// stretches, whose ends took much of their time one by one.
__attribute__((target("avx2"))) void SpreadAvx2(const uint32_t* screen, uint32_t* top, uint32_t* bottom,
                                                int32_t count) {
  if (count < 8) return SpreadScalar(screen, top, bottom, count);
  for (int32_t i = 0; i + 8 <= count; i += 8) Spread8(screen, top, bottom, i);
  if (count % 8 != 0) Spread8(screen, top, bottom, count - 8);
}

// Eight screen pixels from 16 samples of each row: blue and red summed in
// 16-bit halves, green in its own lane, pairs added across neighbouring
// lanes; the sums stay below 1021 per channel, so nothing carries over.
__attribute__((target("avx2"), always_inline)) inline void Average8(uint32_t* screen, const uint32_t* top,
                                                                    const uint32_t* bottom, int32_t i) {
  const __m256i rbMask = _mm256_set1_epi32(0x00ff00ff);
  const __m256i gMask = _mm256_set1_epi32(0x0000ff00);
  const __m256i evenAlpha =
      _mm256_setr_epi32(static_cast<int>(kAlphaMask), 0, static_cast<int>(kAlphaMask), 0,
                        static_cast<int>(kAlphaMask), 0, static_cast<int>(kAlphaMask), 0);
  const __m256i t0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + 2 * i));
  const __m256i t1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + 2 * i + 8));
  const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + 2 * i));
  const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + 2 * i + 8));
  const __m256i rb =
      _mm256_hadd_epi32(_mm256_add_epi32(_mm256_and_si256(t0, rbMask), _mm256_and_si256(b0, rbMask)),
                        _mm256_add_epi32(_mm256_and_si256(t1, rbMask), _mm256_and_si256(b1, rbMask)));
  const __m256i g =
      _mm256_hadd_epi32(_mm256_add_epi32(_mm256_and_si256(t0, gMask), _mm256_and_si256(b0, gMask)),
                        _mm256_add_epi32(_mm256_and_si256(t1, gMask), _mm256_and_si256(b1, gMask)));
  const __m256i alpha = _mm256_hadd_epi32(_mm256_and_si256(t0, evenAlpha), _mm256_and_si256(t1, evenAlpha));
  const __m256i mixed =
      _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(rb, 2), rbMask),
                      _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(g, 2), gMask), alpha));
  // hadd leaves the pixels in the order 0 1 4 5 | 2 3 6 7.
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(screen + i), _mm256_permute4x64_epi64(mixed, 0xd8));
}

// As the spread, the last pixels are the last eight again: the screen is
// not read, so they average to the same.
__attribute__((target("avx2"))) void AverageAvx2(uint32_t* screen, const uint32_t* top,
                                                 const uint32_t* bottom, int32_t count) {
  if (count < 8) return AverageScalar(screen, top, bottom, count);
  for (int32_t i = 0; i + 8 <= count; i += 8) Average8(screen, top, bottom, i);
  if (count % 8 != 0) Average8(screen, top, bottom, count - 8);
}

#endif

// AddBytes four pixels at a time in generic vectors (maths/byte_lanes.h).
void AddRowScalar(uint32_t* dst, const uint32_t* src, int32_t count) { byte_lanes::AddRowSaturated(dst, src, count); }

#if defined(VX_X86_KERNELS)
bool UseAvx2() { return cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx2); }
bool UseSse2() { return cpu::KernelLevelAtLeast(cpu::KernelLevel::kSse2); }
#endif

}  // namespace

void BlendRow(uint32_t* dst, const uint32_t* src, int32_t count, uint32_t opacity) {
#if defined(VX_X86_KERNELS)
  if (UseAvx2()) return BlendRowAvx2(dst, src, count, opacity);
  if (UseSse2()) return BlendRowSse2(dst, src, count, opacity);
#endif
  BlendRowLanes(dst, src, count, opacity);
}

RowAdder AddRowKernel() {
#if defined(VX_X86_KERNELS)
  if (UseAvx2()) return AddRowAvx2;
  if (UseSse2()) return AddRowSse2;
#endif
  return AddRowScalar;
}

void SpreadToBlocks(const uint32_t* screen, uint32_t* top, uint32_t* bottom, int32_t count) {
#if defined(VX_X86_KERNELS)
  if (UseAvx2()) return SpreadAvx2(screen, top, bottom, count);
#endif
  SpreadLanes(screen, top, bottom, count);
}

void AverageBlocks(uint32_t* screen, const uint32_t* top, const uint32_t* bottom, int32_t count) {
#if defined(VX_X86_KERNELS)
  if (UseAvx2()) return AverageAvx2(screen, top, bottom, count);
#endif
  AverageLanes(screen, top, bottom, count);
}

void CopyPacked24Row(uint32_t* dst, const uint8_t* src, int32_t count) {
#if defined(VX_X86_KERNELS)
  if (UseAvx2()) return CopyPacked24Avx2(dst, src, count);
  if (UseSse2() && cpu::ProcessorFeatures().ssse3) return CopyPacked24Ssse3(dst, src, count);
  CopyPacked24Scalar(dst, src, count);
#elif defined(VX_BYTE_SHUFFLE)
  CopyPacked24Shuffle(dst, src, count);
#else
  CopyPacked24Scalar(dst, src, count);
#endif
}

}  // namespace draw_detail
