#pragma once
// The flash ring's pixel kernel: a plain version, written for reading, and
// the version the effects call, which takes the widest vector path the
// processor has and the kernel level (platform/cpu_features.h) allows; they
// give bit-identical results (the tests compare them).
#include <algorithm>
#include <cstdint>

#include "effects/effects_system.h"

namespace fx_kernels {

// The distance in quarter pixels for a squared distance in pixels:
// floor(4 · sqrt(dd)). Single precision is exact here (dd < 2^20); the
// faster forms read it from a table made with this function.
inline int32_t RingDistance(int32_t dd) {
  return static_cast<int32_t>(__builtin_sqrtf(static_cast<float>(16 * dd)));
}

// What a ring makes of a pixel q quarter pixels deep inside its rim
// (q >= 1): the source colour s (the pixel's own, or from a depth of 16 on
// the lens's pixel) brightened by the depth's factor, plus the ring's light
// for that depth, each colour byte clamped; the alpha byte stays s's.
inline uint32_t RingLitPixel(uint32_t s, int32_t q, uint32_t glow) {
  const uint32_t f = q >= 16 ? static_cast<uint32_t>((27 * q >> 1) + 8100) : 8192u;
  const uint32_t b = std::min<uint32_t>(255, ((s & 0xffu) * f >> 13) + (glow & 0xffu));
  const uint32_t g = std::min<uint32_t>(255, (((s >> 8) & 0xffu) * f >> 13) + ((glow >> 8) & 0xffu));
  const uint32_t r = std::min<uint32_t>(255, (((s >> 16) & 0xffu) * f >> 13) + ((glow >> 16) & 0xffu));
  return (s & 0xff000000u) | r << 16 | g << 8 | b;
}

// A ring of radius 1 .. kFlashMaxRadius at (cx, cy). grid holds its radius
// profile (150 .. 400, 256 the nominal radius) at the 8-pixel nodes of its
// bounding square, kRingGridSide rows of kRingGridSide; glow its light for
// each depth 0 .. 4r (quarter pixels) as a packed colour, in a table of
// 4 · kFlashMaxRadius + 1 entries.
struct Ring {
  const int32_t* grid = nullptr;
  const uint32_t* glow = nullptr;
  int32_t cx = 0;
  int32_t cy = 0;
  int32_t radius = 0;
};

// The columns a ring covers in one screen row; left > right for none. They
// lie within the screen and within r - 1 of the centre.
struct RowSpan {
  int32_t left = 0;
  int32_t right = -1;
};

// Draws the ring over screen rows top .. top + rows - 1 (within the screen
// and within r - 1 of the centre), across spans[row - top] in each.
void FlashRing(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
               const RowSpan* spans, int32_t rows);
void FlashRingPlain(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                    const RowSpan* spans, int32_t rows);
// One row of the plain version.
void FlashRingRowPlain(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t row,
                       int32_t left, int32_t right);

// The form FlashRing takes below AVX2 on every processor: the plain
// kernel's arithmetic with the distances from a table.
void FlashRingTabled(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                     const RowSpan* spans, int32_t rows);

// The vector paths FlashRing picks from, for the tests to hold each to the
// plain version; false (and nothing drawn) where the processor lacks one.
bool FlashRingAvx2(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                   const RowSpan* spans, int32_t rows);
bool FlashRingAvx512(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                     const RowSpan* spans, int32_t rows);

}  // namespace fx_kernels
