#include "reference/reference_drawing.h"

#include <algorithm>
#include <cstdlib>

#include "gfx/draw_internal.h"

namespace reference {
namespace {

bool OnScreen(const GfxContext& gfx, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < gfx.screenWidth && y < gfx.screenHeight;
}

const ImageSlot* Loaded(const GfxContext& gfx, int32_t slot) {
  if (slot < 0 || slot > gfx.highestSlot) return nullptr;
  const ImageSlot& s = gfx.slots[slot];
  if (s.state != kLoaded || s.pixels == nullptr || s.width <= 0 || s.height <= 0) return nullptr;
  return &s;
}

uint32_t Byte(uint32_t v, int i) { return (v >> (8 * i)) & 255; }

int32_t Span(const int32_t* table, int32_t row) { return table != nullptr ? table[row] : 0; }

}  // namespace

void DrawLine(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (gfx.backBuffer == nullptr) return;
  const int64_t dx = int64_t{x2} - x1;
  const int64_t dy = int64_t{y2} - y1;
  const int64_t sx = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
  const int64_t sy = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
  const int64_t n = std::max(std::abs(dx), std::abs(dy));
  int64_t straightX = 0;
  int64_t straightY = sy;
  int64_t s = 0;
  if (std::abs(dx) > std::abs(dy)) {
    straightX = sx;
    straightY = 0;
    s = std::abs(dy) * 65536 / std::abs(dx);
  } else if (dy != 0) {
    s = std::abs(dx) * 65536 / std::abs(dy);
  }
  int64_t e = (s - (65536 - s)) / 2;
  int64_t x = x1;
  int64_t y = y1;
  for (int64_t i = 0; i < n; ++i) {
    if (OnScreen(gfx, x, y)) gfx.backBuffer[y * gfx.screenWidth + x] = colour;
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

void DrawFrame(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t frame) {
  const ImageSlot* s = Loaded(gfx, slot);
  if (s == nullptr || gfx.backBuffer == nullptr || frame < -1) return;
  if (frame >= s->width / s->height) return;
  const int32_t fw = frame == -1 ? s->width : s->height;
  const int32_t offset = frame == -1 ? 0 : frame * s->height;
  const bool copy = gfx.opacity == kPlainCopy;
  const bool add = gfx.additive != 0;
  const int32_t* leftSpan = add ? s->opaqueLeft : s->visibleLeft;
  const int32_t* rightSpan = add ? s->opaqueRight : s->visibleRight;
  for (int32_t r = 0; r < s->height; ++r) {
    for (int32_t c = 0; c < fw; ++c) {
      const int64_t px = int64_t{x} + c;
      const int64_t py = int64_t{y} + r;
      if (!OnScreen(gfx, px, py)) continue;
      if (!copy && (c < Span(leftSpan, r) || c > fw - 1 - Span(rightSpan, r))) continue;
      const uint32_t src = s->pixels[int64_t{r} * s->width + offset + c];
      uint32_t& dst = gfx.backBuffer[py * gfx.screenWidth + px];
      if (copy) {
        dst = src;
      } else if (add) {
        uint32_t out = 0;
        for (int i = 0; i < 4; ++i) out |= std::min<uint32_t>(255, Byte(src, i) + Byte(dst, i)) << (8 * i);
        dst = out;
      } else {
        const uint32_t as = Byte(src, 3);
        if (as == 0) continue;
        const uint32_t a = std::min<uint32_t>(static_cast<uint32_t>(std::clamp(gfx.opacity, 0, 255)), as);
        if (a == 255) {
          dst = src;
          continue;
        }
        uint32_t out = a << 24;
        for (int i = 0; i < 3; ++i) out |= ((Byte(src, i) * a + Byte(dst, i) * (255 - a)) >> 8) << (8 * i);
        dst = out;
      }
    }
  }
}

void DrawPacked24(GfxContext& gfx, int32_t slot, int32_t x, int32_t y) {
  const ImageSlot* s = Loaded(gfx, slot);
  if (s == nullptr || gfx.backBuffer == nullptr) return;
  int32_t visible = 0;
  for (int32_t c = 0; c < s->width; ++c) visible += OnScreen(gfx, int64_t{x} + c, 0) ? 1 : 0;
  if (visible < 8) return;
  const uint8_t* packed = reinterpret_cast<const uint8_t*>(s->pixels);
  for (int32_t r = 0; r < s->height; ++r) {
    for (int32_t c = 0; c < s->width; ++c) {
      const int64_t px = int64_t{x} + c;
      const int64_t py = int64_t{y} + r;
      if (!OnScreen(gfx, px, py)) continue;
      const uint8_t* p = packed + 3 * (int64_t{r} * s->width + c);
      gfx.backBuffer[py * gfx.screenWidth + px] = p[0] | p[1] << 8 | p[2] << 16 | 0xff000000u;
    }
  }
}

void DrawToCornersFullWalk(GfxContext& gfx, int32_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           int32_t x3, int32_t y3, int32_t x4, int32_t y4, int32_t frame) {
  draw_detail::DrawToCornersFullWalk(gfx, slot, x1, y1, x2, y2, x3, y3, x4, y4, frame);
}

void DrawRotatedFrameFullWalk(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle,
                              int32_t frame) {
  draw_detail::DrawRotatedFrameFullWalk(gfx, slot, x, y, angle, frame);
}

}  // namespace reference
