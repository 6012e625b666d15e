#pragma once
// Pictures kept aside under a number, outside the slots: a slot's pixels
// and row spans copied out, and copied back into a slot of the same size.
// The game keeps the weapon poses it has drawn here, so that switching back
// to a weapon finds its poses instead of drawing them again.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "gfx/gfx_context.h"

// What a kept picture is kept under: up to eight numbers the caller chooses.
using PictureKey = std::array<int32_t, 8>;

class PictureStore {
 public:
  explicit PictureStore(size_t capacity = 128) : capacity_(capacity) {}

  // Keeps a copy of the loaded slot's picture under `key` (replacing one
  // kept before). Nothing is kept for a slot without pixels, or once
  // `capacity` pictures are kept.
  void Keep(GfxContext& gfx, int32_t slot, const PictureKey& key);
  // Writes the picture kept under `key` into the slot, pixels and spans,
  // when the slot is loaded and of the kept size; false (the slot
  // untouched) otherwise.
  bool Restore(GfxContext& gfx, int32_t slot, const PictureKey& key) const;
  size_t Size() const { return kept_.size(); }

 private:
  struct Copy {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    std::vector<int32_t> spans;  // opaque left, opaque right, visible left, visible right
  };
  size_t capacity_;
  std::map<PictureKey, Copy> kept_;
};
