#include "gfx/gfx_context.h"

#include <cstdlib>

GfxContext::~GfxContext() {
  for (ImageSlot& s : slots) {
    std::free(s.pixels);
    std::free(s.opaqueLeft);
    std::free(s.opaqueRight);
    std::free(s.visibleLeft);
    std::free(s.visibleRight);
  }
}

void InitGraphics(GfxContext& gfx, uint32_t* backBuffer, int32_t width, int32_t height) {
  gfx.backBuffer = backBuffer;
  gfx.screenWidth = width;
  gfx.screenHeight = height;
}
