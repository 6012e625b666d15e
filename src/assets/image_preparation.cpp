#include "assets/image_preparation.h"

#include <algorithm>
#include <cstring>

#include "gfx/image_slots.h"

namespace {

uint32_t* Row(ImageSlot& s, int32_t y) {
  return s.pixels + static_cast<size_t>(y) * static_cast<size_t>(s.width);
}

// Copies the h × h square of `from` whose left column is `fromX` into the
// square of `to` at `toX`; columns or rows that either picture lacks are
// left as they are (a short strip or a slot filled earlier at another size
// never makes the copy leave a picture).
void CopySquare(ImageSlot& to, int32_t toX, ImageSlot& from, int32_t fromX, int32_t h, bool mirror) {
  const int32_t rows = std::min({h, to.height, from.height});
  for (int32_t r = 0; r < rows; ++r) {
    uint32_t* dst = Row(to, r);
    const uint32_t* src = Row(from, r);
    for (int32_t c = 0; c < h; ++c) {
      const int32_t sx = fromX + c;
      const int32_t dx = toX + (mirror ? h - 1 - c : c);
      if (sx < 0 || sx >= from.width || dx < 0 || dx >= to.width) continue;
      dst[dx] = src[sx];
    }
  }
}

void ClearPicture(ImageSlot& s) {
  std::memset(s.pixels, 0, static_cast<size_t>(s.width) * static_cast<size_t>(s.height) * sizeof(uint32_t));
}

}  // namespace

void MakeMirroredStrip(GfxContext& gfx, int32_t destination, int32_t source) {
  ImageSlot* src = UsableSlot(gfx, source);
  if (src == nullptr || src->height < 1) return;
  CreatePicture(gfx, destination, src->width, src->height);
  ImageSlot* dst = UsableSlot(gfx, destination);
  if (dst == nullptr || dst == src) return;
  const int32_t h = src->height;
  const int32_t frames = FrameCount(gfx, source);
  for (int32_t k = 0; k < frames; ++k) CopySquare(*dst, k * h, *src, k * h, h, true);
}

void MakeBodyPieces(GfxContext& gfx, int32_t p1, int32_t p2, int32_t p3, int32_t source, int32_t cutMode) {
  ImageSlot* src = UsableSlot(gfx, source);
  if (src == nullptr) return;
  const int32_t h = src->height;
  const int32_t pieces[3] = {p1, p2, p3};
  ImageSlot* out[3] = {};
  for (int i = 0; i < 3; ++i) {
    CreatePicture(gfx, pieces[i], h, h);
    out[i] = UsableSlot(gfx, pieces[i]);
    if (out[i] == src) out[i] = nullptr;  // never cut a picture into itself
    if (out[i] != nullptr) ClearPicture(*out[i]);
  }
  const int32_t k = cutMode == 0 ? 2 * h / 3 : cutMode == 1 ? 14 * h / 24 : h / 2;
  const int32_t lowerLeft = 2 * h / 3;
  for (int32_t r = 0; r < h && r < src->height; ++r) {
    const uint32_t* from = Row(*src, r);
    for (int32_t c = 0; c < h && c < src->width; ++c) {
      const int piece = c > k ? 0 : (h - c + r > lowerLeft ? 1 : 2);
      ImageSlot* to = out[piece];
      if (to == nullptr || c >= to->width || r >= to->height) continue;
      Row(*to, r)[c] = from[c];
    }
  }
  for (int32_t slot : pieces) ComputeRowSpans(gfx, slot);
}

void MakePoseImages(GfxContext& gfx, int32_t first, int32_t mirrored, int32_t strip, int32_t frameCount) {
  ImageSlot* src = UsableSlot(gfx, strip);
  if (src == nullptr) return;
  const int32_t h = src->height;
  for (int32_t k = 0; k < frameCount; ++k) {
    const int32_t right = first + k;
    const int32_t left = first + k + frameCount;
    CreatePicture(gfx, right, h, h);
    CreatePicture(gfx, left, h, h);
    ImageSlot* r = UsableSlot(gfx, right);
    if (r != nullptr && r != src) CopySquare(*r, 0, *src, k * h, h, false);
    ImageSlot* m = UsableSlot(gfx, mirrored);
    ImageSlot* l = UsableSlot(gfx, left);
    if (m != nullptr && l != nullptr && l != m) CopySquare(*l, 0, *m, k * h, h, false);
    ComputeRowSpans(gfx, right);
    ComputeRowSpans(gfx, left);
  }
}
