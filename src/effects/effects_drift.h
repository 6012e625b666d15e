#pragma once
// Drift particles: slow motes that rise through a 1024 x 768 virtual screen,
// swaying from side to side, and glow in the colour of the bright picture
// parts they pass.
#include <cstdint>

struct EffectsSystem;
struct GfxContext;

// Empties the pool and the light list.
void ResetDrift(EffectsSystem& fx);
// Adds 61 particles around screen column x while the pool (1999) has room,
// three random draws each (x spread, height, sway speed). p1 sets how far
// apart the particle samples the picture, p2 .. p3 the brightness range it
// picks up, p4 is kept for the caller.
void SpawnDrift(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t p1, int32_t p2, int32_t p3,
                int32_t p4);
// Moves every particle, collects a light for each that sees colour (one
// random draw for its radius; at most 500 lights) and draws them.
void UpdateDrift(EffectsSystem& fx, GfxContext& gfx);
