#include "effects/effects.h"

#include <algorithm>

#include "effects/effects_internal.h"
#include "effects/effects_maps.h"
#include "gfx/angles.h"
#include "gfx/image_slots.h"
#include "random/random_source.h"

namespace {

void FillTables(EffectsSystem& fx) {
  int32_t root = 0;
  for (int32_t n = 0; n < 65536; ++n) {
    while ((root + 1) * (root + 1) <= n) ++root;
    fx.sqrtTable[n] = static_cast<uint8_t>(root);
  }
  for (int32_t v = 0; v <= 256; ++v) fx.falloff[v] = ((v * v / 16) * 19 + 45 * v) / 64;
}

// The direction of every grid node of every flash radius, so a ring needs
// no direction look-ups of its own.
void FillRingDirections(EffectsSystem& fx, const GfxContext& gfx) {
  for (int32_t r = 1; r <= kFlashMaxRadius; ++r) {
    const int32_t nodes = r / 4 + 2;
    for (int32_t j = 0; j < nodes; ++j) {
      for (int32_t i = 0; i < nodes; ++i) {
        fx.ringDirections[r][j * kRingGridSide + i] =
            static_cast<int16_t>(DirectionOf(gfx, 8 * i - r, 8 * j - r, 0, 0));
      }
    }
  }
}

void DrawLightMaps(GfxContext& gfx, RandomSource& source) {
  uint8_t random[kLightMapRandomEntries];
  for (uint8_t& v : random) v = static_cast<uint8_t>(Random(source, 0, 255));
  for (int32_t frame = 0; frame < kLightMapCount; ++frame) {
    const int32_t slot = kLightMapFirstSlot + frame;
    CreatePicture(gfx, slot, kLightMapSide, kLightMapSide / 4 + 1);
    ImageSlot* s = UsableSlot(gfx, slot);
    if (s == nullptr || int64_t{s->width} * s->height * 4 < int64_t{kLightMapSide} * kLightMapSide) continue;
    DrawLightMap(reinterpret_cast<uint8_t*>(s->pixels), frame, random);
  }
}

}  // namespace

void InitEffects(EffectsSystem& fx, GfxContext& gfx) {
  FillTables(fx);
  FillRingDirections(fx, gfx);
  FillRingGlow(fx);
  ResetFogLayers(fx);
  DrawLightMaps(gfx, *fx.random);
  fx_detail::EnsureScratch(fx, gfx.screenWidth);
  ClearFlashes(fx);
  fx.puffBase = 0;
  fx.puffFrames = 1;
  fx.layerBase = 0;
  fx.layerLife = 1;
  const fx_detail::Screen screen = fx_detail::ScreenOf(gfx);
  if (screen.pixels != nullptr) std::fill_n(screen.pixels, int64_t{screen.width} * screen.height, 0u);
  fx.started = -1;
}
