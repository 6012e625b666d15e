// The flash ring's row kernel as the effects call it: an AVX2 path, where the
// processor has it, that computes exactly what the plain kernel does. What
// the vector loop leaves over at the end of a row goes through the plain
// kernel.
#include "gfx/effects_ring_kernels.h"

#include <algorithm>

#include "gfx/effects_internal.h"
#include "gfx/effects_kernels.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define VX_RING_X86 1
#else
#define VX_RING_X86 0
#endif

namespace fx_kernels {

namespace {

#if VX_RING_X86

bool UseAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") != 0;
  return has && FastKernelsOn();
}

// ---- Flash ring ----------------------------------------------------------

__attribute__((target("avx2"))) void FlashRingRowAvx2(const RingRow& ring, uint32_t* pixels, int32_t width,
                                                      int32_t height, int32_t row, int32_t left,
                                                      int32_t right) {
  const int32_t r = ring.radius;
  const int32_t r4 = 4 * r;
  const int32_t dy = row - ring.cy;
  const int32_t gy = dy + r;
  const int32_t fy = gy & 7;
  // The profile of the row at each grid column; a pixel blends its two
  // neighbours, which equals blending all four nodes around it.
  const int32_t* upper = ring.grid + (gy >> 3) * kRingGridSide;
  const int32_t* lower = upper + kRingGridSide;
  alignas(32) int32_t nodes[kRingGridSide + 8] = {};
  for (int32_t i = 0; i < kRingGridSide; ++i) nodes[i] = upper[i] * (8 - fy) + lower[i] * fy;

  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i one = _mm256_set1_epi32(1);
  const __m256i seven = _mm256_set1_epi32(7);
  const __m256i eight = _mm256_set1_epi32(8);
  const __m256i fifteen = _mm256_set1_epi32(15);
  const __m256i vr4 = _mm256_set1_epi32(r4);
  const __m256i dySquared = _mm256_set1_epi32(dy * dy);
  const __m256i lastColumn = _mm256_set1_epi32(width - 1);
  const __m256i lastRow = _mm256_set1_epi32(height - 1);
  const __m256i vrow = _mm256_set1_epi32(row);
  const __m256i vwidth = _mm256_set1_epi32(width);
  const __m256i unit = _mm256_set1_epi32(8192);
  const __m256i base = _mm256_set1_epi32(8100);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int32_t>(0xff000000u));
  // Each pixel's factor copied to its four 16-bit byte lanes, in the order
  // the unpacks leave the pixels (0, 1 | 4, 5 and 2, 3 | 6, 7).
  const __m256i spreadLow = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5, 0, 1, 0, 1, 0, 1,
                                             0, 1, 4, 5, 4, 5, 4, 5, 4, 5);
  const __m256i spreadHigh = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13, 8, 9, 8,
                                              9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13);
  const int* source = reinterpret_cast<const int*>(pixels);
  const int* glow = reinterpret_cast<const int*>(ring.glow);
  uint32_t* line = pixels + static_cast<int64_t>(row) * width;

  int32_t col = left;
  for (; col + 8 <= right + 1; col += 8) {
    const int32_t dx0 = col - ring.cx;
    const __m256i dx = _mm256_add_epi32(_mm256_set1_epi32(dx0), lanes);
    const int32_t firstNode = (dx0 + r) >> 3;
    const __m256i gx = _mm256_add_epi32(dx, _mm256_set1_epi32(r));
    const __m256i node = _mm256_sub_epi32(_mm256_srai_epi32(gx, 3), _mm256_set1_epi32(firstNode));
    const __m256i near = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(nodes + firstNode));
    const __m256i fx = _mm256_and_si256(gx, seven);
    const __m256i p64 = _mm256_add_epi32(
        _mm256_mullo_epi32(_mm256_permutevar8x32_epi32(near, node), _mm256_sub_epi32(eight, fx)),
        _mm256_mullo_epi32(_mm256_permutevar8x32_epi32(near, _mm256_add_epi32(node, one)), fx));
    const __m256i dd = _mm256_add_epi32(_mm256_mullo_epi32(dx, dx), dySquared);
    const __m256i d4 = _mm256_cvttps_epi32(_mm256_sqrt_ps(_mm256_cvtepi32_ps(_mm256_slli_epi32(dd, 4))));
    const __m256i q =
        _mm256_min_epi32(_mm256_sub_epi32(vr4, _mm256_srai_epi32(_mm256_mullo_epi32(p64, d4), 14)),
                         _mm256_slli_epi32(_mm256_sub_epi32(vr4, d4), 1));
    const __m256i active = _mm256_cmpgt_epi32(q, _mm256_setzero_si256());
    if (_mm256_movemask_epi8(active) == 0) continue;
    const __m256i lens = _mm256_cmpgt_epi32(q, fifteen);
    const __m256i columns = _mm256_add_epi32(_mm256_set1_epi32(col), lanes);
    const __m256i sx = _mm256_min_epi32(_mm256_add_epi32(columns, _mm256_srai_epi32(q, 4)), lastColumn);
    const __m256i sy = _mm256_min_epi32(_mm256_add_epi32(vrow, _mm256_srai_epi32(q, 5)), lastRow);
    const __m256i own = _mm256_add_epi32(_mm256_mullo_epi32(vrow, vwidth), columns);
    const __m256i from = _mm256_blendv_epi8(own, _mm256_add_epi32(_mm256_mullo_epi32(sy, vwidth), sx), lens);
    const __m256i s = _mm256_i32gather_epi32(source, from, 4);
    const __m256i light = _mm256_i32gather_epi32(glow, _mm256_max_epi32(q, _mm256_setzero_si256()), 4);
    const __m256i factor = _mm256_blendv_epi8(
        unit, _mm256_add_epi32(_mm256_srai_epi32(_mm256_mullo_epi32(q, _mm256_set1_epi32(27)), 1), base),
        lens);
    // (c · f) >> 13 = ((c << 3) · f) >> 16 for bytes c and f below 2^13.
    const __m256i low = _mm256_slli_epi16(_mm256_unpacklo_epi8(s, _mm256_setzero_si256()), 3);
    const __m256i high = _mm256_slli_epi16(_mm256_unpackhi_epi8(s, _mm256_setzero_si256()), 3);
    const __m256i bright =
        _mm256_packus_epi16(_mm256_mulhi_epu16(low, _mm256_shuffle_epi8(factor, spreadLow)),
                            _mm256_mulhi_epu16(high, _mm256_shuffle_epi8(factor, spreadHigh)));
    const __m256i lit = _mm256_blendv_epi8(_mm256_adds_epu8(bright, light), s, alpha);
    __m256i* at = reinterpret_cast<__m256i*>(line + col);
    _mm256_storeu_si256(at, _mm256_blendv_epi8(_mm256_loadu_si256(at), lit, active));
  }
  if (col <= right) FlashRingRowPlain(ring, pixels, width, height, row, col, right);
}

#endif

}  // namespace

void FlashRingRow(const RingRow& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t row,
                  int32_t left, int32_t right) {
#if VX_RING_X86
  if (UseAvx2()) {
    FlashRingRowAvx2(ring, pixels, width, height, row, left, right);
    return;
  }
#endif
  FlashRingRowPlain(ring, pixels, width, height, row, left, right);
}

}  // namespace fx_kernels
