// The flash ring as the effects draw it: an AVX2 path, and an AVX-512 path
// where the processor also has byte permutes, that compute exactly what the
// plain kernel does, and below them on every processor the plain kernel's
// arithmetic in a tabled form. All read a pixel's distance from a table
// instead of taking a square root. The vector paths mask the lanes past a
// row's end instead of leaving them to the plain kernel. The AVX-512 path
// also avoids most gathers, which cost it more than the arithmetic: the
// lens's source pixels come from a 2-row, 32-column window whenever a
// block's pixels fit one, and the ring's light from byte permutes over three
// pairs of registers.
#include "effects/effects_ring_kernels.h"

#include <algorithm>

#include "effects/effects_kernels.h"
#include "platform/cpu_features.h"

#if defined(__x86_64__)
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's own AVX-512 headers trip these warnings on their placeholder
// values (fixed in GCC 13).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif
#define VX_RING_X86 1
#else
#define VX_RING_X86 0
#endif

namespace fx_kernels {

namespace {

// RingDistance for |dy| 0 .. kFlashMaxRadius and dx from -kFlashMaxRadius
// on, wide enough for a 16-pixel block that starts at a row's last pixel.
constexpr int32_t kDistanceOrigin = kFlashMaxRadius;
constexpr int32_t kDistanceStride = 2 * kFlashMaxRadius + 16;
struct DistanceTable {
  uint16_t d[kFlashMaxRadius + 1][kDistanceStride];
};

const DistanceTable& Distances() {
  static const DistanceTable table = [] {
    DistanceTable t{};
    for (int32_t dy = 0; dy <= kFlashMaxRadius; ++dy) {
      for (int32_t i = 0; i < kDistanceStride; ++i) {
        const int32_t dx = i - kDistanceOrigin;
        t.d[dy][i] = static_cast<uint16_t>(RingDistance(dx * dx + dy * dy));
      }
    }
    return t;
  }();
  return table;
}

// The profile of row gy of the bounding square at each grid column, times 8:
// a pixel blends its two neighbours, which equals blending all four nodes
// around it. Entries past the grid are 0 (read, never used).
struct RowNodes {
  alignas(64) int32_t n[kRingGridSide + 16] = {};
};

// Starts screen row `row` of a ring: fills its nodes and returns its
// distances, indexed by dx.
const uint16_t* StartRow(const Ring& ring, const DistanceTable& distances, int32_t row, RowNodes& nodes) {
  const int32_t dy = row - ring.cy;
  const int32_t gy = dy + ring.radius;
  const int32_t fy = gy & 7;
  const int32_t* upper = ring.grid + (gy >> 3) * kRingGridSide;
  const int32_t* lower = upper + kRingGridSide;
  for (int32_t i = 0; i < kRingGridSide; ++i) nodes.n[i] = upper[i] * (8 - fy) + lower[i] * fy;
  return distances.d[dy < 0 ? -dy : dy] + kDistanceOrigin;
}

// The plain kernel's arithmetic with its distances read from the table and
// each row's profile blended between its two grid rows once, not per pixel
// (the same sums: a pixel's four nodes weighted (8 - fx)(8 - fy) and so on).
// A row goes in three passes of plain loops: the depths, which compilers
// vectorise for any target; the source pixels and lights, read one by one
// before the row is written, so the lens sees the picture as it was (its
// sources lie to the right of or below their pixels, which the plain
// kernel writes later); the lit pixels, vectorised again.
void RingRows(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
              const RowSpan* spans, int32_t rows) {
  constexpr int32_t kRowMost = 2 * kFlashMaxRadius;
  const int32_t r4 = 4 * ring.radius;
  const DistanceTable& distances = Distances();
  RowNodes nodes;
  alignas(64) int32_t profile[8 * kRingGridSide];  // the row's profile · 64 at each column of the square
  alignas(64) int32_t depth[kRowMost];
  alignas(64) uint32_t source[kRowMost];
  alignas(64) uint32_t light[kRowMost];
  for (int32_t i = 0; i < rows; ++i) {
    const int32_t left = spans[i].left;
    const int32_t right = spans[i].right;
    if (left > right) continue;
    const int32_t row = top + i;
    const uint16_t* distance = StartRow(ring, distances, row, nodes) + (left - ring.cx);
    const int32_t count = right - left + 1;
    const int32_t gx = left - ring.cx + ring.radius;
    // n[node] · (8 - fx) + n[node + 1] · fx, column by column from each node.
    for (int32_t node = gx >> 3; node <= (gx + count - 1) >> 3; ++node) {
      const int32_t base = 8 * nodes.n[node];
      const int32_t step = nodes.n[node + 1] - nodes.n[node];
      for (int32_t fx = 0; fx < 8; ++fx) profile[8 * node + fx] = base + step * fx;
    }
    const int32_t* p64 = profile + gx;
    for (int32_t k = 0; k < count; ++k) {
      const int32_t d4 = distance[k];
      depth[k] = std::min(r4 - ((p64[k] * d4) >> 14), 2 * (r4 - d4));
    }
    uint32_t* line = pixels + static_cast<int64_t>(row) * width + left;
    const int32_t rowsBelow = height - 1 - row;
    const int32_t columnsRight = width - 1 - left;
    for (int32_t k = 0; k < count; ++k) {
      // Below a depth of 16 the offsets are 0: the pixel's own colour.
      const int32_t q = std::max(depth[k], 0);
      source[k] = line[static_cast<int64_t>(std::min(q >> 5, rowsBelow)) * width +
                       std::min(k + (q >> 4), columnsRight)];
      light[k] = ring.glow[q];
    }
    for (int32_t k = 0; k < count; ++k) {
      const int32_t q = depth[k];
      line[k] = q >= 1 ? RingLitPixel(source[k], q, light[k]) : source[k];
    }
  }
}

#if VX_RING_X86

bool HasAvx2() { return cpu::ProcessorFeatures().avx2; }
bool HasAvx512() { return cpu::ProcessorFeatures().avx512 && cpu::ProcessorFeatures().avx2; }

// ---- AVX2 ----------------------------------------------------------------

[[gnu::target("avx2")]] void RingAvx2(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height,
                                      int32_t top, const RowSpan* spans, int32_t rows) {
  const int32_t r = ring.radius;
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i one = _mm256_set1_epi32(1);
  const __m256i seven = _mm256_set1_epi32(7);
  const __m256i eight = _mm256_set1_epi32(8);
  const __m256i fifteen = _mm256_set1_epi32(15);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i vr4 = _mm256_set1_epi32(4 * r);
  const __m256i lastColumn = _mm256_set1_epi32(width - 1);
  const __m256i lastRow = _mm256_set1_epi32(height - 1);
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
  const DistanceTable& distances = Distances();
  RowNodes nodes;

  for (int32_t i = 0; i < rows; ++i) {
    const int32_t left = spans[i].left;
    const int32_t right = spans[i].right;
    if (left > right) continue;
    const int32_t row = top + i;
    const uint16_t* distance = StartRow(ring, distances, row, nodes);
    const __m256i vrow = _mm256_set1_epi32(row);
    uint32_t* line = pixels + static_cast<int64_t>(row) * width;

    for (int32_t col = left; col <= right; col += 8) {
      // The last block of a row may reach past `right`: its extra lanes stay
      // inactive and are neither read nor written.
      const int32_t count = right - col + 1;
      const __m256i inRow = _mm256_cmpgt_epi32(_mm256_set1_epi32(count), lanes);
      const int32_t dx0 = col - ring.cx;
      const int32_t firstNode = (dx0 + r) >> 3;
      const __m256i gx = _mm256_add_epi32(_mm256_set1_epi32(dx0 + r), lanes);
      const __m256i node = _mm256_sub_epi32(_mm256_srai_epi32(gx, 3), _mm256_set1_epi32(firstNode));
      const __m256i near = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(nodes.n + firstNode));
      const __m256i fx = _mm256_and_si256(gx, seven);
      const __m256i p64 = _mm256_add_epi32(
          _mm256_mullo_epi32(_mm256_permutevar8x32_epi32(near, node), _mm256_sub_epi32(eight, fx)),
          _mm256_mullo_epi32(_mm256_permutevar8x32_epi32(near, _mm256_add_epi32(node, one)), fx));
      const __m256i d4 =
          _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(distance + dx0)));
      const __m256i q =
          _mm256_min_epi32(_mm256_sub_epi32(vr4, _mm256_srai_epi32(_mm256_mullo_epi32(p64, d4), 14)),
                           _mm256_slli_epi32(_mm256_sub_epi32(vr4, d4), 1));
      const __m256i active = _mm256_and_si256(_mm256_cmpgt_epi32(q, zero), inRow);
      if (_mm256_testz_si256(active, active)) continue;
      // Below a depth of 16 both offsets are 0 and a pixel reads itself;
      // inactive lanes read in-range pixels too (their depth taken as 0).
      const __m256i depth = _mm256_max_epi32(q, zero);
      const __m256i columns = _mm256_add_epi32(_mm256_set1_epi32(col), lanes);
      const __m256i sx = _mm256_min_epi32(_mm256_add_epi32(columns, _mm256_srli_epi32(depth, 4)), lastColumn);
      const __m256i sy = _mm256_min_epi32(_mm256_add_epi32(vrow, _mm256_srli_epi32(depth, 5)), lastRow);
      const __m256i s =
          _mm256_i32gather_epi32(source, _mm256_add_epi32(_mm256_mullo_epi32(sy, vwidth), sx), 4);
      const __m256i light = _mm256_i32gather_epi32(glow, depth, 4);
      const __m256i factor = _mm256_blendv_epi8(
          unit, _mm256_add_epi32(_mm256_srai_epi32(_mm256_mullo_epi32(q, _mm256_set1_epi32(27)), 1), base),
          _mm256_cmpgt_epi32(q, fifteen));
      // (c · f) >> 13 = ((c << 3) · f) >> 16 for bytes c and factors f below 2^16.
      const __m256i low = _mm256_slli_epi16(_mm256_unpacklo_epi8(s, zero), 3);
      const __m256i high = _mm256_slli_epi16(_mm256_unpackhi_epi8(s, zero), 3);
      const __m256i bright =
          _mm256_packus_epi16(_mm256_mulhi_epu16(low, _mm256_shuffle_epi8(factor, spreadLow)),
                              _mm256_mulhi_epu16(high, _mm256_shuffle_epi8(factor, spreadHigh)));
      const __m256i lit = _mm256_blendv_epi8(_mm256_adds_epu8(bright, light), s, alpha);
      int* at = reinterpret_cast<int*>(line + col);
      if (count >= 8) {
        __m256i* block = reinterpret_cast<__m256i*>(at);
        _mm256_storeu_si256(block, _mm256_blendv_epi8(_mm256_loadu_si256(block), lit, active));
      } else {
        _mm256_maskstore_epi32(at, active, lit);
      }
    }
  }
}

