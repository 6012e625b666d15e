#include "gfx/text.h"

// Text appears once the fonts can be loaded into their slots.
void DrawTextBox(GfxContext&, const char*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
