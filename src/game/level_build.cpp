#include "game/level_build.h"

#include <algorithm>

#include "assets/loading.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/lamps_clouds.h"
#include "game/level_scripts.h"
#include "game/levels.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "maths/byte_lanes.h"
#include "platform/cpu_features.h"

// The vector forms are x86 only; elsewhere the kernel level stays plain and
// the row functions below run their plain loops alone.
#if defined(__x86_64__)
#include <immintrin.h>
#define VX_LEVEL_BUILD_X86 1
#define VX_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define VX_LEVEL_BUILD_X86 0
#define VX_TARGET_AVX2
#endif

namespace {

constexpr int32_t kBackgroundSlot = 220;

// a/1024 of the screen width, b/1024 of the scaled height.
int32_t AcrossWidth(int32_t a) { return static_cast<int32_t>((int64_t{a} * engine.gfx.screenWidth) >> 10); }
int32_t DownHeight(int32_t b) { return static_cast<int32_t>((int64_t{b} * engine.gfx.heightScale) >> 10); }

// Blue, green and red lowered by d, none below 0; blue ends in the bits 01,
// never the weapon marker, whose bytes end in 10. Alpha stays.
uint32_t DarkenPixel(uint32_t p, int32_t d) {
  const uint32_t b = static_cast<uint32_t>(std::max<int32_t>(static_cast<int32_t>(p & 0xff) - d, 0));
  const uint32_t gr = static_cast<uint32_t>(std::max<int32_t>(static_cast<int32_t>((p >> 8) & 0xff) - d, 0));
  const uint32_t r = static_cast<uint32_t>(std::max<int32_t>(static_cast<int32_t>((p >> 16) & 0xff) - d, 0));
  return (p & 0xff000000u) | (r << 16) | (gr << 8) | ((b & 252u) + 1u);
}

// DarkenPixel on the pixels x .. end - 1 of `from` into `to` (the same row
// or another), four at a time in generic vectors at every kernel level: a
// saturating byte subtraction, then the blue bits.
void DarkenRun(const uint32_t* from, uint32_t* to, int32_t x, int32_t end, int32_t d) {
  if (x >= end) return;
  byte_lanes::SubtractKeepSet(from + x, to + x, end - x, static_cast<uint32_t>(d) * 0x010101u, 0xfffffffcu,
                              1u);
}

// Pixels x .. of row `from` darkened (by d) straight into `row`, its packed
// bytes (three a pixel), eight at a time with AVX2: each store of 32 bytes
// has 8 spare bytes, which fall on the next pixels of the row, written
// after it. The x reached.
VX_TARGET_AVX2 int32_t DarkenPackEightsAvx2(const uint32_t* from, uint8_t* row, int32_t x, int32_t width,
                                            int32_t d) {
#if VX_LEVEL_BUILD_X86
  const __m256i lower = _mm256_set1_epi32(d * 0x010101);
  const __m256i blueKeep = _mm256_set1_epi32(static_cast<int32_t>(0xfffffffcu));
  const __m256i blueLow = _mm256_set1_epi32(1);
  const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                        0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i together = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
  for (; x + 11 <= width; x += 8) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + x));
    v = _mm256_or_si256(_mm256_and_si256(_mm256_subs_epu8(v, lower), blueKeep), blueLow);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, pack), together);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + 3 * static_cast<size_t>(x)), packed);
  }
#else
  (void)from, (void)row, (void)width, (void)d;
#endif
  return x;
}

// The same four pixels at a time in generic vectors (every kernel level,
// every target): the saturating byte subtraction as the darkening of whole
// rows does it, then the four pixels packed, whose 2 spare bytes fall on
// the next pixel.
int32_t DarkenPackFours(const uint32_t* from, uint8_t* row, int32_t x, int32_t width, int32_t d) {
  const byte_lanes::detail::Bytes16 lower = byte_lanes::detail::Splat(static_cast<uint32_t>(d) * 0x010101u);
  const byte_lanes::detail::Bytes16 blueKeep = byte_lanes::detail::Splat(0xfffffffcu);
  const byte_lanes::detail::Bytes16 blueLow = byte_lanes::detail::Splat(1u);
  for (; x + 5 <= width; x += 4) {
    const byte_lanes::detail::Bytes16 v =
        (byte_lanes::detail::SubtractSaturated(byte_lanes::detail::Load(from + x), lower) & blueKeep) | blueLow;
    byte_lanes::PackFourTo24(reinterpret_cast<byte_lanes::PixelPairs>(v), row + 3 * static_cast<size_t>(x));
  }
  return x;
}

