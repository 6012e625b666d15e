#include "gfx/picture_store.h"

#include <algorithm>

#include "gfx/image_slots.h"

void PictureStore::Keep(GfxContext& gfx, int32_t slot, const PictureKey& key) {
  const ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  auto it = kept_.find(key);
  if (it == kept_.end()) {
    if (kept_.size() >= capacity_) return;
    it = kept_.emplace(key, Copy{}).first;
  }
  Copy& c = it->second;
  const size_t n = static_cast<size_t>(s->width) * static_cast<size_t>(s->height);
  const size_t rows = static_cast<size_t>(s->height);
  c.width = s->width;
  c.height = s->height;
  c.pixels.assign(s->pixels, s->pixels + n);
  c.spans.resize(4 * rows);
  std::copy_n(s->opaqueLeft, rows, c.spans.begin());
  std::copy_n(s->opaqueRight, rows, c.spans.begin() + static_cast<std::ptrdiff_t>(rows));
  std::copy_n(s->visibleLeft, rows, c.spans.begin() + static_cast<std::ptrdiff_t>(2 * rows));
  std::copy_n(s->visibleRight, rows, c.spans.begin() + static_cast<std::ptrdiff_t>(3 * rows));
}

bool PictureStore::Restore(GfxContext& gfx, int32_t slot, const PictureKey& key) const {
  const auto it = kept_.find(key);
  ImageSlot* s = UsableSlot(gfx, slot);
  if (it == kept_.end() || s == nullptr) return false;
  const Copy& c = it->second;
  if (c.width != s->width || c.height != s->height) return false;
  const size_t rows = static_cast<size_t>(c.height);
  std::copy(c.pixels.begin(), c.pixels.end(), s->pixels);
  std::copy_n(c.spans.begin(), rows, s->opaqueLeft);
  std::copy_n(c.spans.begin() + static_cast<std::ptrdiff_t>(rows), rows, s->opaqueRight);
  std::copy_n(c.spans.begin() + static_cast<std::ptrdiff_t>(2 * rows), rows, s->visibleLeft);
  std::copy_n(c.spans.begin() + static_cast<std::ptrdiff_t>(3 * rows), rows, s->visibleRight);
  return true;
}
