#include "gfx/image_slots.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "config/log.h"
#include "gfx/draw_internal.h"
#include "gfx/picture_file.h"
#include "maths/byte_lanes.h"
#include "platform/cpu_features.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VX_X86_SLOT_KERNELS 1
#include <immintrin.h>
#endif

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
// against the picture budget; their picture memory was taken before. If the
// span tables cannot be allocated the slot stays empty, and the pixels and
// the memory are given back.
void FillSlot(GfxContext& gfx, ImageSlot& s, uint32_t* pixels, int32_t width, int32_t height) {
  const size_t rows = static_cast<size_t>(height);
  int32_t* spans[4];
  for (int32_t*& t : spans) t = static_cast<int32_t*>(std::calloc(rows, sizeof(int32_t)));
  if (std::any_of(std::begin(spans), std::end(spans), [](int32_t* t) { return t == nullptr; })) {
    for (int32_t* t : spans) std::free(t);
    std::free(pixels);
    GivePictureMemory(gfx, PictureHeldBytes(width, height));
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

const uint32_t* RowOf(const ImageSlot& s, int32_t y) {
  return s.pixels + static_cast<size_t>(y) * static_cast<size_t>(s.width);
}

// Where a row's coloured and visible pixels start and end: the first and
// the last x of each kind, -1 when the row has none (what the faster forms
// measure; the plain path keeps its own running form).
struct RowExtent {
  int32_t firstColour = -1;
  int32_t lastColour = -1;
  int32_t firstVisible = -1;
  int32_t lastVisible = -1;
};

// The spans from a row's extent: the leading run of empty pixels ends just
// before the first non-empty one (at the last pixel when there is none).
void StoreRowSpans(ImageSlot& s, int32_t y, const RowExtent& e) {
  const int32_t w = s.width;
  const auto leadingRunEnd = [w](int32_t first) { return std::max(first < 0 ? w - 1 : first - 1, 0); };
  s.opaqueLeft[y] = leadingRunEnd(e.firstColour);
  s.opaqueRight[y] = e.lastColour >= 0 ? w - 1 - e.lastColour : 0;
  s.visibleLeft[y] = leadingRunEnd(e.firstVisible);
  s.visibleRight[y] = e.lastVisible >= 0 ? w - 1 - e.lastVisible : 0;
}

// Below AVX2: in from both ends, so only a row's empty margins are read
// (the pictures that are measured while the game runs, the falling pieces
// and the weapon poses, are mostly margin-free in the middle).
RowExtent MeasureRowFromEnds(const uint32_t* row, int32_t w) {
  RowExtent e;
  // Four pixels with none of the bits still looked for (colour, alpha) are
  // passed at once: a picture's margins are long runs of empty pixels.
  const auto wanted = [](bool colour, bool visible) {
    return (colour ? 0x00ffffffu : 0u) | (visible ? 0xff000000u : 0u);
  };
  int32_t x = 0;
  while (x < w && (e.firstColour < 0 || e.firstVisible < 0)) {
    const uint32_t bits = wanted(e.firstColour < 0, e.firstVisible < 0);
    if (x + 4 <= w && ((row[x] | row[x + 1] | row[x + 2] | row[x + 3]) & bits) == 0) {
      x += 4;
      continue;
    }
    if (e.firstColour < 0 && (row[x] & 0x00ffffffu) != 0) e.firstColour = x;
    if (e.firstVisible < 0 && Alpha(row[x]) != 0) e.firstVisible = x;
    ++x;
  }
  // Each kind found from the left is found again from the right, at its
  // first pixel at the latest.
  x = w - 1;
  while ((e.firstColour >= 0 && e.lastColour < 0) || (e.firstVisible >= 0 && e.lastVisible < 0)) {
    const uint32_t bits = wanted(e.firstColour >= 0 && e.lastColour < 0, e.firstVisible >= 0 && e.lastVisible < 0);
    if (x >= 3 && ((row[x] | row[x - 1] | row[x - 2] | row[x - 3]) & bits) == 0) {
      x -= 4;
      continue;
    }
    if (e.firstColour >= 0 && e.lastColour < 0 && (row[x] & 0x00ffffffu) != 0) e.lastColour = x;
    if (e.firstVisible >= 0 && e.lastVisible < 0 && Alpha(row[x]) != 0) e.lastVisible = x;
    --x;
  }
  return e;
}

void PrepareAlphaPixels(uint32_t* p, size_t n, int32_t mode) {
  for (size_t i = 0; i < n; ++i) {
    const int32_t sum = Brightness(p[i]);
    int32_t alpha = 255;
    if (mode == 1) alpha = sum == 0 ? 0 : 255;
    if (mode == 2) alpha = std::min(255, sum / 2);
    if (mode == 3) alpha = std::min(255, sum * 3 / 2);
    p[i] = WithAlpha(p[i], alpha);
  }
}

#if defined(VX_X86_SLOT_KERNELS)

// Eight pixels at a time; the lanes past a row's end are loaded as empty.
__attribute__((target("avx2"))) RowExtent MeasureRowAvx2(const uint32_t* row, int32_t w) {
  RowExtent e;
  const __m256i colour = _mm256_set1_epi32(0x00ffffff);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (int32_t x = 0; x < w; x += 8) {
    const __m256i inRow = _mm256_cmpgt_epi32(_mm256_set1_epi32(w - x), lanes);
    const __m256i p = _mm256_maskload_epi32(reinterpret_cast<const int*>(row + x), inRow);
    const uint32_t black = static_cast<uint32_t>(
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(_mm256_and_si256(p, colour), zero))));
    const uint32_t clear = static_cast<uint32_t>(
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(_mm256_srli_epi32(p, 24), zero))));
    const uint32_t coloured = ~black & 0xffu;
    const uint32_t visible = ~clear & 0xffu;
    if (coloured != 0) {
      if (e.firstColour < 0) e.firstColour = x + __builtin_ctz(coloured);
      e.lastColour = x + 31 - __builtin_clz(coloured);
    }
    if (visible != 0) {
      if (e.firstVisible < 0) e.firstVisible = x + __builtin_ctz(visible);
      e.lastVisible = x + 31 - __builtin_clz(visible);
    }
  }
  return e;
}

