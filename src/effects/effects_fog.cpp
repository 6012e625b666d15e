#include "effects/effects_fog.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effects/effects_internal.h"
#include "effects/effects_kernels.h"
#include "effects/effects_system.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "random/random_source.h"

using fx_detail::Clamp16;

namespace {

constexpr int32_t kLayerEdgeMargin = 12;

bool PoolFull(const EffectsSystem& fx) { return fx.fogCount >= kFogPool; }

// The rounding of the single-precision motion: to nearest, ties to even,
// kept inside the 16-bit fields.
int16_t RoundToField(float v) {
  return static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0f, 32767.0f));
}

float DistanceTo(float x, float y, float tx, float ty) {
  const float dx = x - tx;
  const float dy = y - ty;
  return std::sqrt(dx * dx + dy * dy);
}

void MovePuff(FogRecord& f, const GfxContext& gfx, RandomSource& random) {
  const float a = static_cast<float>(gfx.sizeScale) * 0.6f / 1024.0f;
  const float b = static_cast<float>(gfx.sizeScale) * 0.4f / 1024.0f;
  const float width = static_cast<float>(gfx.screenWidth);
  const float height2 = 2.0f * static_cast<float>(gfx.screenHeight);
  const float x = f.x;
  const float y = f.y;
  const float w1 = std::sin(DistanceTo(x, y, width, height2) / 10.0f) + 1.0f;
  const float w2 = std::sin(DistanceTo(x, y, 0.0f, height2) / 10.0f) + 1.0f;
  const float w3 = std::sin(DistanceTo(x, y, 0.0f, 0.0f) / 10.0f) + 1.0f;
  const int32_t jitter = static_cast<int32_t>((int64_t{Random(random, -40, 40)} * gfx.screenWidth) >> 13);
  f.x = RoundToField(x + 2.0f * w1 * b - b * w2 + b * w3 - 0.3f * b + static_cast<float>(jitter));
  f.y = RoundToField(y - a * (w1 + w2 + w3) - 1.0f);
}

void AdvanceLayer(FogRecord& f, const EffectsSystem& fx, int32_t steps) {
  RandomSource& random = *fx.random;
  const int32_t last = 3 * fx.layerLife - 1;
  for (int32_t s = 0; s < steps; ++s) {
    if (f.life < last) {
      ++f.life;
    } else if (Random(random, 0, 100) > 80 && Random(random, 0, 100) > 80 && Random(random, 0, 100) > 40) {
      f.life = 0;
    }
  }
}

// The part of screen row `row` that layer e covers within columns
// left .. right (leaving out the row's black margins when skipBlack is set),
// and the offset of its first pixel in the layer picture.
bool LayerSpan(const FogLayerEntry& e, int32_t row, int32_t left, int32_t right, bool skipBlack,
               int32_t& from, int32_t& to, int64_t& offset) {
  const int64_t layerRow = int64_t{row} - e.y;
  if (layerRow < 0 || layerRow >= e.height) return false;
  int64_t first = e.x;
  int64_t last = int64_t{e.x} + e.width - 1;
  if (skipBlack) {
    first += e.blackLeft != nullptr ? e.blackLeft[layerRow] : 0;
    last -= e.blackRight != nullptr ? e.blackRight[layerRow] : 0;
  }
  first = std::max<int64_t>(left, first);
  last = std::min<int64_t>(right, last);
  if (first > last) return false;
  from = static_cast<int32_t>(first);
  to = static_cast<int32_t>(last);
  offset = layerRow * e.width + (first - e.x);
  return true;
}

