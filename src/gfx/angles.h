#pragma once
// The angle tables (whole degrees, 1024-scaled sine and versine, and the
// direction table) with the point rotation and direction look-up built on them.
#include <cstdint>

#include "gfx/gfx_context.h"

// Fills the sine, versine and direction tables; run once at start-up.
void BuildAngleTables(GfxContext& gfx);

// Turns (x, y) counter-clockwise on screen by angle degrees about (cx, cy);
// an angle outside 0..359 leaves the point alone.
void RotatePoint(const GfxContext& gfx, int32_t& x, int32_t& y, int32_t angle, int32_t cx, int32_t cy);

// The direction from (x2, y2) to (x1, y1) in degrees clockwise from up.
int32_t DirectionOf(const GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

int32_t Sign(int32_t v);
