#pragma once
// The numbered image slots: loading, creating, preparing and querying pictures.
#include <cstdint>

#include "gfx/gfx_context.h"

void LoadPicture(GfxContext& gfx, int32_t slot, const char* fileName);
void CreatePicture(GfxContext& gfx, int32_t slot, int32_t width, int32_t height);
void PrepareAlpha(GfxContext& gfx, int32_t slot, int32_t mode);
int32_t PictureWidth(GfxContext& gfx, int32_t slot);
void CopyFromScreen(GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
