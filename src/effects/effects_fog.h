#pragma once
// Fog: puffs (small additive pictures that rise, sway and fade) and layers
// (large pictures that run through an animation and are composed onto the
// screen), kept in one pool of at most 10,001 records.
#include <cstdint>

struct EffectsSystem;
struct GfxContext;

// Puff pictures are slots puffBase .. puffBase + puffFrames - 1; layer
// pictures layerBase onwards, a layer showing layerBase + life / 3 with life
// running to 3 · layerLife - 1. Counts below 1 count as 1.
void ConfigureFog(EffectsSystem& fx, int32_t puffBase, int32_t puffFrames, int32_t layerBase,
                  int32_t layerLife);
void ResetFog(EffectsSystem& fx);
// Kind 0: a puff at (x, y) living (random(0, 3 · size) + size) · size scale
// / 1024 frames. Kind 1: a layer centred on (x, y), its right edge kept 12
// pixels inside the screen, at a random point of its animation. Other kinds
// and a full pool add nothing and draw no random numbers.
void SpawnFog(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t kind, int32_t size);
// One frame of motion: layers advance their animation (restarting at
// random once at the end), puffs rise and sway (one random draw each) and
// the dead ones are removed by moving the last record into their place.
void UpdateFog(EffectsSystem& fx, GfxContext& gfx);
// Mode 0 draws the puffs additively; mode 1 adds the layers' 32-bit pixels
// as packed sums (no clamping); mode 2 adds half the sum of the layers'
// 8-bit maps to each colour byte, clamped to 255.
void DrawFog(EffectsSystem& fx, GfxContext& gfx, int32_t mode);

// The layer list of the composition (filled by DrawFog modes 1 and 2).
void ResetFogLayers(EffectsSystem& fx);
// Registers the picture of a slot at (x, y); at most 251, empty slots skipped.
void RegisterFogLayer(EffectsSystem& fx, GfxContext& gfx, int32_t slot, int32_t x, int32_t y);
// Adds the registered layers onto the back buffer (mode 1 or 2).
void ComposeFogLayers(EffectsSystem& fx, GfxContext& gfx, int32_t mode);
