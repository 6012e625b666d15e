#include "gfx/image_slots.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "config/log.h"
#include "gfx/picture_file.h"

namespace {

ImageSlot* ValidSlot(GfxContext& gfx, int32_t slot) {
  if (slot < 0 || slot > gfx.highestSlot || slot >= kImageSlots) return nullptr;
  return &gfx.slots[slot];
}

int32_t Blue(uint32_t p) { return static_cast<int32_t>(p & 0xffu); }
int32_t Green(uint32_t p) { return static_cast<int32_t>((p >> 8) & 0xffu); }
int32_t Red(uint32_t p) { return static_cast<int32_t>((p >> 16) & 0xffu); }
int32_t Brightness(uint32_t p) { return Blue(p) + Green(p) + Red(p); }
uint32_t WithAlpha(uint32_t p, int32_t alpha) {
  return (p & 0x00ffffffu) | (static_cast<uint32_t>(alpha) << 24);
}
int32_t Alpha(uint32_t p) { return static_cast<int32_t>(p >> 24); }

size_t PixelCount(const ImageSlot& s) { return static_cast<size_t>(s.width) * static_cast<size_t>(s.height); }

// Gives an empty slot its picture and cleared row spans, and counts them
// against the picture budget. If the span tables cannot be allocated the
// slot stays empty and the pixels are released.
void FillSlot(GfxContext& gfx, ImageSlot& s, uint32_t* pixels, int32_t width, int32_t height) {
  const size_t rows = static_cast<size_t>(height);
  int32_t* spans[4];
  for (int32_t*& t : spans) t = static_cast<int32_t*>(std::calloc(rows, sizeof(int32_t)));
  if (std::any_of(std::begin(spans), std::end(spans), [](int32_t* t) { return t == nullptr; })) {
    for (int32_t* t : spans) std::free(t);
    std::free(pixels);
    return;
  }
  s.width = width;
  s.height = height;
  s.pixels = pixels;
  s.opaqueLeft = spans[0];
  s.opaqueRight = spans[1];
  s.visibleLeft = spans[2];
  s.visibleRight = spans[3];
  s.state = kLoaded;
  s.heldBytes = PictureHeldBytes(width, height);
  gfx.pictureBytes += s.heldBytes;
}

// What the picture budget has left.
int64_t BudgetLeft(const GfxContext& gfx) {
  return std::max<int64_t>(0, gfx.pictureBudget - gfx.pictureBytes);
}

EngineLog& LogOf(GfxContext& gfx) {
  static EngineLog quiet;  // no log wired: the lines go nowhere
  return gfx.log != nullptr ? *gfx.log : quiet;
}

}  // namespace

ImageSlot* UsableSlot(GfxContext& gfx, int32_t slot) {
  ImageSlot* s = ValidSlot(gfx, slot);
  if (s == nullptr || s->state != kLoaded || s->pixels == nullptr) return nullptr;
  return s;
}

void LoadPicture(GfxContext& gfx, int32_t slot, const char* fileName) {
  ImageSlot* s = ValidSlot(gfx, slot);
  if (s == nullptr || s->state != 0) return;
  uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  if (vxReadPic(LogOf(gfx), fileName, pixels, width, height, BudgetLeft(gfx)) != kPictureRead) return;
  FillSlot(gfx, *s, pixels, width, height);
}

void CreatePicture(GfxContext& gfx, int32_t slot, int32_t width, int32_t height) {
  ImageSlot* s = ValidSlot(gfx, slot);
  if (s == nullptr || s->state != 0) return;
  if (PictureSizeAllowed(width, height) && PictureHeldBytes(width, height) > BudgetLeft(gfx)) {
    LogLine(LogOf(gfx), "CreatePicture over memory budget. slot:", slot);
    return;
  }
  uint32_t* pixels = AllocatePictureBuffer(width, height);
  if (pixels == nullptr) return;
  FillSlot(gfx, *s, pixels, width, height);
}

int32_t PictureWidth(GfxContext& gfx, int32_t slot) {
  const ImageSlot* s = ValidSlot(gfx, slot);
  return s != nullptr ? s->width : 0;
}

int32_t PictureHeight(GfxContext& gfx, int32_t slot) {
  const ImageSlot* s = ValidSlot(gfx, slot);
  return s != nullptr ? s->height : 0;
}

int32_t FrameCount(GfxContext& gfx, int32_t slot) {
  const ImageSlot* s = UsableSlot(gfx, slot);
  return s != nullptr && s->height > 0 ? s->width / s->height : 0;
}

bool HasPixels(GfxContext& gfx, int32_t slot) {
  const ImageSlot* s = ValidSlot(gfx, slot);
  return s != nullptr && s->pixels != nullptr;
}

uint32_t* PixelAddress(GfxContext& gfx, int32_t slot, int32_t x, int32_t y) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr || x < 0 || y < 0 || x >= s->width || y >= s->height) return nullptr;
  return s->pixels + static_cast<size_t>(y) * static_cast<size_t>(s->width) + static_cast<size_t>(x);
}

uint32_t GetPixel(GfxContext& gfx, int32_t slot, int32_t x, int32_t y) {
  const uint32_t* p = PixelAddress(gfx, slot, x, y);
  return p != nullptr ? *p : 0;
}

void SetPixel(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, uint32_t value) {
  uint32_t* p = PixelAddress(gfx, slot, x, y);
  if (p != nullptr) *p = value;
}