// Mode 1 adds each layer straight onto the screen. It goes through the
// screen in bands of rows, and within a band layer by layer, so each layer
// picture is read as a few long runs while the band stays in the cache.
// The black margins of a layer's rows add nothing and are not read.
void ComposeColourLayers(const EffectsSystem& fx, const fx_detail::Screen& screen, int32_t left,
                         int32_t right, int32_t top, int32_t bottom) {
  constexpr int32_t kBand = 16;
  for (int32_t bandTop = top; bandTop <= bottom; bandTop += kBand) {
    const int32_t bandBottom = std::min(bottom, bandTop + kBand - 1);
    for (int32_t i = 0; i < fx.layerCount; ++i) {
      const FogLayerEntry& e = fx.layers[i];
      const uint32_t* layer = reinterpret_cast<const uint32_t*>(e.pixels);
      for (int32_t row = bandTop; row <= bandBottom; ++row) {
        int32_t from = 0;
        int32_t to = 0;
        int64_t offset = 0;
        if (!LayerSpan(e, row, left, right, true, from, to, offset)) continue;
        fx_kernels::AddLayerRow32(screen.pixels + static_cast<int64_t>(row) * screen.width + from,
                                  layer + offset, to - from + 1);
      }
    }
  }
}

}  // namespace

void ConfigureFog(EffectsSystem& fx, int32_t puffBase, int32_t puffFrames, int32_t layerBase,
                  int32_t layerLife) {
  fx.puffBase = puffBase;
  fx.puffFrames = std::max(puffFrames, 1);
  fx.layerBase = layerBase;
  // Bounded so 3 · layerLife stays a valid 16-bit life.
  fx.layerLife = std::clamp(layerLife, 1, 10000);
}

void ResetFog(EffectsSystem& fx) { fx.fogCount = 0; }

void SpawnFog(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t kind, int32_t size) {
  if (PoolFull(fx) || (kind != 0 && kind != 1)) return;
  FogRecord f;
  if (kind == 0) {
    const int32_t spread = fx_detail::Clamp32(3 * int64_t{size});
    const int64_t life = (int64_t{Random(*fx.random, 0, spread)} + size) * gfx.sizeScale / 1024;
    f.x = Clamp16(2 * int64_t{x});
    f.y = Clamp16(2 * int64_t{y});
    f.life = Clamp16(life);
    f.kind = kFogPuff;
  } else {
    const int32_t w = PictureWidth(gfx, fx.layerBase);
    const int32_t h = PictureHeight(gfx, fx.layerBase);
    int64_t left = int64_t{x} - w / 2;
    left = std::min(left, int64_t{gfx.screenWidth} - kLayerEdgeMargin - w);
    f.x = Clamp16(left);
    f.y = Clamp16(int64_t{y} - h / 2);
    f.life = Clamp16(Random(*fx.random, 0, 3 * fx.layerLife));
    f.kind = kFogLayer;
  }
  fx.fog[fx.fogCount++] = f;
}

void UpdateFog(EffectsSystem& fx, GfxContext& gfx) {
  const int32_t steps = std::max(1, gfx.timeStep / 32);
  for (int32_t i = 0; i < fx.fogCount; ++i) {
    FogRecord& f = fx.fog[i];
    if (f.kind == kFogLayer) {
      AdvanceLayer(f, fx, steps);
    } else if (f.kind == kFogPuff) {
      MovePuff(f, gfx, *fx.random);
      if (f.life < 1) {
        // The last record takes this place and waits for the next pass.
        f = fx.fog[fx.fogCount - 1];
        --fx.fogCount;
      } else {
        --f.life;
      }
    }
  }
}