// Alpha from the sum b + g + r, eight pixels at a time, as the plain loop:
// mode 0 255, 1 0 for black else 255, 2 min(255, sum / 2), 3 min(255, sum · 3 / 2).
__attribute__((target("avx2"))) void PrepareAlphaAvx2(uint32_t* p, size_t n, int32_t mode) {
  const __m256i byteMask = _mm256_set1_epi32(0xff);
  const __m256i colour = _mm256_set1_epi32(0x00ffffff);
  const __m256i full = _mm256_set1_epi32(255);
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i* at = reinterpret_cast<__m256i*>(p + i);
    const __m256i v = _mm256_loadu_si256(at);
    const __m256i sum = _mm256_add_epi32(
        _mm256_add_epi32(_mm256_and_si256(v, byteMask), _mm256_and_si256(_mm256_srli_epi32(v, 8), byteMask)),
        _mm256_and_si256(_mm256_srli_epi32(v, 16), byteMask));
    __m256i alpha = full;
    if (mode == 1) alpha = _mm256_andnot_si256(_mm256_cmpeq_epi32(sum, _mm256_setzero_si256()), full);
    if (mode == 2) alpha = _mm256_min_epi32(_mm256_srli_epi32(sum, 1), full);
    if (mode == 3)
      alpha = _mm256_min_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(sum, _mm256_set1_epi32(3)), 1), full);
    _mm256_storeu_si256(at, _mm256_or_si256(_mm256_and_si256(v, colour), _mm256_slli_epi32(alpha, 24)));
  }
  PrepareAlphaPixels(p + i, n - i, mode);
}

// Pixel i from byte 4i to byte 3i, eight pixels a store: each half of the
// register packs its four pixels into twelve bytes, and the two twelves are
// moved together. A store writes 32 bytes, 24 of them pixels; the other 8
// fall on bytes whose pixels were read already (3i + 32 <= 4 (i + 8)) and
// are written again by the next store. The last pixels, whose spare bytes
// would pass byte 3n, are left to the plain loop. Packs pixels from..n - 1
// (those before `from` packed already); answers where it stopped.
__attribute__((target("avx2"))) size_t PackTo24Avx2(uint8_t* bytes, size_t from, size_t n) {
  const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                        0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i together = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
  size_t i = from;
  for (; i + 11 <= n; i += 8) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 4 * i));
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, pack), together);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes + 3 * i), packed);
  }
  return i;
}

// Four pixels a shuffle at the SSE2 level where the processor has SSSE3:
// 16 bytes read at 4i, 16 written at 3i (the last 4 of them the next
// round's), so the loop stops while the write still ends within the
// packed bytes of the range, 3n.
__attribute__((target("ssse3"))) size_t PackTo24Ssse3(uint8_t* bytes, size_t from, size_t n) {
  const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  size_t i = from;
  for (; i + 6 <= n; i += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 4 * i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + 3 * i), _mm_shuffle_epi8(v, pack));
  }
  return i;
}

#endif

#if defined(__aarch64__)
// On aarch64 the compiler's generic byte shuffle is one tbl: the SSSE3
// form's four pixels a round, with the same stop.
size_t PackTo24Shuffle(uint8_t* bytes, size_t from, size_t n) {
  typedef uint8_t Bytes16 __attribute__((vector_size(16)));
  size_t i = from;
  for (; i + 6 <= n; i += 4) {
    Bytes16 v;
    std::memcpy(&v, bytes + 4 * i, sizeof v);
#if defined(__clang__)
    const Bytes16 packed = __builtin_shufflevector(v, v, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15);
#else
    const Bytes16 packed = __builtin_shuffle(v, Bytes16{0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15});
#endif
    std::memcpy(bytes + 3 * i, &packed, sizeof packed);
  }
  return i;
}
#endif

