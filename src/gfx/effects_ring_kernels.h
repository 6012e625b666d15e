#pragma once
// The flash ring's row kernel: a plain version, written for reading, and the
// version the effects call, which may take a vector path; the two give
// bit-identical results (the tests compare them).
#include <cstdint>

#include "gfx/effects.h"

namespace fx_kernels {

// The distance in quarter pixels for a squared distance in pixels:
// floor(4 · sqrt(dd)). Single precision is exact here (dd < 2^20), and the
// vector path takes the same square root.
inline int32_t RingDistance(int32_t dd) {
  return static_cast<int32_t>(__builtin_sqrtf(static_cast<float>(16 * dd)));
}

// One row of a flash ring, columns left .. right of screen row `row`, for a
// ring of radius r at (cx, cy). grid holds the ring's radius profile at the
// 8-pixel grid nodes of its bounding square (row stride kRingGridSide);
// glow the ring's light for each depth 0 .. 4r (quarter pixels) as a packed
// colour.
struct RingRow {
  const int32_t* grid = nullptr;
  const uint32_t* glow = nullptr;
  int32_t cx = 0;
  int32_t cy = 0;
  int32_t radius = 0;
};
void FlashRingRow(const RingRow& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t row,
                  int32_t left, int32_t right);
void FlashRingRowPlain(const RingRow& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t row,
                       int32_t left, int32_t right);

}  // namespace fx_kernels
