#include "effects/effects_lights.h"

#include <algorithm>

#include "effects/effects_internal.h"
#include "effects/effects_kernels.h"
#include "effects/effects_system.h"
#include "gfx/gfx_context.h"

using fx_detail::ClampAmount;
using fx_detail::ClipRange;
using fx_detail::RadiusFits;
using fx_detail::Screen;
using fx_detail::ScreenOf;

namespace {

// The half-width of row dy of a disc whose squared extent is reach²:
// sqrt-table[reach² - dy² + 1], or reach itself where the index would pass
// the table's safe end.
int32_t DiscHalfWidth(const EffectsSystem& fx, int32_t reach, int32_t dy) {
  const int64_t index = int64_t{reach} * reach - int64_t{dy} * dy + 1;
  if (index >= 65531) return reach;
  if (index < 0) return -1;
  return fx.sqrtTable[index];
}

// Calls row(line, dy, left, right) for every screen row of the disc around
// (x, y) whose squared extent is reach², with its columns clipped.
template <typename Row>
void ForEachDiscRow(const EffectsSystem& fx, const Screen& screen, int32_t x, int32_t y, int32_t reach,
                    Row row) {
  int32_t top = 0;
  int32_t bottom = 0;
  if (!ClipRange(int64_t{y} - reach, int64_t{y} + reach, screen.height, top, bottom)) return;
  for (int32_t r = top; r <= bottom; ++r) {
    const int32_t dy = r - y;
    const int32_t h = DiscHalfWidth(fx, reach, dy);
    int32_t left = 0;
    int32_t right = 0;
    if (h < 0 || !ClipRange(int64_t{x} - h, int64_t{x} + h, screen.width, left, right)) continue;
    row(screen.pixels + static_cast<int64_t>(r) * screen.width, dy, left, right);
  }
}

// The byte map of light map `frame`, or null when its slot holds none.
const uint8_t* LightMap(const GfxContext& gfx, int32_t frame) {
  if (static_cast<uint32_t>(frame) > kLightMapCount - 1) frame = 0;
  const ImageSlot& s = gfx.slots[kLightMapFirstSlot + frame];
  if (s.state != kLoaded || s.pixels == nullptr) return nullptr;
  if (int64_t{s.width} * s.height * 4 < int64_t{kLightMapSide} * kLightMapSide) return nullptr;
  return reinterpret_cast<const uint8_t*>(s.pixels);
}

}  // namespace

void AddRadialLight(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
                    int32_t green, int32_t blue) {
  const Screen screen = ScreenOf(gfx);
  if (screen.pixels == nullptr || !RadiusFits(radius)) return;
  red = ClampAmount(red);
  green = ClampAmount(green);
  blue = ClampAmount(blue);
  fx_kernels::RadialRow light;
  light.sqrtTable = fx.sqrtTable;
  light.x = x;
  light.radius = radius;
  light.amount[0] = blue;
  light.amount[1] = green;
  light.amount[2] = red;
  ForEachDiscRow(fx, screen, x, y, radius - 2, [&](uint32_t* line, int32_t dy, int32_t left, int32_t right) {
    light.dy = dy;
    fx_kernels::RadialLightRow(light, line, left, right);
  });
}

void AddTexturedLight(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
                      int32_t green, int32_t blue, int32_t frame) {
  const Screen screen = ScreenOf(gfx);
  if (screen.pixels == nullptr || !RadiusFits(radius)) return;
  const uint8_t* map = LightMap(gfx, frame);
  fx_kernels::TexturedRow light;
  light.sqrtTable = fx.sqrtTable;
  light.falloff = fx.falloff;
  light.x = x;
  light.radius = radius;
  light.amount[0] = ClampAmount(blue);
  light.amount[1] = ClampAmount(green);
  light.amount[2] = ClampAmount(red);
  ForEachDiscRow(fx, screen, x, y, radius - 2, [&](uint32_t* line, int32_t dy, int32_t left, int32_t right) {
    light.dy = dy;
    light.map = map != nullptr ? map + (kLightMapCentre + dy) * kLightMapSide + kLightMapCentre : nullptr;
    fx_kernels::TexturedLightRow(light, line, left, right);
  });
}

