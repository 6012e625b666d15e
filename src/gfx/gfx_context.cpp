#include "gfx/gfx_context.h"

#include <cstdlib>

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
