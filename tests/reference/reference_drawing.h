#pragma once
// Plain forms of the drawing primitives, written pixel by pixel and step by
// step with no clipping shortcuts and no vector code. The fast forms must
// give bit-identical results; the tests and benchmarks compare the two. Part
// of the test-support library, not of the engine.
#include <cstdint>

#include "gfx/gfx_context.h"

namespace reference {

// Every one of the line's steps, each tested against the screen.
void DrawLine(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
// Pixel by pixel, each tested against the screen, bytes blended one at a time.
void DrawFrame(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t frame);
// Byte by byte.
void DrawPacked24(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
// The transformed blits with every step of every walk visited and tested
// against the area.
void DrawToCornersFullWalk(GfxContext& gfx, int32_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           int32_t x3, int32_t y3, int32_t x4, int32_t y4, int32_t frame);
void DrawRotatedFrameFullWalk(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle,
                              int32_t frame);

}  // namespace reference
