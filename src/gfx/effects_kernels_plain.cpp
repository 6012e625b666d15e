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

void TexturedLightRowPlain(const TexturedRow& light, uint32_t* line, int32_t left, int32_t right) {
  for (int32_t col = left; col <= right; ++col) {
    const int32_t dx = col - light.x;
    const int32_t k = std::clamp(light.radius - light.sqrtTable[dx * dx + light.dy * light.dy], 0, 256);
    int32_t strength = light.falloff[k];
    if (light.map != nullptr) strength += strength * light.map[dx] / 128;
    line[col] = fx_detail::AddToColour(line[col], (light.amount[0] * strength) >> 5,
                                       (light.amount[1] * strength) >> 5, (light.amount[2] * strength) >> 5);
  }
}

EllipseLight MakeEllipse(int32_t x, int32_t radius, int32_t red, int32_t green, int32_t blue, int32_t mode) {
  EllipseLight light;
  light.x = x;
  light.mode = mode;
  light.radius[0] = radius * 3 / 4;
  light.radius[1] = radius * 7 / 8;
  light.radius[2] = radius;
  light.amount[0] = blue;
  light.amount[1] = green;
  light.amount[2] = red;
  for (int32_t c = 0; c < 3; ++c) {
    const int32_t rc = light.radius[c];
    light.limit[c] = rc >= 1 ? 4 * rc * rc : 0;
    light.scale[c] = rc >= 1 ? (1 << 24) / light.limit[c] : 0;
  }
  return light;
}

namespace {

int32_t LightByte(int32_t c, int32_t add, int32_t mode) {
  if (mode != 0 && add > 0) return ClampByte(c + ((add * (255 - c)) >> 8));
  return ClampByte(c + add);
}

}  // namespace

// A channel's weight falls from the centre to its rim as (1 - e / limit)²,
// e being the squared elliptical distance 4dx² + 9dy²: no edge and no flat
// top. At the centre it is radius · 128, so the peak gain is amount · radius / 8.
void EllipseRowPlain(const EllipseLight& light, uint32_t* line, int32_t dy, int32_t left, int32_t right) {
  for (int32_t col = left; col <= right; ++col) {
    const int32_t dx = col - light.x;
    const int32_t e = 4 * dx * dx + 9 * dy * dy;
    const uint32_t p = line[col];
    uint32_t out = p & 0xff000000u;
    for (int32_t c = 0; c < 3; ++c) {
      int32_t weight = 0;
      if (e < light.limit[c]) {
        const int32_t t = 256 - ((e * light.scale[c]) >> 16);
        weight = (light.radius[c] * t * t) >> 9;
      }
      const int32_t byte = static_cast<int32_t>((p >> (8 * c)) & 0xffu);
      out |= static_cast<uint32_t>(LightByte(byte, (light.amount[c] * weight) >> 10, light.mode)) << (8 * c);
    }
    line[col] = out;
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
  // Byte j of the row adds to sum j: blue, green, red and alpha of each pixel.
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(layer);
  for (int32_t j = 0; j < 4 * count; ++j) sums[j] = static_cast<uint16_t>(sums[j] + bytes[j]);
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
