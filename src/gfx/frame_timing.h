#pragma once
// The per-frame timing values of the graphics context: frame time, its
// smoothed value, fps, time step and the size scale of the screen.
#include <cstdint>

#include "gfx/gfx_context.h"

// Clock milliseconds since the previous call in units of 1/1024 s, at least 1.
int32_t FrameTime(GfxContext& gfx);
// Once per drawn frame: measures, smooths and recomputes the derived values.
void UpdateFrameTiming(GfxContext& gfx);
// Restarts the measurement: one reading becomes both the previous and the
// smoothed frame time.
void InitFrameTiming(GfxContext& gfx);
