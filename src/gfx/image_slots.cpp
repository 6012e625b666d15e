#include "gfx/image_slots.h"

// Slots arrive with the picture reader; until then every slot stays empty.
void LoadPicture(GfxContext&, int32_t, const char*) {}
void CreatePicture(GfxContext&, int32_t, int32_t, int32_t) {}
void PrepareAlpha(GfxContext&, int32_t, int32_t) {}
int32_t PictureWidth(GfxContext&, int32_t) { return 0; }
void CopyFromScreen(GfxContext&, int32_t, int32_t, int32_t) {}
