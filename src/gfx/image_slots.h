#pragma once
// The numbered image slots: loading, creating, preparing and querying pictures.
// Slot numbers outside 0..highestSlot are ignored (queries answer 0), and every
// operation but LoadPicture and CreatePicture needs a loaded slot with pixels.
#include <cstdint>

#include "gfx/gfx_context.h"

// The slot when its number is valid and it is loaded with pixels, else nullptr.
ImageSlot* UsableSlot(GfxContext& gfx, int32_t slot);

// Fills an empty slot from a picture file; a slot in use is never reloaded.
void LoadPicture(GfxContext& gfx, int32_t slot, const char* fileName);
// Fills an empty slot with a width × height picture of zero pixels. Sides
// below 1 or past the picture bounds leave the slot empty.
void CreatePicture(GfxContext& gfx, int32_t slot, int32_t width, int32_t height);

int32_t PictureWidth(GfxContext& gfx, int32_t slot);
int32_t PictureHeight(GfxContext& gfx, int32_t slot);
// Square frames of side height laid left to right: width / height.
int32_t FrameCount(GfxContext& gfx, int32_t slot);
bool HasPixels(GfxContext& gfx, int32_t slot);

uint32_t GetPixel(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
uint32_t* PixelAddress(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
void SetPixel(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, uint32_t value);

// Copies the back-buffer rectangle at (x, y) of the slot's size into the slot.
void CopyFromScreen(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
// Copies all pixels when both slots are loaded with the same size.
void CopyPicture(GfxContext& gfx, int32_t destination, int32_t source);

// Alpha from colour: 0 opaque, 1 black transparent, 2 brightness / 2,
// 3 brightness · 3 / 2 (both capped at 255).
void PrepareAlpha(GfxContext& gfx, int32_t slot, int32_t mode);
// Lowers alpha of bright pixels next to dark ones; near-black becomes transparent.
void SoftenEdges(GfxContext& gfx, int32_t slot);
void ComputeRowSpans(GfxContext& gfx, int32_t slot);

struct RowSpanEnds {
  int32_t left = 0;
  int32_t right = 0;
};
// Kind 0: the opaque span ends; kind 1: the visible span ends.
RowSpanEnds RowSpan(GfxContext& gfx, int32_t slot, int32_t row, int32_t kind);

// Rewrite the pixels in place as 3 bytes (blue, green, red) or 1 byte (luma)
// per pixel, row-major; the slot stays loaded.
void PackTo24(GfxContext& gfx, int32_t slot);
// PackTo24 on rows top..bottom - 1 of a picture whose rows above are packed
// already: packing all the rows in order, in any bands, gives PackTo24's
// bytes.
void PackTo24Rows(GfxContext& gfx, int32_t slot, int32_t top, int32_t bottom);
void PackToLuma8(GfxContext& gfx, int32_t slot);
