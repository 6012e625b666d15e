// InitGraphics (gfx/gfx_context.h), apart from the context's own memory
// keeping: it sets up the tables, the drawing state and the frame timing,
// which all build on the context.
#include <new>

#include "gfx/angles.h"
#include "gfx/drawing.h"
#include "gfx/frame_timing.h"
#include "gfx/gfx_context.h"

void InitGraphics(GfxContext& gfx, uint32_t* backBuffer, int32_t width, int32_t height) {
  gfx.backBuffer = backBuffer;
  gfx.screenWidth = width;
  gfx.screenHeight = height;
  gfx.highestSlot = kHighestSlot;
  BuildAngleTables(gfx);
  // Left uninitialised: every blit fills the part it uses first. Without it
  // the supersampled blits draw nothing.
  if (gfx.workBuffer == nullptr) gfx.workBuffer.reset(new (std::nothrow) uint32_t[kWorkBufferPixels]);
  ResetDrawMode(gfx);
  SetSupersampling(gfx, 1);
  // One measurement starts the smoothing; the derived values (fps, time
  // step, size scale) are worked out at once so none of them reads 0 before
  // the first frame.
  InitFrameTiming(gfx);
  UpdateFrameTiming(gfx);
}
