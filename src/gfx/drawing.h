#pragma once
// Drawing into the back buffer: fills, lines, picture blits and the frame timing.
#include <cstdint>

#include "gfx/gfx_context.h"

void SetDrawMode(GfxContext& gfx, int32_t mode);
void ResetDrawMode(GfxContext& gfx);
void ClearScreen(GfxContext& gfx, uint32_t colour);
void FillRect(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void DrawLine(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void DrawPicture(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
void InitFrameTiming(GfxContext& gfx);
