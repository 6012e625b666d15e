#pragma once
// Shared by the drawing files: frame selection, span look-up, the per-pixel
// arithmetic of blending and adding, and the row kernels of the blits.
#include <algorithm>
#include <cstdint>

#include "gfx/gfx_context.h"

namespace draw_detail {

// One frame of a loaded slot: columns offset .. offset + width - 1 of rows
// 0 .. height - 1. columnLimit is how many of those columns exist in the
// picture (less than width only for a last frame that the transformed blit
// accepts although the picture is one column short).
struct FrameView {
  const ImageSlot* slot = nullptr;
  int32_t offset = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t columnLimit = 0;
};

enum class FrameRule {
  kBlit,         // frames 0 .. width / height - 1
  kTransformed,  // frames 0 .. (width + 1) / height - 1
};

inline bool SelectFrame(const GfxContext& gfx, int32_t slot, int32_t frame, FrameRule rule, FrameView& view) {
  if (slot < 0 || slot > gfx.highestSlot || slot >= kImageSlots) return false;
  const ImageSlot& s = gfx.slots[slot];
  if (s.state != kLoaded || s.pixels == nullptr || s.width <= 0 || s.height <= 0) return false;
  view.slot = &s;
  view.height = s.height;
  if (frame == -1) {
    view.offset = 0;
    view.width = s.width;
    view.columnLimit = s.width;
    return true;
  }
  const int64_t extra = rule == FrameRule::kTransformed ? 1 : 0;
  const int64_t frames = (int64_t{s.width} + extra) / s.height;
  if (frame < 0 || frame >= frames) return false;
  view.offset = frame * s.height;
  view.width = s.height;
  view.columnLimit = static_cast<int32_t>(std::min<int64_t>(s.height, int64_t{s.width} - view.offset));
  return true;
}

inline int32_t SpanAt(const int32_t* table, int32_t row) { return table != nullptr ? table[row] : 0; }

inline constexpr uint32_t kAlphaMask = 0xff000000u;
inline constexpr uint32_t kColourMask = 0x00ffffffu;
inline constexpr uint32_t kMarkerBit = 0x01000000u;  // lowest alpha bit: not yet drawn by this blit

// (src · a + dst · (255 - a)) >> 8 for each colour byte; alpha byte 0.
inline uint32_t MixColour(uint32_t s, uint32_t d, uint32_t a) {
  const uint32_t ia = 255 - a;
  const uint32_t rb = (((s & 0xff00ffu) * a + (d & 0xff00ffu) * ia) >> 8) & 0xff00ffu;
  const uint32_t g = ((((s >> 8) & 0xffu) * a + ((d >> 8) & 0xffu) * ia) >> 8) & 0xffu;
  return rb | g << 8;
}

// min(255, src + dst) for each of the four bytes.
inline uint32_t AddBytes(uint32_t s, uint32_t d) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sum = ((s >> shift) & 0xffu) + ((d >> shift) & 0xffu);
    out |= (sum > 255 ? 255u : sum) << shift;
  }
  return out;
}

// The blend of one picture pixel in a blit: transparent source pixels leave
// the destination alone, fully opaque ones are copied whole.
inline uint32_t BlendPixel(uint32_t s, uint32_t d, uint32_t opacity) {
  const uint32_t as = s >> 24;
  if (as == 0) return d;
  const uint32_t a = std::min(opacity, as);
  if (a == 255) return s;
  return MixColour(s, d, a) | a << 24;
}

// Which forms of the row kernels run follows the kernel level of
// platform/cpu_features.h: AVX2 from kAvx2, the 4-pixel SSE2 forms from
// kSse2 (the packed rows' SSSE3 form there if the processor has SSSE3), at
// kPlain the forms of any processor (the adding and packed rows in generic
// vectors, on aarch64 the packed rows as a generic byte shuffle). Tests
// compare them with tests/reference/.

// Row kernels: count pixels from src over dst. Opacity 0..255.
void BlendRow(uint32_t* dst, const uint32_t* src, int32_t count, uint32_t opacity);
// The adding row kernel is handed out once for a loop over many rows: each
// byte of src is added to dst with saturation.
using RowAdder = void (*)(uint32_t* dst, const uint32_t* src, int32_t count);
RowAdder AddRowKernel();
// count pixels of 3 bytes (blue, green, red) each; the alpha byte becomes 255.
void CopyPacked24Row(uint32_t* dst, const uint8_t* src, int32_t count);
// The double-resolution passes of the transformed blit: each of count screen
// pixels, with the marker bit set, into its 2 x 2 block of the two sample
// rows; and back, each pixel the truncated mean colour of its block with
// the top-left sample's alpha.
void SpreadToBlocks(const uint32_t* screen, uint32_t* top, uint32_t* bottom, int32_t count);
void AverageBlocks(uint32_t* screen, const uint32_t* top, const uint32_t* bottom, int32_t count);

// The transformed blits with every step of every walk visited and tested
// against the area, for the plain reference forms that tests and
// benchmarks compare the fast ones with.
void DrawToCornersFullWalk(GfxContext& gfx, int32_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           int32_t x3, int32_t y3, int32_t x4, int32_t y4, int32_t frame);
void DrawRotatedFrameFullWalk(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle,
                              int32_t frame);

// The plain forms of the slot preparations that have vector forms, pixel
// by pixel, for the tests that compare the two.
void ComputeRowSpansPlain(GfxContext& gfx, int32_t slot);
void PrepareAlphaPlain(GfxContext& gfx, int32_t slot, int32_t mode);
void PackTo24Plain(GfxContext& gfx, int32_t slot);

// RotatePoint in 64-bit coordinates.
void RotateWide(const GfxContext& gfx, int64_t& x, int64_t& y, int32_t angle, int64_t cx, int64_t cy);

// The opacity a blit blends with.
inline uint32_t BlendOpacity(const GfxContext& gfx) {
  return static_cast<uint32_t>(std::clamp(gfx.opacity, 0, 255));
}

}  // namespace draw_detail