// ---- AVX-512 -------------------------------------------------------------

#define VX_AVX512 "avx512f,avx512bw,avx512vl,avx512vbmi"

// The ring's light split into its blue, green and red bytes for depths
// 0 .. 127, two registers each, for byte permutes. Deeper light is gathered
// when there is any (the rings' own tables fade out by depth 118).
struct GlowBytes {
  __m512i low[3];
  __m512i high[3];
  bool deep = false;
};

[[gnu::target(VX_AVX512)]] GlowBytes SplitGlow(const Ring& ring) {
  alignas(64) uint8_t bytes[3][128];
  for (int32_t q = 0; q < 128; q += 16) {
    const __m512i g = _mm512_loadu_si512(ring.glow + q);
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes[0] + q), _mm512_cvtepi32_epi8(g));
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes[1] + q), _mm512_cvtepi32_epi8(_mm512_srli_epi32(g, 8)));
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes[2] + q), _mm512_cvtepi32_epi8(_mm512_srli_epi32(g, 16)));
  }
  GlowBytes split;
  for (int32_t c = 0; c < 3; ++c) {
    split.low[c] = _mm512_load_si512(bytes[c]);
    split.high[c] = _mm512_load_si512(bytes[c] + 64);
  }
  for (int32_t q = 128; q <= 4 * ring.radius; ++q) split.deep = split.deep || (ring.glow[q] & 0xffffffu) != 0;
  return split;
}