void DrawFog(EffectsSystem& fx, GfxContext& gfx, int32_t mode) {
  if (mode == 0) {
    SetDrawMode(gfx, -1);
    const int32_t frames = std::max(fx.puffFrames, 1);
    for (int32_t i = 0; i < fx.fogCount; ++i) {
      const FogRecord& f = fx.fog[i];
      if (f.kind != kFogPuff) continue;
      const int32_t slot = fx.puffBase + ((f.life % frames) + frames) % frames;
      const int32_t w = PictureWidth(gfx, slot);
      const int32_t h = PictureHeight(gfx, slot);
      DrawPicture(gfx, slot, f.x / 2 - w / 2, f.y / 2 - h / 2);
    }
    ResetDrawMode(gfx);
    return;
  }
  if (mode != 1 && mode != 2) return;
  ResetFogLayers(fx);
  for (int32_t i = 0; i < fx.fogCount; ++i) {
    const FogRecord& f = fx.fog[i];
    if (f.kind != kFogLayer) continue;
    // A life of 3 · layerLife (a fresh layer can start there) would name
    // the picture after the last; it shows the last one.
    const int32_t picture = std::clamp(f.life / 3, 0, std::max(fx.layerLife - 1, 0));
    RegisterFogLayer(fx, gfx, fx.layerBase + picture, f.x, f.y);
  }
  ComposeFogLayers(fx, gfx, mode);
}

void ResetFogLayers(EffectsSystem& fx) {
  fx.layerCount = 0;
  fx.unionX1 = 0;
  fx.unionY1 = 0;
  fx.unionX2 = -1;
  fx.unionY2 = -1;
}

void RegisterFogLayer(EffectsSystem& fx, GfxContext& gfx, int32_t slot, int32_t x, int32_t y) {
  if (fx.layerCount >= kFogLayerPool) return;
  const ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr || s->width <= 0 || s->height <= 0) return;
  FogLayerEntry& e = fx.layers[fx.layerCount];
  e.slot = slot;
  e.x = x;
  e.y = y;
  e.width = s->width;
  e.height = s->height;
  e.pixels = reinterpret_cast<const uint8_t*>(s->pixels);
  e.blackLeft = s->opaqueLeft;
  e.blackRight = s->opaqueRight;
  const int32_t x2 = fx_detail::Clamp32(int64_t{x} + s->width - 1);
  const int32_t y2 = fx_detail::Clamp32(int64_t{y} + s->height - 1);
  if (fx.layerCount == 0) {
    fx.unionX1 = x;
    fx.unionY1 = y;
    fx.unionX2 = x2;
    fx.unionY2 = y2;
  } else {
    fx.unionX1 = std::min(fx.unionX1, x);
    fx.unionY1 = std::min(fx.unionY1, y);
    fx.unionX2 = std::max(fx.unionX2, x2);
    fx.unionY2 = std::max(fx.unionY2, y2);
  }
  ++fx.layerCount;
}

void ComposeFogLayers(EffectsSystem& fx, GfxContext& gfx, int32_t mode) {
  const fx_detail::Screen screen = fx_detail::ScreenOf(gfx);
  if (screen.pixels == nullptr || fx.layerCount == 0 || (mode != 1 && mode != 2)) return;
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;
  if (!fx_detail::ClipRange(fx.unionX1, fx.unionX2, screen.width, left, right) ||
      !fx_detail::ClipRange(fx.unionY1, fx.unionY2, screen.height, top, bottom)) {
    return;
  }
  if (mode == 1) {
    ComposeColourLayers(fx, screen, left, right, top, bottom);
    return;
  }
  if (!fx_detail::EnsureScratch(fx, screen.width)) return;
  const int32_t count = right - left + 1;
  uint16_t* sums = fx.rowSums.get();
  for (int32_t row = top; row <= bottom; ++row) {
    std::memset(sums, 0, sizeof(uint16_t) * count);
    for (int32_t i = 0; i < fx.layerCount; ++i) {
      int32_t from = 0;
      int32_t to = 0;
      int64_t offset = 0;
      if (!LayerSpan(fx.layers[i], row, left, right, false, from, to, offset)) continue;
      fx_kernels::SumLayerRow8(sums + (from - left), fx.layers[i].pixels + offset, to - from + 1);
    }
    fx_kernels::ApplyLayerSums8(screen.pixels + static_cast<int64_t>(row) * screen.width + left, sums, count);
  }
}
