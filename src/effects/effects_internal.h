#pragma once
// Shared by the effects files: the back buffer view, clipping, the radius
// limit of the light primitives and the per-byte pixel arithmetic.
#include <algorithm>
#include <cstdint>
#include <new>

#include "effects/effects_system.h"
#include "gfx/gfx_context.h"

namespace fx_detail {

// The back buffer as the effects see it; `pixels` is null when there is none.
struct Screen {
  uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

inline Screen ScreenOf(const GfxContext& gfx) {
  Screen s;
  if (gfx.backBuffer != nullptr && gfx.screenWidth > 0 && gfx.screenHeight > 0) {
    s.pixels = gfx.backBuffer;
    s.width = gfx.screenWidth;
    s.height = gfx.screenHeight;
  }
  return s;
}

// The light primitives index the square-root table with squared distances:
// (2r + 10) · (r + 5) must stay within 65530, so r runs to 176 at most.
inline bool RadiusFits(int32_t r) {
  const int64_t v = int64_t{r} + 5;
  if (v > 1000 || v < -1000) return false;
  return 2 * v * v <= 65530;
}

// Clips the inclusive range lo .. hi to 0 .. limit - 1; false when empty.
inline bool ClipRange(int64_t lo, int64_t hi, int32_t limit, int32_t& outLo, int32_t& outHi) {
  lo = std::max<int64_t>(lo, 0);
  hi = std::min<int64_t>(hi, int64_t{limit} - 1);
  if (lo > hi) return false;
  outLo = static_cast<int32_t>(lo);
  outHi = static_cast<int32_t>(hi);
  return true;
}

inline int32_t BlueOf(uint32_t p) { return static_cast<int32_t>(p & 0xffu); }
inline int32_t GreenOf(uint32_t p) { return static_cast<int32_t>((p >> 8) & 0xffu); }
inline int32_t RedOf(uint32_t p) { return static_cast<int32_t>((p >> 16) & 0xffu); }
inline int32_t BrightnessOf(uint32_t p) { return BlueOf(p) + GreenOf(p) + RedOf(p); }

inline int32_t ClampByte(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Adds signed amounts to the colour bytes, each clamped to 0 .. 255; alpha kept.
inline uint32_t AddToColour(uint32_t p, int32_t blue, int32_t green, int32_t red) {
  const uint32_t b = static_cast<uint32_t>(ClampByte(BlueOf(p) + blue));
  const uint32_t g = static_cast<uint32_t>(ClampByte(GreenOf(p) + green));
  const uint32_t r = static_cast<uint32_t>(ClampByte(RedOf(p) + red));
  return (p & 0xff000000u) | r << 16 | g << 8 | b;
}

// The floor of the mean of two pixels, byte by byte.
inline uint32_t Average(uint32_t a, uint32_t b) { return (a & b) + (((a ^ b) & 0xfefefefeu) >> 1); }

inline int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

inline int16_t Clamp16(int64_t v) {
  return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

// Colour amounts beyond this saturate every pixel anyway (the smallest
// weight a touched pixel gets is 1, and 65536 · 1 >> 5 is far above 255);
// clamping them keeps the products inside 32 bits.
inline int32_t ClampAmount(int32_t a) { return std::clamp(a, -65536, 65536); }

// Makes sure the scratch rows fit a screen of this width; false when they
// cannot be had.
inline bool EnsureScratch(EffectsSystem& fx, int32_t width) {
  if (width <= 0) return false;
  if (fx.scratchWidth >= width && fx.rowSums != nullptr && fx.rowCopy != nullptr) return true;
  fx.rowSums.reset(new (std::nothrow) uint16_t[static_cast<size_t>(width)]);
  fx.rowCopy.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width)]);
  fx.scratchWidth = (fx.rowSums != nullptr && fx.rowCopy != nullptr) ? width : 0;
  return fx.scratchWidth != 0;
}

}  // namespace fx_detail
