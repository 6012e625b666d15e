#pragma once
// Twinkles: small coloured discs that pulse over bright spots of the level
// picture, each with its own phase and a speed that wanders at random.
#include <cstdint>

struct EffectsSystem;
struct GfxContext;

void ClearTwinkles(EffectsSystem& fx);
// Samples the back buffer on a 4-pixel grid; a grid point inside the
// rectangle whose b + g + r lies within [min, max] becomes a twinkle when it
// passes a chance test (random(0, 100) > 100 - chance) and two density tests
// (random(0, 401) below a threshold that falls with the size scale) and a
// record is free. Its colour is the pixel's scaled by scale / 256; dim
// pixels (b + g + r at most 215) get the packed add unless bright is set.
void SpawnTwinkles(EffectsSystem& fx, GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                   int32_t min, int32_t max, int32_t bright, int32_t chance, int32_t scale);
// Draws every active twinkle with TintDisc at the strength of its phase,
// then advances the phases.
void UpdateTwinkles(EffectsSystem& fx, GfxContext& gfx);
