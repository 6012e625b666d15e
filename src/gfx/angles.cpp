#include "gfx/angles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gfx/draw_internal.h"

namespace {

constexpr int32_t kDirectionEntries = 82 * 82 + 1;

// Rotation in 64-bit, shared by the public RotatePoint and the transformed
// blit (whose double-resolution corners may leave the 32-bit range).
void Rotate(const GfxContext& gfx, int64_t& x, int64_t& y, int32_t angle, int64_t cx, int64_t cy) {
  if (angle < 0 || angle >= 360) return;
  const int64_t dx = x - cx;
  const int64_t dy = y - cy;
  const int64_t s = gfx.sine[angle];
  const int64_t v = gfx.versine[angle];
  const int64_t newY = y - ((dx * s + dy * v) >> 10);
  const int64_t newX = x + ((dy * s - dx * v) >> 10);
  x = newX;
  y = newY;
}

}  // namespace

// Both tables come from stepping round a circle in double precision; the
// rounding of the sine and versine tables (sine[90] is 1023, sine[270] is
// -1025) is part of the game's arithmetic. The direction table takes eight
// steps per degree and goes one degree past the full turn.
void BuildAngleTables(GfxContext& gfx) {
  double x = -1024.0;
  double y = 0.0;
  const double r = 1719.0335211536624;
  int32_t k = 0;
  for (int32_t i = 0; i <= 10860; ++i) {
    y = y - x / r;
    x = x + y / r;
    if (i % 30 == 0 && k < 363) {
      gfx.versine[k] = static_cast<int32_t>(std::floor(x + 1024.0));
      gfx.sine[k] = static_cast<int32_t>(std::floor(y));
      ++k;
    }
  }

  std::fill_n(gfx.direction, kDirectionEntries, 0);
  const double rd = 458.40893897431;
  for (int32_t radius = 400; radius <= 410; ++radius) {
    double px = -radius;
    double py = 0.0;
    for (int32_t j = 0; j <= 2888; ++j) {
      py = py - px / rd;
      px = px + py / rd;
      const int32_t u = static_cast<int32_t>(std::trunc(py));
      const int32_t v = static_cast<int32_t>(std::trunc(px));
      int32_t d = std::abs(u) + std::abs(v);
      if (d == 0) d = 1;
      const int32_t index = (40 * u) / d + 82 * ((40 * v) / d) + 3320;
      // Later steps overwrite earlier ones, so a straight direction keeps
      // the degree of the last step that still rounds onto it (89 for
      // straight right, 361 for straight up before the read clamps it).
      if (index >= 0 && index < kDirectionEntries) gfx.direction[index] = j / 8;
    }
  }
}

void RotatePoint(const GfxContext& gfx, int32_t& x, int32_t& y, int32_t angle, int32_t cx, int32_t cy) {
  int64_t px = x;
  int64_t py = y;
  Rotate(gfx, px, py, angle, cx, cy);
  x = static_cast<int32_t>(px);
  y = static_cast<int32_t>(py);
}

void draw_detail::RotateWide(const GfxContext& gfx, int64_t& x, int64_t& y, int32_t angle, int64_t cx,
                             int64_t cy) {
  Rotate(gfx, x, y, angle, cx, cy);
}

int32_t DirectionOf(const GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int64_t dx = int64_t{x1} - x2;
  const int64_t dy = int64_t{y1} - y2;
  int64_t d = std::abs(dx) + std::abs(dy);
  if (d == 0) d = 1;
  const int64_t index = (40 * dx) / d + 82 * ((40 * dy) / d) + 3320;
  if (index < 0 || index >= kDirectionEntries) return 0;
  return std::clamp(gfx.direction[index], 0, 359);
}

int32_t Sign(int32_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }
