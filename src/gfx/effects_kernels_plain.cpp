// The plain versions of the effects' hot loops: the definition of what each
// kernel computes. effects_kernels.cpp holds the versions the effects call.
#include <algorithm>

#include "gfx/effects_internal.h"
#include "gfx/effects_kernels.h"

namespace fx_kernels {

using fx_detail::BlueOf;
using fx_detail::ClampByte;
using fx_detail::GreenOf;
using fx_detail::RedOf;

void AddPackedPlain(uint32_t* line, int32_t count, uint32_t packed) {
  for (int32_t i = 0; i < count; ++i) line[i] += packed;
}

void AddClampedPlain(uint32_t* line, int32_t count, int32_t blue, int32_t green, int32_t red) {
  for (int32_t i = 0; i < count; ++i) line[i] = fx_detail::AddToColour(line[i], blue, green, red);
}

// Weights fall from the centre to each channel's rim as (1 - e / lim)², e
// being the squared elliptical distance 4dx² + 9dy² and lim = 4 · radius²:
// no edge, no flat top. At the centre a channel's weight is radius · 128,
// so its peak gain is amount · radius / 8.
void BuildEllipseKernel(EllipseKernel& kernel, int32_t radius) {
  radius = std::clamp(radius, 1, kEllipseMaxRadius);
  const int32_t cols = 2 * radius + 1;
  const int64_t outer = 4 * int64_t{radius} * radius;
  int32_t reachY = 0;
  while (9 * int64_t{reachY + 1} * (reachY + 1) < outer) ++reachY;
  kernel.radius = radius;
  kernel.reachY = reachY;
  // Blue, green, red: 3/4, 7/8 and all of the radius.
  const int32_t channelRadius[3] = {radius * 3 / 4, radius * 7 / 8, radius};
  for (int32_t dy = -reachY; dy <= reachY; ++dy) {
    const int32_t rowIndex = dy + reachY;
    int16_t* row = kernel.weights + static_cast<int64_t>(rowIndex) * cols * 4;
    int32_t halfWidth = -1;
    for (int32_t dx = -radius; dx <= radius; ++dx) {
      const int64_t e = 4 * int64_t{dx} * dx + 9 * int64_t{dy} * dy;
      int16_t* w = row + (dx + radius) * 4;
      for (int32_t c = 0; c < 3; ++c) {
        const int64_t rc = channelRadius[c];
        const int64_t lim = 4 * rc * rc;
        int32_t weight = 0;
        if (rc >= 1 && e < lim) {
          const int64_t t = (lim - e) * 256 / lim;
          weight = static_cast<int32_t>((rc * t * t) >> 9);
        }
        w[c] = static_cast<int16_t>(weight);
      }
      w[3] = 0;
      if (e < outer) halfWidth = std::max(halfWidth, dx);
    }
    kernel.halfWidth[rowIndex] = halfWidth;
  }
}

namespace {

int32_t LightByte(int32_t c, int32_t add, int32_t mode) {
  if (mode != 0 && add > 0) return ClampByte(c + ((add * (255 - c)) >> 8));
  return ClampByte(c + add);
}

}  // namespace

void ApplyEllipsePlain(const EllipseKernel& kernel, uint32_t* pixels, int32_t width, int32_t height,
                       int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue, int32_t mode) {
  const int32_t radius = kernel.radius;
  const int32_t cols = 2 * radius + 1;
  int32_t top = 0;
  int32_t bottom = 0;
  if (!fx_detail::ClipRange(int64_t{y} - kernel.reachY, int64_t{y} + kernel.reachY, height, top, bottom))
    return;
  for (int32_t row = top; row <= bottom; ++row) {
    const int32_t rowIndex = row - y + kernel.reachY;
    const int32_t h = kernel.halfWidth[rowIndex];
    int32_t left = 0;
    int32_t right = 0;
    if (h < 0 || !fx_detail::ClipRange(int64_t{x} - h, int64_t{x} + h, width, left, right)) continue;
    const int16_t* weights = kernel.weights + static_cast<int64_t>(rowIndex) * cols * 4;
    uint32_t* line = pixels + static_cast<int64_t>(row) * width;
    for (int32_t col = left; col <= right; ++col) {
      const int16_t* w = weights + (col - x + radius) * 4;
      const uint32_t p = line[col];
      const uint32_t b = static_cast<uint32_t>(LightByte(BlueOf(p), (blue * w[0]) >> 10, mode));
      const uint32_t g = static_cast<uint32_t>(LightByte(GreenOf(p), (green * w[1]) >> 10, mode));
      const uint32_t r = static_cast<uint32_t>(LightByte(RedOf(p), (red * w[2]) >> 10, mode));
      line[col] = (p & 0xff000000u) | r << 16 | g << 8 | b;
    }
  }
}

// Inside the rippled rim a pixel lies q quarter pixels deep (q = 4r - p · d4
// / 256 with d4 the distance in quarter pixels, and never more than twice its
// distance from the disc's edge, so nothing stops short at that edge). From
// a depth of 4 pixels it takes the brightened colour of the pixel q / 16 to
// its right and q / 32 below it, which bends the picture like a lens; every
// pixel inside the rim also gains the ring's own light for its depth. The
// source pixels come later in the scan than every pixel written so far, so
// the pass reads only the picture as it was before the ring, whatever order
// the pixels are written in.
void FlashRingRowPlain(const RingRow& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t row,
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
    uint32_t f = 8192;
    if (q >= 16) {
      const int32_t sx = std::min(col + q / 16, width - 1);
      const int32_t sy = std::min(row + q / 32, height - 1);
      s = pixels[static_cast<int64_t>(sy) * width + sx];
      f = static_cast<uint32_t>((27 * q >> 1) + 8100);
    }
    const uint32_t glow = ring.glow[q];
    const uint32_t b = std::min<uint32_t>(255, ((s & 0xffu) * f >> 13) + (glow & 0xffu));
    const uint32_t g = std::min<uint32_t>(255, (((s >> 8) & 0xffu) * f >> 13) + ((glow >> 8) & 0xffu));
    const uint32_t rr = std::min<uint32_t>(255, (((s >> 16) & 0xffu) * f >> 13) + ((glow >> 16) & 0xffu));
    line[col] = (s & 0xff000000u) | rr << 16 | g << 8 | b;
  }
}