[[gnu::target(VX_AVX512)]] void RingAvx512(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height,
                                           int32_t top, const RowSpan* spans, int32_t rows) {
  const GlowBytes glowBytes = SplitGlow(ring);
  const int32_t r = ring.radius;
  const __m512i lanes = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i seven = _mm512_set1_epi32(7);
  const __m512i eight = _mm512_set1_epi32(8);
  const __m512i fifteen = _mm512_set1_epi32(15);
  const __m512i deepest = _mm512_set1_epi32(127);
  const __m512i zero = _mm512_setzero_si512();
  const __m512i vr4 = _mm512_set1_epi32(4 * r);
  const __m512i lastColumn = _mm512_set1_epi32(width - 1);
  const __m512i lastRow = _mm512_set1_epi32(height - 1);
  const __m512i vwidth = _mm512_set1_epi32(width);
  const __m512i unit = _mm512_set1_epi32(8192);
  const __m512i base = _mm512_set1_epi32(8100);
  const __m512i spreadLow =
      _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5));
  const __m512i spreadHigh =
      _mm512_broadcast_i32x4(_mm_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13));
  // A pixel's depth copied to its blue, green and red bytes.
  const __m512i spreadDepth =
      _mm512_broadcast_i32x4(_mm_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1));
  constexpr __mmask64 kBlue = 0x1111111111111111ull;
  constexpr __mmask64 kAlpha = 0x8888888888888888ull;
  const DistanceTable& distances = Distances();
  RowNodes nodes;

  for (int32_t i = 0; i < rows; ++i) {
    const int32_t left = spans[i].left;
    const int32_t right = spans[i].right;
    if (left > right) continue;
    const int32_t row = top + i;
    const uint16_t* distance = StartRow(ring, distances, row, nodes);
    const __m512i vrow = _mm512_set1_epi32(row);
    uint32_t* line = pixels + static_cast<int64_t>(row) * width;

    for (int32_t col = left; col <= right; col += 16) {
      const int32_t count = right - col + 1;
      const __mmask16 inRow = count >= 16 ? __mmask16{0xffff} : static_cast<__mmask16>((1u << count) - 1);
      const int32_t dx0 = col - ring.cx;
      const int32_t firstNode = (dx0 + r) >> 3;
      const __m512i gx = _mm512_add_epi32(_mm512_set1_epi32(dx0 + r), lanes);
      const __m512i node = _mm512_sub_epi32(_mm512_srai_epi32(gx, 3), _mm512_set1_epi32(firstNode));
      const __m512i near = _mm512_loadu_si512(nodes.n + firstNode);
      const __m512i fx = _mm512_and_si512(gx, seven);
      const __m512i p64 = _mm512_add_epi32(
          _mm512_mullo_epi32(_mm512_permutexvar_epi32(node, near), _mm512_sub_epi32(eight, fx)),
          _mm512_mullo_epi32(_mm512_permutexvar_epi32(_mm512_add_epi32(node, one), near), fx));
      const __m512i d4 =
          _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(distance + dx0)));
      const __m512i q =
          _mm512_min_epi32(_mm512_sub_epi32(vr4, _mm512_srai_epi32(_mm512_mullo_epi32(p64, d4), 14)),
                           _mm512_slli_epi32(_mm512_sub_epi32(vr4, d4), 1));
      const __mmask16 active = _mm512_mask_cmpgt_epi32_mask(inRow, q, zero);
      const __m512i depth = _mm512_max_epi32(q, zero);
      const __m512i across = _mm512_srli_epi32(depth, 4);
      const __m512i down = _mm512_srli_epi32(depth, 5);

      // The lens's source pixels, from the two rows and 32 columns where the
      // offsets of the block's shallower end start (a block's shallowest
      // pixel is nearly always at an end). A block whose pixels do not all
      // fit that window, or a window that would leave the picture, gathers.
      const int32_t shallowest = std::min(_mm_cvtsi128_si32(_mm512_castsi512_si128(depth)),
                                          _mm_extract_epi32(_mm512_extracti32x4_epi32(depth, 3), 3));
      const int32_t windowRow = row + (shallowest >> 5);
      const int32_t windowColumn = col + (shallowest >> 4);
      const __m512i index =
          _mm512_add_epi32(lanes, _mm512_sub_epi32(across, _mm512_set1_epi32(shallowest >> 4)));
      const __m512i lower = _mm512_sub_epi32(down, _mm512_set1_epi32(shallowest >> 5));
      const __mmask16 fits = _mm512_mask_cmple_epu32_mask(_mm512_mask_cmple_epu32_mask(active, lower, one),
                                                          index, _mm512_set1_epi32(31));
      __m512i s;
      if (fits == active && windowRow + 1 < height && windowColumn + 31 < width) {
        const uint32_t* w = pixels + static_cast<int64_t>(windowRow) * width + windowColumn;
        const __m512i upperPixels =
            _mm512_permutex2var_epi32(_mm512_loadu_si512(w), index, _mm512_loadu_si512(w + 16));
        const __m512i lowerPixels = _mm512_permutex2var_epi32(_mm512_loadu_si512(w + width), index,
                                                              _mm512_loadu_si512(w + width + 16));
        s = _mm512_mask_blend_epi32(_mm512_test_epi32_mask(lower, lower), upperPixels, lowerPixels);
      } else {
        const __m512i sx = _mm512_min_epi32(
            _mm512_add_epi32(_mm512_add_epi32(_mm512_set1_epi32(col), lanes), across), lastColumn);
        const __m512i sy = _mm512_min_epi32(_mm512_add_epi32(vrow, down), lastRow);
        s = _mm512_mask_i32gather_epi32(zero, active, _mm512_add_epi32(_mm512_mullo_epi32(sy, vwidth), sx),
                                        pixels, 4);
      }

      // The light's blue, green and red bytes, each from its own pair of
      // registers, for depths up to 127; deeper light is gathered (its alpha
      // byte, like the sum's, gives way to the source pixel's below).
      const __mmask16 deep = _mm512_mask_cmpgt_epi32_mask(active, depth, deepest);
      const __m512i lookup = _mm512_shuffle_epi8(depth, spreadDepth);
      __m512i light = _mm512_maskz_mov_epi32(
          static_cast<__mmask16>(~deep),
          _mm512_ternarylogic_epi32(
              _mm512_maskz_permutex2var_epi8(kBlue, glowBytes.low[0], lookup, glowBytes.high[0]),
              _mm512_maskz_permutex2var_epi8(kBlue << 1, glowBytes.low[1], lookup, glowBytes.high[1]),
              _mm512_maskz_permutex2var_epi8(kBlue << 2, glowBytes.low[2], lookup, glowBytes.high[2]), 0xfe));
      if (glowBytes.deep && deep != 0) light = _mm512_mask_i32gather_epi32(light, deep, depth, ring.glow, 4);

      const __m512i factor = _mm512_mask_blend_epi32(
          _mm512_cmpgt_epi32_mask(q, fifteen), unit,
          _mm512_add_epi32(_mm512_srai_epi32(_mm512_mullo_epi32(q, _mm512_set1_epi32(27)), 1), base));
      // As in the AVX2 path, per 128-bit lane.
      const __m512i low = _mm512_slli_epi16(_mm512_unpacklo_epi8(s, zero), 3);
      const __m512i high = _mm512_slli_epi16(_mm512_unpackhi_epi8(s, zero), 3);
      const __m512i bright =
          _mm512_packus_epi16(_mm512_mulhi_epu16(low, _mm512_shuffle_epi8(factor, spreadLow)),
                              _mm512_mulhi_epu16(high, _mm512_shuffle_epi8(factor, spreadHigh)));
      _mm512_mask_storeu_epi32(line + col, active,
                               _mm512_mask_blend_epi8(kAlpha, _mm512_adds_epu8(bright, light), s));
    }
  }
}

