// The engine's effects operations: thin forwards to the effects system.
#include "engine/engine_effects.h"

#include "engine/engine.h"

void AddRadialLight(Engine& e, int32_t x, int32_t y, int32_t radius, int32_t red, int32_t green,
                    int32_t blue) {
  AddRadialLight(e.effects, e.gfx, x, y, radius, red, green, blue);
}

void AddTexturedLight(Engine& e, int32_t x, int32_t y, int32_t radius, int32_t red, int32_t green,
                      int32_t blue, int32_t frame) {
  AddTexturedLight(e.effects, e.gfx, x, y, radius, red, green, blue, frame);
}

void ClearFlashes(Engine& e) { ClearFlashes(e.effects); }

void AddFlash(Engine& e, int32_t x, int32_t y, int32_t intensity, int32_t decay) {
  AddFlash(e.effects, x, y, intensity, decay);
}

void UpdateFlashes(Engine& e) { UpdateFlashes(e.effects, e.gfx); }

void ConfigureFog(Engine& e, int32_t puffBase, int32_t puffFrames, int32_t layerBase, int32_t layerLife) {
  ConfigureFog(e.effects, puffBase, puffFrames, layerBase, layerLife);
}

void ResetFog(Engine& e) { ResetFog(e.effects); }

void SpawnFog(Engine& e, int32_t x, int32_t y, int32_t kind, int32_t size) {
  SpawnFog(e.effects, e.gfx, x, y, kind, size);
}

void UpdateFog(Engine& e) { UpdateFog(e.effects, e.gfx); }

void DrawFog(Engine& e, int32_t mode) { DrawFog(e.effects, e.gfx, mode); }

void ClearTwinkles(Engine& e) { ClearTwinkles(e.effects); }

void SpawnTwinkles(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min, int32_t max,
                   int32_t bright, int32_t chance, int32_t scale) {
  SpawnTwinkles(e.effects, e.gfx, x1, y1, x2, y2, min, max, bright, chance, scale);
}

void UpdateTwinkles(Engine& e) { UpdateTwinkles(e.effects, e.gfx); }

void ClearShimmerAreas(Engine& e) { ClearShimmerAreas(e.effects); }

void AddShimmerArea(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min, int32_t max,
                    int32_t amplitude, int32_t extra) {
  AddShimmerArea(e.effects, x1, y1, x2, y2, min, max, amplitude, extra);
}

void UpdateShimmerAreas(Engine& e) { UpdateShimmerAreas(e.effects, e.gfx); }

void ToneCurve(Engine& e, int32_t slot, int32_t pivot, int32_t offset, int32_t gain) {
  ToneCurve(e.effects, e.gfx, slot, pivot, offset, gain);
}

void Saturation(Engine& e, int32_t slot, int32_t s) { Saturation(e.effects, e.gfx, slot, s); }

void AddPixelGlow(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min, int32_t max,
                  int32_t k, int32_t redFactor, int32_t greenFactor, int32_t blueFactor, int32_t sparse,
                  int32_t mode) {
  AddPixelGlow(e.effects, e.gfx, x1, y1, x2, y2, min, max, k, redFactor, greenFactor, blueFactor, sparse,
               mode);
}

void ResetDrift(Engine& e) { ResetDrift(e.effects); }

void SpawnDrift(Engine& e, int32_t x, int32_t p1, int32_t p2, int32_t p3, int32_t p4) {
  SpawnDrift(e.effects, e.gfx, x, p1, p2, p3, p4);
}

void UpdateDrift(Engine& e) { UpdateDrift(e.effects, e.gfx); }