#if !defined(__aarch64__)
// Elsewhere, four pixels as two 64-bit words of two pixels each, each word
// giving its six bytes (and two to be overwritten): 16 bytes read at 4i, 14
// written at 3i, so the loop stops while the writes still end within the
// packed bytes of the range, 3n.
size_t PackTo24Words(uint8_t* bytes, size_t from, size_t n) {
  size_t i = from;
  for (; i + 5 <= n; i += 4) {
    byte_lanes::PixelPairs pairs;
    std::memcpy(&pairs, bytes + 4 * i, sizeof pairs);
    byte_lanes::PackFourTo24(pairs, bytes + 3 * i);
  }
  return i;
}
#endif

void PackTo24Pixels(uint8_t* bytes, size_t from, size_t n) {
  for (size_t i = from; i < n; ++i) {
    const uint8_t b = bytes[4 * i], g = bytes[4 * i + 1], r = bytes[4 * i + 2];
    bytes[3 * i] = b;
    bytes[3 * i + 1] = g;
    bytes[3 * i + 2] = r;
  }
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
  // The budget decides; the picture memory is then taken before the pixels
  // are allocated, and given back when the read does not use it.
  int64_t taken = 0;
  const PictureAdmission admit = [&gfx, &taken](int64_t bytes) {
    if (bytes > BudgetLeft(gfx) || !TakePictureMemory(gfx, bytes)) return false;
    taken = bytes;
    return true;
  };
  if (vxReadPic(LogOf(gfx), fileName, pixels, width, height, admit) != kPictureRead) {
    std::free(pixels);
    GivePictureMemory(gfx, taken);
    return;
  }
  FillSlot(gfx, *s, pixels, width, height);
}

void CreatePicture(GfxContext& gfx, int32_t slot, int32_t width, int32_t height) {
  ImageSlot* s = ValidSlot(gfx, slot);
  if (s == nullptr || s->state != 0) return;
  if (!PictureSizeAllowed(width, height)) return;
  const int64_t bytes = PictureHeldBytes(width, height);
  if (bytes > BudgetLeft(gfx) || !TakePictureMemory(gfx, bytes)) {
    LogLine(LogOf(gfx), "CreatePicture over memory budget. slot:", slot);
    return;
  }
  uint32_t* pixels = AllocatePictureBuffer(width, height);
  if (pixels == nullptr) {
    GivePictureMemory(gfx, bytes);
    return;
  }
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
#if defined(VX_X86_SLOT_KERNELS)
  if (cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx2)) {
    PrepareAlphaAvx2(s->pixels, PixelCount(*s), mode);
    return;
  }
#endif
  PrepareAlphaPixels(s->pixels, PixelCount(*s), mode);
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
#if defined(VX_X86_SLOT_KERNELS)
  if (cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx2)) {
    for (int32_t y = 0; y < s->height; ++y) StoreRowSpans(*s, y, MeasureRowAvx2(RowOf(*s, y), s->width));
    return;
  }
#endif
  for (int32_t y = 0; y < s->height; ++y) StoreRowSpans(*s, y, MeasureRowFromEnds(RowOf(*s, y), s->width));
}

void draw_detail::ComputeRowSpansPlain(GfxContext& gfx, int32_t slot) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  const int32_t w = s->width;
  for (int32_t y = 0; y < s->height; ++y) {
    const uint32_t* row = RowOf(*s, y);
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

void draw_detail::PrepareAlphaPlain(GfxContext& gfx, int32_t slot, int32_t mode) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr || mode < 0 || mode > 3) return;
  PrepareAlphaPixels(s->pixels, PixelCount(*s), mode);
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
  PackTo24Rows(gfx, slot, 0, s->height);
}

void PackTo24Rows(GfxContext& gfx, int32_t slot, int32_t top, int32_t bottom) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  top = std::clamp(top, 0, s->height);
  bottom = std::clamp(bottom, top, s->height);
  // Pixel i moves from byte 4i to byte 3i; going forward never overwrites a
  // pixel that is still to be read, nor (the rows above being packed) a
  // byte of another row's result.
  uint8_t* bytes = reinterpret_cast<uint8_t*>(s->pixels);
  const size_t from = static_cast<size_t>(top) * static_cast<size_t>(s->width);
  const size_t to = static_cast<size_t>(bottom) * static_cast<size_t>(s->width);
  size_t done = from;
#if defined(VX_X86_SLOT_KERNELS)
  if (cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx2)) {
    done = PackTo24Avx2(bytes, from, to);
  } else if (cpu::KernelLevelAtLeast(cpu::KernelLevel::kSse2) && cpu::ProcessorFeatures().ssse3) {
    done = PackTo24Ssse3(bytes, from, to);
  } else {
    done = PackTo24Words(bytes, from, to);
  }
#elif defined(__aarch64__)
  done = PackTo24Shuffle(bytes, from, to);
#else
  done = PackTo24Words(bytes, from, to);
#endif
  PackTo24Pixels(bytes, done, to);
}

void draw_detail::PackTo24Plain(GfxContext& gfx, int32_t slot) {
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  PackTo24Pixels(reinterpret_cast<uint8_t*>(s->pixels), 0, PixelCount(*s));
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
