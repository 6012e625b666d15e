#pragma once
// Bitmap text: a font is a strip picture whose square frames are the glyphs;
// a character set (0 to 4) decides which glyph a byte shows.
#include <cstdint>

#include "gfx/gfx_context.h"

// The glyph for byte c in a character set, or -1 for none (a set outside 0..4).
int32_t GlyphIndex(int32_t charSet, uint8_t c);

// Draws the text (up to its zero byte) from (x, y), advancing the pen by
// advance per byte except after a line feed or carriage return.
void DrawTextLine(GfxContext& gfx, const char* text, int32_t x, int32_t y, int32_t fontSlot, int32_t advance,
                  int32_t charSet);
// Word-wraps the text into the box; lines start at (x1 + 20, y1 + 20).
void DrawTextBox(GfxContext& gfx, const char* text, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 int32_t fontSlot, int32_t charSet);
// The decimal form of value, through DrawTextBox.
void DrawNumber(GfxContext& gfx, int32_t value, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                int32_t fontSlot, int32_t charSet);
