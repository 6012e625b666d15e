#include "gfx/gfx_context.h"

#include <cstdlib>
#include <new>

#include "gfx/angles.h"
#include "gfx/drawing.h"
#include "gfx/frame_timing.h"

namespace {

void ReleaseSlotMemory(ImageSlot& slot) {
  std::free(slot.pixels);
  std::free(slot.opaqueLeft);
  std::free(slot.opaqueRight);
  std::free(slot.visibleLeft);
  std::free(slot.visibleRight);
  slot = ImageSlot{};
}

}  // namespace

bool TakePictureMemory(GfxContext& gfx, int64_t bytes) {
  if (gfx.memory == nullptr) return true;
  if (!gfx.givesWay) return gfx.memory->TakeFirst(bytes);
  if (gfx.memory->TakeFree(bytes, gfx.lentSince)) return true;
  gfx.shortOfMemory = true;
  return false;
}

void GivePictureMemory(GfxContext& gfx, int64_t bytes) {
  if (gfx.memory != nullptr) gfx.memory->GiveBack(bytes, gfx.givesWay);
}

void MakeGiveWay(GfxContext& gfx) {
  gfx.givesWay = true;
  gfx.lentSince = gfx.memory != nullptr ? gfx.memory->Recalls() : 0;
}

void ReleasePicture(GfxContext& gfx, int32_t slot) {
  if (slot < 0 || slot >= kImageSlots) return;
  ImageSlot& s = gfx.slots[slot];
  gfx.pictureBytes -= s.heldBytes;
  GivePictureMemory(gfx, s.heldBytes);
  ReleaseSlotMemory(s);
}

GfxContext::~GfxContext() {
  for (ImageSlot& s : slots) {
    GivePictureMemory(*this, s.heldBytes);
    ReleaseSlotMemory(s);
  }
}

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