void SumLayerRow32Plain(uint16_t* sums, const uint32_t* layer, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t p = layer[i];
    sums[4 * i] = static_cast<uint16_t>(sums[4 * i] + (p & 0xffu));
    sums[4 * i + 1] = static_cast<uint16_t>(sums[4 * i + 1] + ((p >> 8) & 0xffu));
    sums[4 * i + 2] = static_cast<uint16_t>(sums[4 * i + 2] + ((p >> 16) & 0xffu));
    sums[4 * i + 3] = static_cast<uint16_t>(sums[4 * i + 3] + (p >> 24));
  }
}

void SumLayerRow8Plain(uint16_t* sums, const uint8_t* layer, int32_t count) {
  for (int32_t i = 0; i < count; ++i) sums[i] = static_cast<uint16_t>(sums[i] + layer[i]);
}

void ApplyLayerSums32Plain(uint32_t* line, const uint16_t* sums, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    line[i] += uint32_t{sums[4 * i]} + (uint32_t{sums[4 * i + 1]} << 8) + (uint32_t{sums[4 * i + 2]} << 16);
  }
}

void ApplyLayerSums8Plain(uint32_t* line, const uint16_t* sums, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const int32_t half = sums[i] / 2;
    const uint32_t p = line[i];
    const uint32_t b = static_cast<uint32_t>(std::min(255, BlueOf(p) + half));
    const uint32_t g = static_cast<uint32_t>(std::min(255, GreenOf(p) + half));
    const uint32_t r = static_cast<uint32_t>(std::min(255, RedOf(p) + half));
    line[i] = (p & 0xff000000u) | r << 16 | g << 8 | b;
  }
}

}  // namespace fx_kernels
