#pragma once
// Bitmap text: lines, word-wrapped boxes and numbers in the picture fonts.
#include <cstdint>

#include "gfx/gfx_context.h"

void DrawTextBox(GfxContext& gfx, const char* text, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 int32_t fontSlot, int32_t charSet);