void TintDisc(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
              int32_t green, int32_t blue, int32_t fast) {
  if (!(red > 0 || green > 0 || blue >= 1)) return;
  const Screen screen = ScreenOf(gfx);
  if (screen.pixels == nullptr || !RadiusFits(radius)) return;
  const uint32_t packed =
      static_cast<uint32_t>(red) * 65536u + static_cast<uint32_t>(green) * 256u + static_cast<uint32_t>(blue);
  // Amounts past ±512 clamp every byte the same way as ±512 does.
  red = std::clamp(red, -512, 512);
  green = std::clamp(green, -512, 512);
  blue = std::clamp(blue, -512, 512);
  fx_kernels::Tint tint;
  tint.fast = fast != 0;
  tint.packed = packed;
  tint.blue = blue;
  tint.green = green;
  tint.red = red;
  // The radius limit keeps a disc within 2 · 176 + 1 rows.
  fx_kernels::PixelRun runs[2 * 176 + 1];
  int32_t n = 0;
  ForEachDiscRow(fx, screen, x, y, radius - 1, [&](uint32_t* line, int32_t, int32_t left, int32_t right) {
    runs[n++] = fx_kernels::PixelRun{line + left, right - left + 1};
  });
  fx_kernels::TintRuns(runs, n, tint);
}

void AddEllipseLight(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
                     int32_t green, int32_t blue, int32_t mode) {
  const Screen screen = ScreenOf(gfx);
  if (screen.pixels == nullptr || radius < 1 || !RadiusFits(radius)) return;
  if (red == 0 && green == 0 && blue == 0) return;
  const fx_kernels::EllipseLight light =
      fx_kernels::MakeEllipse(x, radius, std::clamp(red, -32767, 32767), std::clamp(green, -32767, 32767),
                              std::clamp(blue, -32767, 32767), mode);
  // Rows where red, the widest channel, still reaches: 9 · dy² < 4 · r².
  const int32_t outer = 4 * radius * radius;
  int32_t reachY = 0;
  while (9 * (reachY + 1) * (reachY + 1) < outer) ++reachY;
  const auto rowAt = [&screen](int64_t row) {
    return row >= 0 && row < screen.height ? screen.pixels + row * screen.width : nullptr;
  };
  for (int32_t dy = 0; dy <= reachY; ++dy) {
    uint32_t* above = dy != 0 ? rowAt(int64_t{y} - dy) : nullptr;
    uint32_t* below = rowAt(int64_t{y} + dy);
    if (above == nullptr && below == nullptr) continue;
    // The widest dx with 4 · dx² + 9 · dy² < 4 · r².
    const int32_t h = fx.sqrtTable[(outer - 9 * dy * dy - 1) / 4];
    int32_t left = 0;
    int32_t right = 0;
    if (!ClipRange(int64_t{x} - h, int64_t{x} + h, screen.width, left, right)) continue;
    fx_kernels::EllipseRowPair(light, above, below, dy, left, right);
  }
}

void AddPixelGlow(EffectsSystem& fx, GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  int32_t min, int32_t max, int32_t k, int32_t redFactor, int32_t greenFactor,
                  int32_t blueFactor, int32_t sparse, int32_t mode) {
  const Screen screen = ScreenOf(gfx);
  if (screen.pixels == nullptr) return;
  const int64_t weight = sparse != 0 ? int64_t{k} * 2 : int64_t{k};
  const int32_t step = sparse != 0 ? 2 : 1;
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;
  if (!ClipRange(x1, x2, screen.width, left, right) || !ClipRange(y1, y2, screen.height, top, bottom)) return;

  // Sample first, then light: the lights must not feed the samples.
  fx.glowPointCount = 0;
  const auto amount = [weight](int32_t byte, int32_t factor) {
    return (3 * weight * byte / 16 + 1) * factor / 256;
  };
  for (int32_t row = top; row <= bottom; row += step) {
    const uint32_t* line = screen.pixels + static_cast<int64_t>(row) * screen.width;
    for (int32_t col = left; col <= right; col += step) {
      const uint32_t p = line[col];
      const int32_t sum = fx_detail::BrightnessOf(p);
      if (sum < min || sum > max) continue;
      const int64_t r = amount(fx_detail::RedOf(p), redFactor);
      const int64_t g = amount(fx_detail::GreenOf(p), greenFactor);
      const int64_t b = amount(fx_detail::BlueOf(p), blueFactor);
      if (r < 1024 && g < 1024 && b < 1024) continue;
      if (fx.glowPointCount >= kGlowPointPool) continue;
      // The colour amounts are signed bytes; stronger values saturate.
      const auto toByte = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v / 256, -128, 127));
      };
      fx.glowPoints[fx.glowPointCount++] = GlowPoint{col, row, toByte(r), toByte(g), toByte(b)};
    }
  }
  for (int32_t i = 0; i < fx.glowPointCount; ++i) {
    const GlowPoint& pt = fx.glowPoints[i];
    AddEllipseLight(fx, gfx, pt.x, pt.y, 8, pt.red, pt.green, pt.blue, mode);
  }
}
