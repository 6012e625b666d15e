// Picture blits at their own size: DrawFrame and DrawPicture with plain copy,
// blending and additive drawing, and the opaque copy of 3-byte pictures.
#include <algorithm>
#include <cstring>

#include "gfx/draw_internal.h"
#include "gfx/drawing.h"

using draw_detail::FrameRule;
using draw_detail::FrameView;
using draw_detail::SpanAt;

void DrawFrame(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t frame) {
  DrawFrameRows(gfx, slot, x, y, frame, 0, gfx.screenHeight);
}

void DrawFrameRows(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t frame, int32_t top,
                   int32_t bottom) {
  FrameView f;
  if (gfx.backBuffer == nullptr || !draw_detail::SelectFrame(gfx, slot, frame, FrameRule::kBlit, f)) return;
  const int64_t sw = gfx.screenWidth;
  // The rows of the frame that land on screen rows top..bottom - 1.
  const int64_t rowFirst = std::max<int64_t>(0, int64_t{std::max(0, top)} - y);
  const int64_t rowLast = std::min<int64_t>(f.height - 1, int64_t{std::min(gfx.screenHeight, bottom)} - 1 - y);
  const ImageSlot& s = *f.slot;
  const uint32_t* frameBase = s.pixels + f.offset;

  if (gfx.opacity == kPlainCopy) {
    const int64_t first = std::max<int64_t>(0, -int64_t{x});
    const int64_t last = std::min<int64_t>(f.width - 1, sw - 1 - x);
    if (first > last) return;
    for (int64_t r = rowFirst; r <= rowLast; ++r) {
      std::memcpy(gfx.backBuffer + (y + r) * sw + x + first, frameBase + r * s.width + first,
                  static_cast<size_t>(last - first + 1) * 4);
    }
    return;
  }

  // Blending skips the transparent margins of each row, adding the black ones.
  const bool add = gfx.additive != 0;
  const int32_t* leftSpan = add ? s.opaqueLeft : s.visibleLeft;
  const int32_t* rightSpan = add ? s.opaqueRight : s.visibleRight;
  const uint32_t opacity = draw_detail::BlendOpacity(gfx);
  const draw_detail::RowAdder addRow = add ? draw_detail::AddRowKernel() : nullptr;
  for (int64_t r = rowFirst; r <= rowLast; ++r) {
    const int32_t row = static_cast<int32_t>(r);
    int64_t first = std::max<int64_t>(SpanAt(leftSpan, row), -int64_t{x});
    int64_t last = std::min<int64_t>(int64_t{f.width} - 1 - SpanAt(rightSpan, row), sw - 1 - x);
    first = std::max<int64_t>(first, 0);  // only spans from outside the picture's own measure
    last = std::min<int64_t>(last, f.width - 1);
    if (first > last) continue;
    uint32_t* dst = gfx.backBuffer + (y + r) * sw + x + first;
    const uint32_t* src = frameBase + r * s.width + first;
    const int32_t count = static_cast<int32_t>(last - first + 1);
    if (add) {
      addRow(dst, src, count);
    } else {
      draw_detail::BlendRow(dst, src, count, opacity);
    }
  }
}

void DrawPicture(GfxContext& gfx, int32_t slot, int32_t x, int32_t y) { DrawFrame(gfx, slot, x, y, -1); }

void DrawPacked24(GfxContext& gfx, int32_t slot, int32_t x, int32_t y) {
  DrawPacked24Rows(gfx, slot, x, y, 0, gfx.screenHeight);
}

void DrawPacked24Rows(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t top, int32_t bottom) {
  FrameView f;
  if (gfx.backBuffer == nullptr || !draw_detail::SelectFrame(gfx, slot, -1, FrameRule::kBlit, f)) return;
  const int64_t sw = gfx.screenWidth;
  const int64_t first = std::max<int64_t>(0, -int64_t{x});
  const int64_t last = std::min<int64_t>(f.width - 1, sw - 1 - x);
  if (last - first + 1 < 8) return;
  const int64_t rowFirst = std::max<int64_t>(0, int64_t{std::max(0, top)} - y);
  const int64_t rowLast = std::min<int64_t>(f.height - 1, int64_t{std::min(gfx.screenHeight, bottom)} - 1 - y);
  const uint8_t* packed = reinterpret_cast<const uint8_t*>(f.slot->pixels);
  for (int64_t r = rowFirst; r <= rowLast; ++r) {
    draw_detail::CopyPacked24Row(gfx.backBuffer + (y + r) * sw + x + first,
                                 packed + 3 * (r * f.width + first), static_cast<int32_t>(last - first + 1));
  }
}
