#include "gfx/drawing.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool OnScreen(const GfxContext& gfx, int64_t x, int64_t y) {
  return gfx.backBuffer != nullptr && x >= 0 && y >= 0 && x < gfx.screenWidth && y < gfx.screenHeight;
}

int32_t SignOf(int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Ceiling of a / b for b > 0.
int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

}  // namespace

void ResetDrawMode(GfxContext& gfx) {
  gfx.opacity = 255;
  gfx.additive = 0;
}

void SetDrawMode(GfxContext& gfx, int32_t mode) {
  if (mode == -2) {
    gfx.opacity = kPlainCopy;
    gfx.additive = 0;
  } else if (mode == -1) {
    gfx.opacity = 255;
    gfx.additive = -1;
  } else {
    gfx.opacity = std::clamp(mode, 0, 255);
    gfx.additive = 0;
  }
}

void SetSupersampling(GfxContext& gfx, int32_t on) { gfx.supersampling = on != 0 ? 1 : 0; }

void ClearScreen(GfxContext& gfx, uint32_t colour) {
  if (gfx.backBuffer == nullptr || gfx.screenWidth <= 0 || gfx.screenHeight <= 0) return;
  std::fill_n(gfx.backBuffer, int64_t{gfx.screenWidth} * gfx.screenHeight, colour);
}

void FillRect(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (gfx.backBuffer == nullptr) return;
  const int32_t w = gfx.screenWidth;
  const int32_t h = gfx.screenHeight;
  // A rectangle wholly beside the screen draws nothing; clamping alone would
  // pull it onto the nearest edge row or column.
  if (x2 < 0 || y2 < 0 || x1 >= w || y1 >= h) return;
  x1 = std::clamp(x1, 0, w - 1);
  x2 = std::clamp(x2, 0, w - 1);
  y1 = std::clamp(y1, 0, h - 1);
  y2 = std::clamp(y2, 0, h - 1);
  if (y1 > y2 || x1 > x2) return;
  for (int32_t y = y1; y <= y2; ++y) std::fill_n(gfx.backBuffer + int64_t{y} * w + x1, x2 - x1 + 1, colour);
}

uint32_t ScreenPixel(const GfxContext& gfx, int32_t x, int32_t y) {
  return OnScreen(gfx, x, y) ? gfx.backBuffer[int64_t{y} * gfx.screenWidth + x] : 0;
}

uint32_t* ScreenPixelAddress(GfxContext& gfx, int32_t x, int32_t y) {
  return OnScreen(gfx, x, y) ? gfx.backBuffer + int64_t{y} * gfx.screenWidth + x : nullptr;
}

void PutScreenPixel(GfxContext& gfx, int32_t x, int32_t y, uint32_t colour) {
  if (OnScreen(gfx, x, y)) gfx.backBuffer[int64_t{y} * gfx.screenWidth + x] = colour;
}

// The walk steps along the major axis every time, so the steps whose major
// coordinate lies on the screen form one run; the walk starts there, with the
// number of diagonal steps taken so far worked out in closed form. The error
// always stays in (s - 65536, s], which makes that count
// ceil((e0 + (t - 1) · s) / 65536) after t steps.
void DrawLine(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (gfx.backBuffer == nullptr) return;
  const int64_t dx = int64_t{x2} - x1;
  const int64_t dy = int64_t{y2} - y1;
  const int64_t adx = std::abs(dx);
  const int64_t ady = std::abs(dy);
  const int32_t sx = SignOf(dx);
  const int32_t sy = SignOf(dy);
  const int64_t n = std::max(adx, ady);
  if (n == 0) return;
  const bool xMajor = adx > ady;
  const int64_t s = xMajor ? ady * 65536 / adx : adx * 65536 / ady;
  const int64_t e0 = (s - (65536 - s)) / 2;

  const int64_t major0 = xMajor ? x1 : y1;
  const int32_t majorSign = xMajor ? sx : sy;
  const int64_t majorEnd = (xMajor ? gfx.screenWidth : gfx.screenHeight) - 1;
  int64_t tLo = 0;
  int64_t tHi = n - 1;
  if (majorSign > 0) {
    tLo = std::max(tLo, -major0);
    tHi = std::min(tHi, majorEnd - major0);
  } else {
    tLo = std::max(tLo, major0 - majorEnd);
    tHi = std::min(tHi, major0);
  }
  if (tLo > tHi) return;

  const int64_t diagonal = CeilDiv(e0 + (tLo - 1) * s, 65536);
  int64_t e = e0 + tLo * s - 65536 * diagonal;
  int64_t x = x1 + sx * (xMajor ? tLo : diagonal);
  int64_t y = y1 + sy * (xMajor ? diagonal : tLo);
  const int32_t straightX = xMajor ? sx : 0;
  const int32_t straightY = xMajor ? 0 : sy;
  const int64_t w = gfx.screenWidth;
  for (int64_t t = tLo; t <= tHi; ++t) {
    if (x >= 0 && y >= 0 && x < w && y < gfx.screenHeight) gfx.backBuffer[y * w + x] = colour;
    if (e > 0) {
      x += sx;
      y += sy;
      e -= 65536 - s;
    } else {
      x += straightX;
      y += straightY;
      e += s;
    }
  }
}
