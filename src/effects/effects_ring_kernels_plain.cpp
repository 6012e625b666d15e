// The plain flash ring kernel: the definition of what a ring does to its
// pixels. effects_ring_kernels.cpp holds the version the effects call.
#include <algorithm>

#include "effects/effects_internal.h"
#include "effects/effects_ring_kernels.h"

namespace fx_kernels {

// Inside the rippled rim a pixel lies q quarter pixels deep (q = 4r - p · d4
// / 256 with d4 the distance in quarter pixels, and never more than twice its
// distance from the disc's edge, so nothing stops short at that edge). From
// a depth of 4 pixels it takes the brightened colour of the pixel q / 16 to
// its right and q / 32 below it, which bends the picture like a lens; every
// pixel inside the rim also gains the ring's own light for its depth. The
// source pixels come later in the scan than every pixel written so far, so
// the pass reads only the picture as it was before the ring, whatever order
// the pixels are written in.
void FlashRingRowPlain(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t row,
                       int32_t left, int32_t right) {
  const int32_t r4 = 4 * ring.radius;
  const int32_t dy = row - ring.cy;
  const int32_t gy = dy + ring.radius;
  const int32_t* upper = ring.grid + (gy >> 3) * kRingGridSide;
  const int32_t* lower = upper + kRingGridSide;
  const int32_t fy = gy & 7;
  uint32_t* line = pixels + static_cast<int64_t>(row) * width;
  for (int32_t col = left; col <= right; ++col) {
    const int32_t dx = col - ring.cx;
    const int32_t gx = dx + ring.radius;
    const int32_t i = gx >> 3;
    const int32_t fx = gx & 7;
    const int32_t top = upper[i] * (8 - fx) + upper[i + 1] * fx;
    const int32_t bottom = lower[i] * (8 - fx) + lower[i + 1] * fx;
    const int32_t p64 = top * (8 - fy) + bottom * fy;  // the profile · 64
    const int32_t d4 = RingDistance(dx * dx + dy * dy);
    const int32_t q = std::min(r4 - ((p64 * d4) >> 14), 2 * (r4 - d4));
    if (q < 1) continue;
    uint32_t s = line[col];
    if (q >= 16) {
      const int32_t sx = std::min(col + q / 16, width - 1);
      const int32_t sy = std::min(row + q / 32, height - 1);
      s = pixels[static_cast<int64_t>(sy) * width + sx];
    }
    line[col] = RingLitPixel(s, q, ring.glow[q]);
  }
}

void FlashRingPlain(const Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
                    const RowSpan* spans, int32_t rows) {
  for (int32_t i = 0; i < rows; ++i) {
    if (spans[i].left <= spans[i].right)
      FlashRingRowPlain(ring, pixels, width, height, top + i, spans[i].left, spans[i].right);
  }
}

}  // namespace fx_kernels
