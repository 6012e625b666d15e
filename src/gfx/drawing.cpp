#include "gfx/drawing.h"

// The back buffer is cleared and filled for real; pictures arrive with the
// image slots.
void SetDrawMode(GfxContext&, int32_t) {}
void ResetDrawMode(GfxContext&) {}

void ClearScreen(GfxContext& gfx, uint32_t colour) {
  if (gfx.backBuffer == nullptr) return;
  const int64_t n = static_cast<int64_t>(gfx.screenWidth) * gfx.screenHeight;
  for (int64_t i = 0; i < n; ++i) gfx.backBuffer[i] = colour;
}

void FillRect(GfxContext&, int32_t, int32_t, int32_t, int32_t, uint32_t) {}
void DrawLine(GfxContext&, int32_t, int32_t, int32_t, int32_t, uint32_t) {}
void DrawPicture(GfxContext&, int32_t, int32_t, int32_t) {}
void InitFrameTiming(GfxContext&) {}
