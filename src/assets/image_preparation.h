#pragma once
// Cutting a creature's picture strip into the pictures the monster code
// draws: the mirrored strip, three body pieces and the single pose images.
// Each does nothing when its source slot holds no pixels.
#include <cstdint>

#include "gfx/gfx_context.h"

// dst: src with every square frame mirrored left to right, frame order kept.
void MakeMirroredStrip(GfxContext& gfx, int32_t destination, int32_t source);
// Splits the first frame of `source` into a right part (p1), a lower-left
// part (p2) and an upper-left part (p3); `cutMode` 0, 1 or 2 puts the
// vertical cut at 2h/3, 14h/24 or h/2.
void MakeBodyPieces(GfxContext& gfx, int32_t p1, int32_t p2, int32_t p3, int32_t source, int32_t cutMode);
// Frames 0..n-1 of `strip` into first..first+n-1 and those of `mirrored`
// into first+n..first+2n-1, each an h × h picture with its row spans.
void MakePoseImages(GfxContext& gfx, int32_t first, int32_t mirrored, int32_t strip, int32_t frameCount);