// Row y of a screen-sized picture of n pixels, darkened from the screen row
// `from` straight into the bytes PackTo24 leaves: three bytes a pixel, and
// where the row reaches past byte 3n, the four-byte pixels the packing
// never overwrote there. The same bytes as darkening the row in place and
// packing the rows in order, without the row's four-byte pass between.
void DarkenPackRow(const uint32_t* from, uint8_t* bytes, int32_t width, int32_t y, size_t n) {
  const int32_t d = (y % 2 == 0) ? 3 : 5;
  const size_t first = static_cast<size_t>(y) * static_cast<size_t>(width);
  const auto value = [&](int32_t x) { return x == 0 || x == width - 1 ? from[x] : DarkenPixel(from[x], d); };
  uint8_t* row = bytes + 3 * first;
  const auto put = [&](int32_t x, uint32_t v) {
    uint8_t* at = row + 3 * static_cast<size_t>(x);
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
    at[2] = static_cast<uint8_t>(v >> 16);
  };
  put(0, from[0]);
  int32_t x = 1;
  if (cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx2)) x = DarkenPackEightsAvx2(from, row, x, width, d);
  x = DarkenPackFours(from, row, x, width, d);
  for (; x < width; ++x) put(x, value(x));
  // The picture's last quarter: bytes from 3n on keep the four-byte pixels.
  const size_t limit = 3 * n;
  if (4 * (first + static_cast<size_t>(width)) <= limit) return;
  x = 4 * first + 4 > limit ? 0 : static_cast<int32_t>((limit - 4 - 4 * first) / 4 + 1);
  for (; x < width && 4 * (first + static_cast<size_t>(x)) < limit; ++x) {  // the pixel across byte 3n
    const uint32_t v = value(x);
    for (size_t b = 0; b < 4; ++b) {
      const size_t at = 4 * (first + static_cast<size_t>(x)) + b;
      if (at >= limit) bytes[at] = static_cast<uint8_t>(v >> (8 * b));
    }
  }
  if (x >= width) return;
  uint32_t* whole = reinterpret_cast<uint32_t*>(bytes) + first;
  if (x == 0) {
    whole[0] = from[0];
    x = 1;
  }
  DarkenRun(from, whole, x, width - 1, d);
  whole[width - 1] = from[width - 1];
}

// Background and foreground drawn into the back buffer, then kept in
// picture 13, darkened and packed, so a frame draws the level in one copy.
// With picture 13 the size of the screen (as the loading steps make it) the
// work goes in bands of rows, each drawn, copied darkened and packed while
// it is in the cache: the same bytes in picture 13 and on the screen as
// drawing everything, then copying, darkening and packing the whole.
void Compose(GameState& g, bool overSky) {
  GfxContext& gfx = engine.gfx;
  const ImageSlot* composed = UsableSlot(gfx, kComposedSlot);
  const bool banded = gfx.backBuffer != nullptr && composed != nullptr &&
                      composed->width == gfx.screenWidth && composed->height == gfx.screenHeight;
  if (!banded) {
    if (overSky) {
      DrawPacked24(gfx, kBackgroundSlot, 0, 0);
      ResetDrawMode(gfx);
      DrawPicture(gfx, g.levelState.foregroundSlot, 0, 0);
    } else {
      SetDrawMode(gfx, -2);
      DrawPicture(gfx, g.levelState.foregroundSlot, 0, 0);
    }
    CopyFromScreen(gfx, kComposedSlot, 0, 0);
    DarkenRows(g, kComposedSlot);
    PackTo24(gfx, kComposedSlot);
    if (!overSky) ResetDrawMode(gfx);
    return;
  }
  // The background's copy ignores the drawing mode; the foreground is
  // blended over it in the plain mode, or copied where there is no sky.
  if (overSky) {
    ResetDrawMode(gfx);
  } else {
    SetDrawMode(gfx, -2);
  }
  const int32_t width = gfx.screenWidth;
  const size_t area = static_cast<size_t>(width) * static_cast<size_t>(gfx.screenHeight);
  constexpr int32_t kBandRows = 8;
  for (int32_t top = 0; top < gfx.screenHeight; top += kBandRows) {
    const int32_t bottom = std::min(top + kBandRows, gfx.screenHeight);
    if (overSky) DrawPacked24Rows(gfx, kBackgroundSlot, 0, 0, top, bottom);
    DrawFrameRows(gfx, g.levelState.foregroundSlot, 0, 0, -1, top, bottom);
    for (int32_t y = top; y < bottom; ++y) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width);
      DarkenPackRow(gfx.backBuffer + at, reinterpret_cast<uint8_t*>(composed->pixels), width, y, area);
    }
  }
  if (!overSky) ResetDrawMode(gfx);
}