void CopyFromScreen(GfxContext& gfx, int32_t slot, int32_t x, int32_t y) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr || gfx.backBuffer == nullptr) return;
  const int64_t left = std::max<int64_t>(0, x);
  const int64_t right = std::min<int64_t>(gfx.screenWidth, int64_t{x} + s->width);
  if (left >= right) return;
  for (int32_t j = 0; j < s->height; ++j) {
    const int64_t sy = int64_t{y} + j;
    if (sy < 0 || sy >= gfx.screenHeight) continue;
    const uint32_t* from = gfx.backBuffer + sy * gfx.screenWidth + left;
    uint32_t* to = s->pixels + static_cast<size_t>(j) * static_cast<size_t>(s->width) + (left - x);
    std::memcpy(to, from, static_cast<size_t>(right - left) * sizeof(uint32_t));
  }
}

void CopyPicture(GfxContext& gfx, int32_t destination, int32_t source) {
  ImageSlot* d = UsableSlot(gfx, destination);
  const ImageSlot* s = UsableSlot(gfx, source);
  if (d == nullptr || s == nullptr || d == s) return;
  if (d->width != s->width || d->height != s->height) return;
  std::memcpy(d->pixels, s->pixels, PixelCount(*s) * sizeof(uint32_t));
}

void PrepareAlpha(GfxContext& gfx, int32_t slot, int32_t mode) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr || mode < 0 || mode > 3) return;
  const size_t n = PixelCount(*s);
  uint32_t* p = s->pixels;
  for (size_t i = 0; i < n; ++i) {
    const int32_t sum = Brightness(p[i]);
    int32_t alpha = 255;
    if (mode == 1) alpha = sum == 0 ? 0 : 255;
    if (mode == 2) alpha = std::min(255, sum / 2);
    if (mode == 3) alpha = std::min(255, sum * 3 / 2);
    p[i] = WithAlpha(p[i], alpha);
  }
}

void SoftenEdges(GfxContext& gfx, int32_t slot) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  const int32_t w = s->width;
  const int32_t h = s->height;
  uint32_t* p = s->pixels;
  // Brightness reads only the colour bytes, which the pass leaves alone, so
  // the pass can change alpha in place.
  auto at = [&](int32_t x, int32_t y) -> uint32_t& {
    return p[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
  };
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t& pixel = at(x, y);
      if (Brightness(pixel) <= 2) {
        pixel = WithAlpha(pixel, 0);
        continue;
      }
      if (x == 0 || y == 0 || x == w - 1 || y == h - 1) continue;  // edge pixels keep their alpha
      int32_t dark = 0;
      dark += Brightness(at(x - 1, y)) <= 7 ? 1 : 0;
      dark += Brightness(at(x + 1, y)) <= 7 ? 1 : 0;
      dark += Brightness(at(x, y - 1)) <= 7 ? 1 : 0;
      dark += Brightness(at(x, y + 1)) <= 7 ? 1 : 0;
      const int32_t alpha = Alpha(pixel);
      if (dark == 1) pixel = WithAlpha(pixel, 2 * alpha / 3);
      if (dark == 2) pixel = WithAlpha(pixel, alpha / 3);
      if (dark >= 3) pixel = WithAlpha(pixel, alpha / 8);
    }
  }
}

void ComputeRowSpans(GfxContext& gfx, int32_t slot) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  const int32_t w = s->width;
  for (int32_t y = 0; y < s->height; ++y) {
    const uint32_t* row = s->pixels + static_cast<size_t>(y) * static_cast<size_t>(w);
    // Left: the last x of the leading run of empty pixels (0 without such a
    // run). Right: the columns after the last non-empty pixel (0 without one).
    int32_t opaqueLeft = 0, visibleLeft = 0;
    int32_t lastColour = -1, lastVisible = -1;
    bool blackRun = true, clearRun = true;
    for (int32_t x = 0; x < w; ++x) {
      const bool black = (row[x] & 0x00ffffffu) == 0;
      const bool clear = Alpha(row[x]) == 0;
      blackRun = blackRun && black;
      clearRun = clearRun && clear;
      if (blackRun) opaqueLeft = x;
      if (clearRun) visibleLeft = x;
      if (!black) lastColour = x;
      if (!clear) lastVisible = x;
    }
    s->opaqueLeft[y] = opaqueLeft;
    s->opaqueRight[y] = lastColour >= 0 ? w - 1 - lastColour : 0;
    s->visibleLeft[y] = visibleLeft;
    s->visibleRight[y] = lastVisible >= 0 ? w - 1 - lastVisible : 0;
  }
}

RowSpanEnds RowSpan(GfxContext& gfx, int32_t slot, int32_t row, int32_t kind) {
  const ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr || row < 0 || row >= s->height) return {};
  if (kind == 0) return {s->opaqueLeft[row], s->opaqueRight[row]};
  if (kind == 1) return {s->visibleLeft[row], s->visibleRight[row]};
  return {};
}

void PackTo24(GfxContext& gfx, int32_t slot) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  // Pixel i moves from byte 4i to byte 3i; going forward never overwrites a
  // pixel that is still to be read.
  uint8_t* bytes = reinterpret_cast<uint8_t*>(s->pixels);
  const size_t n = PixelCount(*s);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = bytes[4 * i], g = bytes[4 * i + 1], r = bytes[4 * i + 2];
    bytes[3 * i] = b;
    bytes[3 * i + 1] = g;
    bytes[3 * i + 2] = r;
  }
}

void PackToLuma8(GfxContext& gfx, int32_t slot) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(s->pixels);
  const size_t n = PixelCount(*s);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = bytes[4 * i], g = bytes[4 * i + 1], r = bytes[4 * i + 2];
    const uint8_t redPart = static_cast<uint8_t>(((r * 171) / 256) / 2);
    bytes[i] = static_cast<uint8_t>(b + g + redPart);  // wraps at 256
  }
}
