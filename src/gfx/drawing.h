#pragma once
// Drawing into the back buffer: the drawing state, fills, lines, picture
// blits (plain, packed, rotated and corner-mapped), the scaled copy between
// slots, and the frame timing. Everything clips to the logical screen; an
// invalid or empty slot draws nothing.
#include <cstdint>

#include "gfx/frame_timing.h"
#include "gfx/gfx_context.h"

// Draw modes: -2 plain copy (opacity 513), -1 additive, 0..255 opacity.
void SetDrawMode(GfxContext& gfx, int32_t mode);
void ResetDrawMode(GfxContext& gfx);
void SetSupersampling(GfxContext& gfx, int32_t on);

void ClearScreen(GfxContext& gfx, uint32_t colour);
// Inclusive bounds.
void FillRect(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
uint32_t ScreenPixel(const GfxContext& gfx, int32_t x, int32_t y);
uint32_t* ScreenPixelAddress(GfxContext& gfx, int32_t x, int32_t y);
void PutScreenPixel(GfxContext& gfx, int32_t x, int32_t y, uint32_t colour);
// The end point itself is not plotted.
void DrawLine(GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

// Frame -1 is the whole picture; frame k the k-th square of side height.
void DrawPicture(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
void DrawFrame(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t frame);
// A slot packed by PackTo24, copied opaque.
void DrawPacked24(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
// DrawFrame and DrawPacked24 on the screen rows top..bottom - 1 alone: what
// the whole drawing puts on those rows, so that a large picture can be drawn
// in bands, each band worked on further while it is still in the cache.
void DrawFrameRows(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t frame, int32_t top, int32_t bottom);
void DrawPacked24Rows(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t top, int32_t bottom);

// The frame as it would lie with its top-left corner at (x, y), turned by
// angle degrees about its centre.
void DrawRotated(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle);
void DrawRotatedFrame(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle, int32_t frame);
// Maps the frame's top-left, top-right, bottom-left and bottom-right corners
// onto the four points (stored in the context first).
void DrawToCorners(GfxContext& gfx, int32_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                   int32_t y3, int32_t x4, int32_t y4, int32_t frame);
// Scales a picture into another slot through the back buffer (1024 = 1.0);
// run it before a frame is drawn.
void ScalePicture(GfxContext& gfx, int32_t destination, int32_t source, int32_t create, int32_t uniform,
                  int32_t sx, int32_t sy);
