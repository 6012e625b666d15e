// The plain versions of the effects' hot loops: the definition of what each
// kernel computes. effects_kernels.cpp holds the versions the effects call.
#include <algorithm>

#include "effects/effects_internal.h"
#include "effects/effects_kernels.h"
#include "effects/effects_oscillator.h"

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

void TintRunsPlain(const PixelRun* runs, int32_t n, const Tint& tint) {
  for (int32_t i = 0; i < n; ++i) {
    if (tint.fast) {
      AddPackedPlain(runs[i].start, runs[i].count, tint.packed);
    } else {
      AddClampedPlain(runs[i].start, runs[i].count, tint.blue, tint.green, tint.red);
    }
  }
}

void RadialLightRowPlain(const RadialRow& light, uint32_t* line, int32_t left, int32_t right) {
  for (int32_t col = left; col <= right; ++col) {
    const int32_t dx = col - light.x;
    const int32_t k = light.radius - light.sqrtTable[dx * dx + light.dy * light.dy];
    line[col] = fx_detail::AddToColour(line[col], (light.amount[0] * k) >> 5, (light.amount[1] * k) >> 5,
                                       (light.amount[2] * k) >> 5);
  }
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

void EllipseRowPairPlain(const EllipseLight& light, uint32_t* above, uint32_t* below, int32_t dy,
                         int32_t left, int32_t right) {
  if (above != nullptr) EllipseRowPlain(light, above, -dy, left, right);
  if (below != nullptr) EllipseRowPlain(light, below, dy, left, right);
}

void RipplePlain(const RippleRow& row, uint32_t* line, uint32_t* copy) {
  const auto inRange = [&row](uint32_t p) {
    const int32_t b = fx_detail::BrightnessOf(p);
    return b >= row.min && b <= row.max;
  };
  std::copy(line, line + row.width, copy);
  int32_t columnValue = 0;
  int32_t columnSpeed = -100;
  for (int32_t x = row.left; x <= row.right; ++x) {
    StepOscillator(columnValue, columnSpeed);
    const int64_t u = (columnValue * row.factor) >> 22;
    if (u >= -1 && u <= 1) continue;
    if (!inRange(copy[x]) && !inRange(copy[x - 6]) && !inRange(copy[x + 6])) continue;
    // The pixel, smoothed with its left neighbour, lands u / 2 columns away.
    const int64_t target = std::clamp<int64_t>(x + u / 2, 0, row.width - 1);
    line[target] = fx_detail::Average(copy[x], copy[x - 1]);
  }
}

void AddLayerRow32Plain(uint32_t* line, const uint32_t* layer, int32_t count) {
  for (int32_t i = 0; i < count; ++i) line[i] += layer[i] & 0x00ffffffu;
}

void SumLayerRow8Plain(uint16_t* sums, const uint8_t* layer, int32_t count) {
  for (int32_t i = 0; i < count; ++i) sums[i] = static_cast<uint16_t>(sums[i] + layer[i]);
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