void Decorate(GameState& g, const LevelScript& script, bool hallFog) {
  Engine& e = engine;
  ClearTwinkles(e);
  for (const TwinkleArea& t : script.twinkles) {
    SpawnTwinkles(e, AcrossWidth(t.x1), DownHeight(t.y1), AcrossWidth(t.x2), DownHeight(t.y2), t.min, t.max,
                  t.bright, t.chance, t.scale);
  }
  ClearShimmerAreas(e);
  for (const ShimmerSpot& s : script.shimmer) {
    AddShimmerArea(e, AcrossWidth(s.x1), DownHeight(s.y1), AcrossWidth(s.x2), DownHeight(s.y2), 0, 800,
                   s.amplitude, 1);
  }
  ResetFog(e);
  ConfigureFog(e, 940, 60, hallFog ? 880 : 740, 60);
  g.levelState.fogMode = hallFog ? 1 : 2;
  ClearClouds(g.tables);
  for (const FogGroup& f : script.fog) {
    for (int32_t i = 0; i < f.count; ++i) {
      const int32_t x = Random(e.random, AcrossWidth(f.xLow), AcrossWidth(f.xHigh));
      const int32_t y = Random(e.random, DownHeight(f.yLow), DownHeight(f.yHigh));
      SpawnFog(e, x, y, 1, 0);
    }
  }
  for (int32_t i = 0; i < script.clouds; ++i) {
    const int32_t x = Random(e.random, 0, e.gfx.screenWidth);
    const int32_t y = Random(e.random, DownHeight(600), DownHeight(750));
    AddCloud(g.tables, x, y);
  }
  ResetDrift(e);
  for (int32_t a = 150; a <= 850; a += 100)
    SpawnDrift(e, AcrossWidth(a), script.driftReach, script.driftLow, 800, 0);
  ClearLamps(g.tables);
  for (const LampSpot& l : script.lamps) AddLamp(g.tables, l.x, l.y, 256);
}

}  // namespace

void BuildLevel(GameState& g, int32_t n) {
  g.level = n;
  LoadLevelPictures(g.levelPictures, g.level, engine.gfx, engine.effects, &engine.picturePrefetch);
  const LevelScript* script = FindLevelScript(n);
  LevelPictureFiles files{};
  if (script == nullptr || !FindLevelPictures(n, files)) return;
  const bool row0 = InRow(n, 0);
  const bool row1 = InRow(n, 1);
  g.levelState.backgroundSlot = kBackgroundSlot;
  g.levelState.foregroundSlot = files.foregroundSlot;
  g.levelState.maskSlot = files.maskSlot;
  g.player.lightOn = row0 ? -1 : 0;
  Compose(g, row0);
  Decorate(g, *script, row1);
}

void level_build_detail::DarkenRow(const uint32_t* from, uint32_t* to, int32_t width, int32_t y) {
  if (width < 1) return;
  const int32_t d = (y % 2 == 0) ? 3 : 5;
  to[0] = from[0];
  DarkenRun(from, to, 1, width - 1, d);
  to[width - 1] = from[width - 1];
}

void level_build_detail::DarkenRowPlain(const uint32_t* from, uint32_t* to, int32_t width, int32_t y) {
  if (width < 1) return;
  const int32_t d = (y % 2 == 0) ? 3 : 5;
  to[0] = from[0];
  for (int32_t x = 1; x <= width - 2; ++x) to[x] = DarkenPixel(from[x], d);
  to[width - 1] = from[width - 1];
}

void level_build_detail::DarkenPackRows(const uint32_t* from, uint32_t* to, int32_t width, int32_t height) {
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (int32_t y = 0; y < height; ++y)
    DarkenPackRow(from + static_cast<size_t>(y) * static_cast<size_t>(width), reinterpret_cast<uint8_t*>(to),
                  width, y, n);
}

void DarkenRows(GameState&, int32_t picture) {
  GfxContext& gfx = engine.gfx;
  if (!HasPixels(gfx, picture)) return;
  // The size in locals: a store through the pixels could otherwise change
  // the slot's own words, and the compiler would read them at every pixel.
  const ImageSlot& slot = gfx.slots[picture];
  const int32_t width = slot.width;
  const int32_t height = slot.height;
  uint32_t* const pixels = slot.pixels;
  for (int32_t y = 0; y < height; ++y) {
    uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    level_build_detail::DarkenRow(row, row, width, y);
  }
}
