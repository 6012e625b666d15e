#include "gfx/picture_store.h"

#include <algorithm>
#include <array>

#include "gfx/image_slots.h"

namespace {

// A slot's four row-span tables, in the order a copy keeps them.
std::array<int32_t*, 4> SpanTables(const ImageSlot& s) {
  return {s.opaqueLeft, s.opaqueRight, s.visibleLeft, s.visibleRight};
}

}  // namespace

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
  c.spans.clear();
  for (const int32_t* table : SpanTables(*s)) c.spans.insert(c.spans.end(), table, table + rows);
}

bool PictureStore::Restore(GfxContext& gfx, int32_t slot, const PictureKey& key) const {
  const auto it = kept_.find(key);
  ImageSlot* s = UsableSlot(gfx, slot);
  if (it == kept_.end() || s == nullptr) return false;
  const Copy& c = it->second;
  if (c.width != s->width || c.height != s->height) return false;
  const size_t rows = static_cast<size_t>(c.height);
  std::copy(c.pixels.begin(), c.pixels.end(), s->pixels);
  const int32_t* from = c.spans.data();
  for (int32_t* table : SpanTables(*s)) {
    std::copy_n(from, rows, table);
    from += rows;
  }
  return true;
}
