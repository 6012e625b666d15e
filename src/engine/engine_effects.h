#pragma once
// The effects operations as game code calls them: on the engine, each
// forwarding its arguments unchanged to the effects operation of the same
// name (see the effects/effects_*.h headers) with the engine's effects
// object and graphics context.
#include <cstdint>

struct Engine;

void AddRadialLight(Engine& e, int32_t x, int32_t y, int32_t radius, int32_t red, int32_t green,
                    int32_t blue);
void AddTexturedLight(Engine& e, int32_t x, int32_t y, int32_t radius, int32_t red, int32_t green,
                      int32_t blue, int32_t frame);
void ClearFlashes(Engine& e);
void AddFlash(Engine& e, int32_t x, int32_t y, int32_t intensity, int32_t decay);
void UpdateFlashes(Engine& e);
void ConfigureFog(Engine& e, int32_t puffBase, int32_t puffFrames, int32_t layerBase, int32_t layerLife);
void ResetFog(Engine& e);
void SpawnFog(Engine& e, int32_t x, int32_t y, int32_t kind, int32_t size);
void UpdateFog(Engine& e);
void DrawFog(Engine& e, int32_t mode);
void ClearTwinkles(Engine& e);
void SpawnTwinkles(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min, int32_t max,
                   int32_t bright, int32_t chance, int32_t scale);
void UpdateTwinkles(Engine& e);
void ClearShimmerAreas(Engine& e);
void AddShimmerArea(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min, int32_t max,
                    int32_t amplitude, int32_t extra);
void UpdateShimmerAreas(Engine& e);
void ToneCurve(Engine& e, int32_t slot, int32_t pivot, int32_t offset, int32_t gain);
void Saturation(Engine& e, int32_t slot, int32_t s);
void AddPixelGlow(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min, int32_t max,
                  int32_t k, int32_t redFactor, int32_t greenFactor, int32_t blueFactor, int32_t sparse,
                  int32_t mode);
void ResetDrift(Engine& e);
void SpawnDrift(Engine& e, int32_t x, int32_t p1, int32_t p2, int32_t p3, int32_t p4);
void UpdateDrift(Engine& e);