#endif

}  // namespace

bool FlashRingAvx2(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                   const RowSpan* spans, int32_t rows) {
#if VX_RING_X86
  if (HasAvx2()) {
    RingAvx2(ring, pixels, width, height, top, spans, rows);
    return true;
  }
#endif
  (void)ring, (void)pixels, (void)width, (void)height, (void)top, (void)spans, (void)rows;
  return false;
}

bool FlashRingAvx512(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                     const RowSpan* spans, int32_t rows) {
#if VX_RING_X86
  if (HasAvx512()) {
    RingAvx512(ring, pixels, width, height, top, spans, rows);
    return true;
  }
#endif
  (void)ring, (void)pixels, (void)width, (void)height, (void)top, (void)spans, (void)rows;
  return false;
}

void FlashRing(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
               const RowSpan* spans, int32_t rows) {
  if (cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx512) &&
      FlashRingAvx512(ring, pixels, width, height, top, spans, rows)) {
    return;
  }
  if (cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx2) &&
      FlashRingAvx2(ring, pixels, width, height, top, spans, rows)) {
    return;
  }
  RingRows(ring, pixels, width, height, top, spans, rows);
}

void FlashRingTabled(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                     const RowSpan* spans, int32_t rows) {
  RingRows(ring, pixels, width, height, top, spans, rows);
}

}  // namespace fx_kernels
